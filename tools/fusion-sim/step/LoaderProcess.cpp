#include "step/LoaderProcess.h"

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <thread>

#include "step/DesignCodec.h"

namespace steploader {
namespace {

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads both descriptors at once, so that neither writer blocks on a full pipe.
void readBoth(int designFd, std::string& design, int errorFd, std::string& errors) {
    struct pollfd fds[2] = {{designFd, POLLIN, 0}, {errorFd, POLLIN, 0}};
    std::string* into[2] = {&design, &errors};
    char buffer[1 << 16];
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                fds[i].fd = -1;  // poll skips negative descriptors
                --open;
                continue;
            }
            into[i]->append(buffer, static_cast<std::size_t>(got));
        }
    }
}

// The child's message is its last line; what came before is passed on.
std::string lastLine(std::string& errors) {
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r')) errors.pop_back();
    const std::size_t newline = errors.rfind('\n');
    const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    std::string line = errors.substr(start);
    errors.resize(start);
    return line;
}

void passOn(const std::string& text) {
    if (!text.empty()) writeAll(STDERR_FILENO, text.data(), text.size());
}

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

// A child still running after it closed both descriptors is ending. If its
// design decodes, a detached thread collects the child and the design is
// returned; otherwise (or when the child has ended already) nothing happens
// and the caller waits as usual.
std::optional<Design> takeWithoutWaiting(pid_t child, const std::string& reply) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid != 0) {
        return std::nullopt;
    }
    try {
        Design design = decodeDesign(reply);
        std::thread([child] {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
        return design;
    } catch (const std::exception&) {  // LoadError, or no thread to spare
        return std::nullopt;
    }
}

}  // namespace

int sendDesign(int designFd, int errorFd, const std::string& path,
               const std::function<Design()>& load) {
    std::string message;
    try {
        const std::string bytes = encodeDesign(load());
        return writeAll(designFd, bytes.data(), bytes.size()) ? 0 : 1;
    } catch (const LoadError& error) {
        message = error.what();
    } catch (const std::exception& error) {
        message = path + ": " + error.what();
    } catch (...) {
        message = path + ": OpenCASCADE failed while reading the file";
    }
    message = oneLine(message) + "\n";
    return writeAll(errorFd, message.data(), message.size()) ? kRefusedStatus : 1;
}

Design receiveDesign(const std::string& path, pid_t child, int designFd, int errorFd,
                     ChildExit exit) {
    std::string reply, errors;
    readBoth(designFd, reply, errorFd, errors);
    ::close(designFd);
    ::close(errorFd);

    if (exit == ChildExit::ReapInBackground && !reply.empty()) {
        if (std::optional<Design> design = takeWithoutWaiting(child, reply)) {
            passOn(errors);
            return std::move(*design);
        }
    }

    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) {
        passOn(errors);
        throw LoadError(path + ": OpenCASCADE did not finish reading the file within " +
                        std::to_string(kReadTimeLimitSeconds) + " s");
    }
    if (WIFSIGNALED(status)) {
        passOn(errors);
        const int signal = WTERMSIG(status);
        throw LoadError(path + ": OpenCASCADE crashed while reading the file (signal " +
                        std::to_string(signal) + ", " + ::strsignal(signal) + ")");
    }
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (exitStatus == kRefusedStatus) {
        std::string message = lastLine(errors);
        passOn(errors);
        if (!message.empty()) throw LoadError(message);
    } else {
        passOn(errors);
    }
    if (exitStatus != 0) {
        throw LoadError(path + ": the loading process failed (exit status " +
                        std::to_string(exitStatus) + ")");
    }
    if (reply.empty()) throw LoadError(path + ": the loading process sent no design");
    try {
        Design design = decodeDesign(reply);
        design.timings.loaderCpu =
            static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        return design;
    } catch (const LoadError& error) {
        throw LoadError(path + ": " + error.what());
    }
}

}  // namespace steploader
