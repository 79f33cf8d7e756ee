// The socket calls of both ends of the live link, for POSIX sockets and for
// Winsock 2: the link's frame code above this never calls the system itself.
// Sockets are non-blocking and not inherited by started programs; every
// wait has a time limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace livelink {

// A socket descriptor (POSIX) or SOCKET (Winsock), widened to one type.
using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;

// Prepares the socket layer once per process (WSAStartup on Windows).
bool startSockets(std::string* error);

// A non-blocking TCP socket; kNoSocket with error set on failure.
Socket openTcpSocket(std::string* error);
void closeSocketHandle(Socket socket);

// Connects to 127.0.0.1:port within timeoutMs; the socket stays non-blocking.
bool connectToLoopback(Socket socket, int port, int timeoutMs, std::string* error);
void setNoDelay(Socket socket);

// Binds 127.0.0.1:port (address reuse on) and listens.
bool listenOnLoopback(Socket socket, int port, int backlog);
// A waiting connection, non-blocking; kNoSocket when none waits.
Socket acceptConnection(Socket listener);

// Results of sendSome and receiveSome besides a byte count.
inline constexpr long kWouldBlock = -1;
inline constexpr long kFailed = -2;

// Sends what the socket takes at once, never raising SIGPIPE: the count,
// kWouldBlock or kFailed (error set).
long sendSome(Socket socket, const void* data, size_t size, std::string* error);
// Receives what has arrived: the count, 0 when the peer closed, kWouldBlock
// or kFailed (error set).
long receiveSome(Socket socket, void* data, size_t size, std::string* error);

struct SocketWait {
    Socket socket = kNoSocket;
    bool write = false;  // wait for room to send (or a finished connect), else for input
    bool ready = false;  // set by waitForSockets: ready, closed or failed
};
// Waits up to timeoutMs for any socket to become ready. The count of ready
// sockets, 0 on timeout, -1 on failure (error set). A wait interrupted by a
// signal starts again, unless stopSignals: then SIGTERM and SIGINT, blocked
// by the caller, are let through during the wait only, and end it with 0.
int waitForSockets(std::vector<SocketWait>& sockets, int timeoutMs, std::string* error,
                   bool stopSignals = false);

}  // namespace livelink
