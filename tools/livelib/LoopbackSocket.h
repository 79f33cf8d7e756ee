// Blocking TCP helpers for the client side of the live link. Sends never
// raise SIGPIPE; every wait is bounded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SocketCalls.h"
#include "WireFormat.h"

namespace livelink {

// "localhost" and "127.0.0.1" are the hosts the live link accepts.
bool isLoopbackHost(const char* host);

// Connects to 127.0.0.1:port, giving up after timeoutMs. Returns the socket
// or kNoSocket with error set.
Socket connectLoopback(int port, int timeoutMs, std::string* error);

// How long a send waits for the peer to take any data at all; a renderer
// that stops reading (stopped, hung) ends the send after this.
inline constexpr int kSendStallTimeoutMs = 10000;

// Sends size bytes unless the peer fails or takes nothing for timeoutMs.
bool sendAll(Socket fd, const void* data, size_t size, std::string* error,
             int timeoutMs = kSendStallTimeoutMs);
// Reads exactly size bytes unless the peer closes, fails or stays silent
// for timeoutMs.
bool receiveAll(Socket fd, void* data, size_t size, int timeoutMs, std::string* error);

// Reads one frame of at most maxBytes (operation byte included).
bool receiveFrame(Socket fd, int timeoutMs, size_t maxBytes, uint8_t* op,
                  std::vector<uint8_t>* payload, std::string* error);

// Sends the hello and checks the renderer's reply; peerProcessId receives
// the renderer's process id.
bool clientHandshake(Socket fd, Channel channel, uint32_t liveId, int32_t n, int timeoutMs,
                     uint32_t* peerProcessId, std::string* error);

void closeSocket(Socket& fd);

}  // namespace livelink
