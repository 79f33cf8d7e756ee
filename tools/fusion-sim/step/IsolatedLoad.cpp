#include "step/IsolatedLoad.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "step/DesignCodec.h"
#include "step/StepReader.h"

namespace steploader {
namespace {

// Replies start with one byte saying what follows.
constexpr char kDesignReply = 'D';
constexpr char kErrorReply = 'E';

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

std::string readAll(int fd) {
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

[[noreturn]] void runChild(int replyFd, const std::string& path,
                           const std::function<Design()>& load) {
    // OpenCASCADE reports progress and warnings on standard output, which
    // belongs to the host program.
    const int devNull = ::open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        ::dup2(devNull, STDOUT_FILENO);
        ::close(devNull);
    }
    std::string reply;
    try {
        reply = kDesignReply + encodeDesign(load());
    } catch (const LoadError& error) {
        reply = kErrorReply + std::string(error.what());
    } catch (const std::exception& error) {
        reply = kErrorReply + path + ": " + error.what();
    } catch (...) {
        reply = kErrorReply + path + ": OpenCASCADE failed while reading the file";
    }
    const bool sent = writeAll(replyFd, reply.data(), reply.size());
    ::close(replyFd);
    ::_exit(sent ? 0 : 1);
}

}  // namespace

Design loadInChild(const std::string& path, const std::function<Design()>& load) {
    int fds[2];
    if (::pipe(fds) != 0) throw LoadError(path + ": cannot create a pipe: " + std::strerror(errno));
    std::fflush(nullptr);  // the child must not repeat buffered output
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        throw LoadError(path + ": cannot start the loading process: " + std::strerror(error));
    }
    if (child == 0) {
        ::close(fds[0]);
        runChild(fds[1], path, load);
    }
    ::close(fds[1]);
    const std::string reply = readAll(fds[0]);
    ::close(fds[0]);

    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        throw LoadError(path + ": OpenCASCADE crashed while reading the file (signal " +
                        std::to_string(signal) + ", " + ::strsignal(signal) + ")");
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || reply.empty()) {
        throw LoadError(path + ": the loading process failed (exit status " +
                        std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")");
    }
    if (reply[0] == kErrorReply) throw LoadError(reply.substr(1));
    if (reply[0] != kDesignReply) throw LoadError(path + ": the loading process sent no design");
    try {
        Design design = decodeDesign(std::string_view(reply).substr(1));
        design.timings.loaderCpu =
            static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        return design;
    } catch (const LoadError& error) {
        throw LoadError(path + ": " + error.what());
    }
}

Design loadStepDesign(const std::string& path, const Options& options) {
    // Refuse what is plainly not STEP without starting a process.
    checkStepFile(path);
    return loadInChild(path, [&] { return readStepDesign(path, options); });
}

}  // namespace steploader
