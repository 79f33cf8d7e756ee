// Winsock 2. select() rather than WSAPoll: it reports a refused connect
// (in the exception set), which WSAPoll does not on every Windows version.
#define FD_SETSIZE 1024
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <mutex>

#include "SocketCalls.h"

namespace livelink {

namespace {

std::string systemError(const char* what, int number = WSAGetLastError()) {
    char text[256] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(number), 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == '.')) --n;
    std::string why(text, n);
    if (why.empty()) why = "Winsock error " + std::to_string(number);
    return std::string(what) + ": " + why;
}

sockaddr_in loopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

SOCKET handle(Socket socket) {
    return static_cast<SOCKET>(socket);
}

bool makeNonBlocking(SOCKET s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}

}  // namespace

bool startSockets(std::string* error) {
    static std::once_flag once;
    static int status = 0;
    std::call_once(once, [] {
        WSADATA data;
        status = WSAStartup(MAKEWORD(2, 2), &data);
    });
    if (status != 0 && error) *error = systemError("WSAStartup", status);
    return status == 0;
}

Socket openTcpSocket(std::string* error) {
    if (!startSockets(error)) return kNoSocket;
    const SOCKET s =
        WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        if (error) *error = systemError("socket");
        return kNoSocket;
    }
    if (!makeNonBlocking(s)) {
        if (error) *error = systemError("ioctlsocket");
        closesocket(s);
        return kNoSocket;
    }
    return static_cast<Socket>(s);
}

void closeSocketHandle(Socket socket) {
    if (socket != kNoSocket) closesocket(handle(socket));
}

bool connectToLoopback(Socket socket, int port, int timeoutMs, std::string* error) {
    const sockaddr_in address = loopbackAddress(port);
    if (connect(handle(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK) {
        if (error) *error = systemError("connect");
        return false;
    }
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(handle(socket), &writable);
    FD_SET(handle(socket), &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int r = select(0, nullptr, &writable, &failed, &limit);
    if (r == 0) {
        if (error) *error = "timed out";
        return false;
    }
    if (r < 0) {
        if (error) *error = systemError("select");
        return false;
    }
    int soError = 0;
    int length = sizeof soError;
    getsockopt(handle(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
    if (FD_ISSET(handle(socket), &failed) || soError != 0) {
        if (error) *error = systemError("connect", soError != 0 ? soError : WSAECONNREFUSED);
        return false;
    }
    return true;
}

void setNoDelay(Socket socket) {
    BOOL one = TRUE;
    setsockopt(handle(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
               sizeof one);
}

bool listenOnLoopback(Socket socket, int port, int backlog) {
    // Exclusive use: on Windows, address reuse would let a second renderer
    // bind a port the first listens on.
    BOOL one = TRUE;
    setsockopt(handle(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
               reinterpret_cast<const char*>(&one), sizeof one);
    const sockaddr_in address = loopbackAddress(port);
    return bind(handle(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
           listen(handle(socket), backlog) == 0;
}

Socket acceptConnection(Socket listener) {
    const SOCKET s = accept(handle(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET) return kNoSocket;
    // Accepted sockets take the listener's non-blocking mode; inheritance is
    // switched off by hand.
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    makeNonBlocking(s);
    return static_cast<Socket>(s);
}

long sendSome(Socket socket, const void* data, size_t size, std::string* error) {
    const int chunk = static_cast<int>(size < (1u << 30) ? size : (1u << 30));
    const int n = send(handle(socket), static_cast<const char*>(data), chunk, 0);
    if (n != SOCKET_ERROR) return n;
    if (WSAGetLastError() == WSAEWOULDBLOCK) return kWouldBlock;
    if (error) *error = systemError("send");
    return kFailed;
}

long receiveSome(Socket socket, void* data, size_t size, std::string* error) {
    const int chunk = static_cast<int>(size < (1u << 30) ? size : (1u << 30));
    const int n = recv(handle(socket), static_cast<char*>(data), chunk, 0);
    if (n != SOCKET_ERROR) return n;
    if (WSAGetLastError() == WSAEWOULDBLOCK) return kWouldBlock;
    if (error) *error = systemError("recv");
    return kFailed;
}

int waitForSockets(std::vector<SocketWait>& sockets, int timeoutMs, std::string* error, bool) {
    if (sockets.size() > FD_SETSIZE) {
        if (error) *error = "select: more than " + std::to_string(FD_SETSIZE) + " sockets";
        return -1;
    }
    fd_set readable, writable, failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    for (const SocketWait& w : sockets) {
        FD_SET(handle(w.socket), w.write ? &writable : &readable);
        FD_SET(handle(w.socket), &failed);
    }
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int r = select(0, &readable, &writable, &failed, &limit);
    if (r < 0) {
        if (error) *error = systemError("select");
        return -1;
    }
    int count = 0;
    for (SocketWait& w : sockets) {
        w.ready = FD_ISSET(handle(w.socket), w.write ? &writable : &readable) ||
                  FD_ISSET(handle(w.socket), &failed);
        count += w.ready ? 1 : 0;
    }
    return count;
}

}  // namespace livelink
