#include "LoopbackSocket.h"

#include <cstring>

#include "FrameCodec.h"

namespace livelink {

namespace {

// Waits for the socket to become ready; false on timeout or error.
bool waitFor(Socket fd, bool write, int timeoutMs, std::string* error) {
    std::vector<SocketWait> wait{{fd, write, false}};
    const int r = waitForSockets(wait, timeoutMs, error);
    if (r == 0 && error) *error = "timed out";
    return r > 0;
}

}  // namespace

bool isLoopbackHost(const char* host) {
    return host && (std::strcmp(host, "localhost") == 0 || std::strcmp(host, "127.0.0.1") == 0);
}

Socket connectLoopback(int port, int timeoutMs, std::string* error) {
    if (port <= 0 || port > 65535) {
        if (error) *error = "port " + std::to_string(port) + " out of range";
        return kNoSocket;
    }
    Socket fd = openTcpSocket(error);
    if (fd == kNoSocket) return kNoSocket;
    if (!connectToLoopback(fd, port, timeoutMs, error)) {
        closeSocketHandle(fd);
        return kNoSocket;
    }
    setNoDelay(fd);
    return fd;
}

bool sendAll(Socket fd, const void* data, size_t size, std::string* error, int timeoutMs) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        // Never blocks inside send: the wait for room happens in waitFor, with its limit.
        const long n = sendSome(fd, p, size, error);
        if (n == kFailed) return false;
        if (n == kWouldBlock) {
            std::string why;
            if (waitFor(fd, true, timeoutMs, &why)) continue;
            if (error)
                *error = why == "timed out" ? "send: the peer took no data for " +
                                                  std::to_string(timeoutMs / 1000) + " s"
                                            : why;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool receiveAll(Socket fd, void* data, size_t size, int timeoutMs, std::string* error) {
    auto* p = static_cast<uint8_t*>(data);
    while (size > 0) {
        if (!waitFor(fd, false, timeoutMs, error)) return false;
        const long n = receiveSome(fd, p, size, error);
        if (n == kFailed) return false;
        if (n == kWouldBlock) continue;
        if (n == 0) {
            if (error) *error = "connection closed by the renderer";
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool receiveFrame(Socket fd, int timeoutMs, size_t maxBytes, uint8_t* op,
                  std::vector<uint8_t>* payload, std::string* error) {
    uint8_t header[kFrameHeaderBytes];
    if (!receiveAll(fd, header, sizeof header, timeoutMs, error)) return false;
    const uint32_t length = getU32(header);
    if (length == 0 || length > maxBytes) {
        if (error) *error = "bad frame length " + std::to_string(length);
        return false;
    }
    *op = header[4];
    payload->resize(length - 1);
    return receiveAll(fd, payload->data(), payload->size(), timeoutMs, error);
}

bool clientHandshake(Socket fd, Channel channel, uint32_t liveId, int32_t n, int timeoutMs,
                     uint32_t* peerProcessId, std::string* error) {
    uint8_t hello[kHelloBytes];
    putU32(hello, kMagic);
    putU16(hello + 4, kProtocolVersion);
    putU16(hello + 6, static_cast<uint16_t>(channel));
    putU32(hello + 8, liveId);
    putU32(hello + 12, static_cast<uint32_t>(n));
    if (!sendAll(fd, hello, sizeof hello, error, timeoutMs)) return false;
    uint8_t reply[kHelloReplyBytes];
    if (!receiveAll(fd, reply, sizeof reply, timeoutMs, error)) return false;
    if (getU32(reply) != kMagic) {
        if (error) *error = "the peer is not a Quorell renderer";
        return false;
    }
    const auto status = static_cast<HelloStatus>(getU16(reply + 6));
    if (status != HelloStatus::Accepted) {
        if (error)
            *error = "the renderer refused the connection (status " +
                     std::to_string(getU16(reply + 6)) + ")";
        return false;
    }
    if (peerProcessId) *peerProcessId = getU32(reply + 8);
    return true;
}

void closeSocket(Socket& fd) {
    closeSocketHandle(fd);
    fd = kNoSocket;
}

}  // namespace livelink
