#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "SocketCalls.h"

namespace livelink {

namespace {

std::string systemError(const char* what, int number = errno) {
    return std::string(what) + ": " + std::strerror(number);
}

sockaddr_in loopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int fd(Socket socket) {
    return static_cast<int>(socket);
}

}  // namespace

bool startSockets(std::string*) {
    return true;
}

Socket openTcpSocket(std::string* error) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0 && error) *error = systemError("socket");
    return s < 0 ? kNoSocket : s;
}

void closeSocketHandle(Socket socket) {
    if (socket != kNoSocket) ::close(fd(socket));
}

bool connectToLoopback(Socket socket, int port, int timeoutMs, std::string* error) {
    const sockaddr_in address = loopbackAddress(port);
    if (::connect(fd(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return true;
    if (errno != EINPROGRESS) {
        if (error) *error = systemError("connect");
        return false;
    }
    std::vector<SocketWait> wait{{socket, true, false}};
    const int ready = waitForSockets(wait, timeoutMs, error);
    if (ready <= 0) {
        if (ready == 0 && error) *error = "timed out";
        return false;
    }
    int soError = 0;
    socklen_t length = sizeof soError;
    ::getsockopt(fd(socket), SOL_SOCKET, SO_ERROR, &soError, &length);
    if (soError != 0) {
        if (error) *error = systemError("connect", soError);
        return false;
    }
    return true;
}

void setNoDelay(Socket socket) {
    int one = 1;
    ::setsockopt(fd(socket), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

bool listenOnLoopback(Socket socket, int port, int backlog) {
    int one = 1;
    ::setsockopt(fd(socket), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const sockaddr_in address = loopbackAddress(port);
    return ::bind(fd(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
           ::listen(fd(socket), backlog) == 0;
}

Socket acceptConnection(Socket listener) {
    const int s = ::accept4(fd(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    return s < 0 ? kNoSocket : s;
}

long sendSome(Socket socket, const void* data, size_t size, std::string* error) {
    for (;;) {
        const ssize_t n = ::send(fd(socket), data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return kWouldBlock;
        if (error) *error = systemError("send");
        return kFailed;
    }
}

long receiveSome(Socket socket, void* data, size_t size, std::string* error) {
    for (;;) {
        const ssize_t n = ::recv(fd(socket), data, size, MSG_DONTWAIT);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return kWouldBlock;
        if (error) *error = systemError("recv");
        return kFailed;
    }
}

int waitForSockets(std::vector<SocketWait>& sockets, int timeoutMs, std::string* error,
                   bool stopSignals) {
    std::vector<pollfd> fds;
    fds.reserve(sockets.size());
    for (const SocketWait& w : sockets) fds.push_back({fd(w.socket), short(w.write ? POLLOUT : POLLIN), 0});
    sigset_t waitMask;
    pthread_sigmask(SIG_SETMASK, nullptr, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    const timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
    for (;;) {
        const int r = stopSignals ? ::ppoll(fds.data(), fds.size(), &timeout, &waitMask)
                                  : ::poll(fds.data(), fds.size(), timeoutMs);
        if (r >= 0) {
            for (size_t i = 0; i < fds.size(); ++i)
                sockets[i].ready = (fds[i].revents & (fds[i].events | POLLHUP | POLLERR)) != 0;
            return r;
        }
        if (errno != EINTR) {
            if (error) *error = systemError("poll");
            return -1;
        }
        if (stopSignals) {
            for (SocketWait& w : sockets) w.ready = false;
            return 0;
        }
    }
}

}  // namespace livelink
