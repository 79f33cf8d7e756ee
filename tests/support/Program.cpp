#include "support/Program.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <stdexcept>

extern char** environ;

namespace support {

namespace {

std::string rest(FILE* file) {
    std::string text;
    std::rewind(file);
    char block[4096];
    for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, n);
    std::fclose(file);
    return text;
}

// A pseudo-terminal whose far end passes bytes as written (no \r added).
struct Terminal {
    int near = -1, far = -1;
};

Terminal openTerminal() {
    Terminal t;
    t.near = ::posix_openpt(O_RDWR | O_NOCTTY);
    const char* name =
        t.near >= 0 && ::grantpt(t.near) == 0 && ::unlockpt(t.near) == 0 ? ::ptsname(t.near) : nullptr;
    t.far = name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
    termios raw{};
    if (t.far < 0 || ::tcgetattr(t.far, &raw) != 0) throw std::runtime_error("no pseudo-terminal");
    ::cfmakeraw(&raw);
    ::tcsetattr(t.far, TCSANOW, &raw);
    return t;
}

// Reads the terminal while the child runs (its buffer is small), then what is left.
int readTerminal(Terminal& t, pid_t child, std::string& text) {
    char block[4096];
    int status = 0;
    for (bool running = true; running;) {
        pollfd ready{t.near, POLLIN, 0};
        if (::poll(&ready, 1, 50) > 0 && (ready.revents & POLLIN)) {
            const ssize_t n = ::read(t.near, block, sizeof block);
            if (n > 0) text.append(block, size_t(n));
        }
        running = ::waitpid(child, &status, WNOHANG) == 0;
    }
    ::close(t.far);  // with the child gone, reading ends at the buffer's end (EIO)
    for (ssize_t n; (n = ::read(t.near, block, sizeof block)) > 0;) text.append(block, size_t(n));
    ::close(t.near);
    return status;
}

bool portFree(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool free = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return free;
}

}  // namespace

Outcome run(const std::vector<std::string>& arguments, const RunOptions& options) {
    // Everything the child needs is prepared before fork.
    std::vector<char*> argv, envp;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    for (const std::string& e : options.environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const std::string folder = options.folder.string();
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    Outcome outcome;
    Terminal terminal = options.errorsOnTerminal ? openTerminal() : Terminal{};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(::fileno(out), 1);
        ::dup2(terminal.far >= 0 ? terminal.far : ::fileno(options.errorsIntoOutput ? out : err), 2);
        if (terminal.far >= 0) {
            ::close(terminal.far);
            ::close(terminal.near);
        }
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    if (child > 0) {
        if (terminal.far >= 0) {
            status = readTerminal(terminal, child, outcome.err);
        } else {
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    outcome.out = rest(out);
    outcome.err += rest(err);
    return outcome;
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

int freePortRange(int count) {
    std::mt19937 random(static_cast<unsigned>(::getpid()) * 7919u +
                        static_cast<unsigned>(::time(nullptr)));
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int base = 30000 + static_cast<int>(random() % 25000u);
        bool all = true;
        for (int p = base; p < base + count && all; ++p) all = portFree(p);
        if (all) return base;
    }
    throw std::runtime_error("no free port range");
}

}  // namespace support
