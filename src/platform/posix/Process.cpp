// Processes started as CreateProcessW starts them: independent of the caller.
// A double fork hands the program to init, so the caller never has to wait
// for it and it never lingers as the caller's zombie.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Platform.h"

namespace platform {

struct ProcessRecord {
    pid_t pid;
};

namespace {

bool readAll(int fd, void* data, size_t size) {
    auto* bytes = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void writeAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes += n;
        size -= static_cast<size_t>(n);
    }
}

// Like CreateProcessW without handle inheritance: the program gets standard
// input, output and error on the null device and none of the caller's other
// files, so it never holds a pipe or log of the caller open. Descriptors are
// marked close-on-exec rather than closed, which keeps the report pipe working
// until the exec.
void keepOnlyNullStandardStreams() {
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        for (int fd = 0; fd < 3; ++fd) ::dup2(null, fd);
        if (null > 2) ::close(null);
    }
#ifdef CLOSE_RANGE_CLOEXEC
    if (::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC) == 0) return;
#endif
    struct rlimit limit {};
    rlim_t last = 4096;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        last = std::min<rlim_t>(limit.rlim_cur, 1 << 20);
    for (int fd = 3; fd < static_cast<int>(last); ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

}  // namespace

ProcessHandle createProcess(std::wstring_view applicationName,
                            const std::vector<std::wstring>& arguments) {
    // Everything the children need is prepared before fork.
    const std::string program = nativePath(applicationName);
    if (program.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    std::vector<std::string> args{program};
    for (const auto& a : arguments) args.push_back(wideToUtf8(a));
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return nullptr;
    // The program waits for the end of this pipe before it execs, so that an
    // exec error reaches the report pipe only after its process id.
    int pidWritten[2];
    if (::pipe2(pidWritten, O_CLOEXEC) != 0) {
        ::close(report[0]);
        ::close(report[1]);
        return nullptr;
    }

    const pid_t middle = ::fork();
    if (middle < 0) {
        const int e = errno;
        ::close(report[0]);
        ::close(report[1]);
        ::close(pidWritten[0]);
        ::close(pidWritten[1]);
        errno = e;
        return nullptr;
    }
    if (middle == 0) {
        ::close(report[0]);
        ::setsid();  // no signals from the caller's terminal
        const pid_t child = ::fork();
        if (child < 0) {
            const pid_t none = -1;
            const int e = errno;
            writeAll(report[1], &none, sizeof none);
            writeAll(report[1], &e, sizeof e);
            ::_exit(1);
        }
        if (child == 0) {
            ::close(pidWritten[1]);
            char none;
            while (::read(pidWritten[0], &none, 1) < 0 && errno == EINTR) {
            }
            keepOnlyNullStandardStreams();
            ::execv(program.c_str(), argv.data());
            const int e = errno;  // exec failed: tell the caller why
            writeAll(report[1], &e, sizeof e);
            ::_exit(127);
        }
        writeAll(report[1], &child, sizeof child);
        ::_exit(0);  // closes pidWritten: the program goes on
    }

    ::close(pidWritten[0]);
    ::close(pidWritten[1]);
    ::close(report[1]);
    pid_t child = -1;
    int failure = 0;
    const bool gotPid = readAll(report[0], &child, sizeof child);
    // With the pid written, the pipe stays open until the exec succeeds
    // (close-on-exec) or the child reports the exec's error.
    const bool execFailed = gotPid && readAll(report[0], &failure, sizeof failure);
    ::close(report[0]);
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    if (!gotPid || child < 0 || execFailed) {
        errno = execFailed ? failure : (failure != 0 ? failure : ECHILD);
        return nullptr;
    }
    return new ProcessRecord{child};
}

uint32_t processIdOf(ProcessHandle process) {
    return process == nullptr ? 0 : static_cast<uint32_t>(process->pid);
}

bool closeHandle(ProcessHandle process) {
    if (process == nullptr) return false;
    delete process;
    return true;
}

bool processRunning(uint32_t processId) {
    if (processId == 0) return false;
    FILE* stat = std::fopen(("/proc/" + std::to_string(processId) + "/stat").c_str(), "r");
    if (!stat) return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
    char text[512] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, stat);
    std::fclose(stat);
    // "pid (name) state ...": the state follows the last closing parenthesis.
    const char* close = std::strrchr(text, ')');
    if (n == 0 || !close || close[1] != ' ') return true;
    return close[2] != 'Z' && close[2] != 'X';
}

uint32_t currentProcessId() {
    return static_cast<uint32_t>(::getpid());
}

std::wstring currentProgramPath() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? utf8ToWide(std::string_view(path, static_cast<size_t>(n))) : std::wstring();
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0), argv + argc);
}

}  // namespace platform
