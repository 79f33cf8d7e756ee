#include "LoopbackSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FrameCodec.h"

namespace livelink {

namespace {

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Waits for the socket to become ready; false on timeout or error.
bool waitFor(int fd, short events, int timeoutMs, std::string* error) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, timeoutMs);
        if (r > 0) return true;
        if (r == 0) {
            if (error) *error = "timed out";
            return false;
        }
        if (errno != EINTR) {
            if (error) *error = systemError("poll");
            return false;
        }
    }
}

}  // namespace

bool isLoopbackHost(const char* host) {
    return host && (std::strcmp(host, "localhost") == 0 || std::strcmp(host, "127.0.0.1") == 0);
}

int connectLoopback(int port, int timeoutMs, std::string* error) {
    if (port <= 0 || port > 65535) {
        if (error) *error = "port " + std::to_string(port) + " out of range";
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        if (error) *error = systemError("socket");
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS) {
            if (error) *error = systemError("connect");
            ::close(fd);
            return -1;
        }
        if (!waitFor(fd, POLLOUT, timeoutMs, error)) {
            ::close(fd);
            return -1;
        }
        int soError = 0;
        socklen_t length = sizeof soError;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length);
        if (soError != 0) {
            if (error) *error = std::string("connect: ") + std::strerror(soError);
            ::close(fd);
            return -1;
        }
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

bool sendAll(int fd, const void* data, size_t size, std::string* error, int timeoutMs) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        // Never blocks inside send: the wait for room happens in poll, with its limit.
        const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                std::string why;
                if (waitFor(fd, POLLOUT, timeoutMs, &why)) continue;
                if (error)
                    *error = why == "timed out" ? "send: the peer took no data for " +
                                                      std::to_string(timeoutMs / 1000) + " s"
                                                : why;
                return false;
            }
            if (error) *error = systemError("send");
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool receiveAll(int fd, void* data, size_t size, int timeoutMs, std::string* error) {
    auto* p = static_cast<uint8_t*>(data);
    while (size > 0) {
        if (!waitFor(fd, POLLIN, timeoutMs, error)) return false;
        const ssize_t n = ::recv(fd, p, size, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (error) *error = systemError("recv");
            return false;
        }
        if (n == 0) {
            if (error) *error = "connection closed by the renderer";
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool receiveFrame(int fd, int timeoutMs, size_t maxBytes, uint8_t* op,
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

bool clientHandshake(int fd, Channel channel, uint32_t liveId, int32_t n, int timeoutMs,
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

void closeSocket(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace livelink
