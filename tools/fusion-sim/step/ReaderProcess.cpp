#include "step/ReaderProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>

#include "step/LoaderProcess.h"

extern char** environ;

namespace steploader {
namespace {

// Shortest text that reads back as the same number.
std::string exactText(double value) {
    std::array<char, 64> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

// Both ends close on exec; the child gets its end through posix_spawn's dup2.
struct Pipe {
    int fds[2] = {-1, -1};
    ~Pipe() {
        for (int fd : fds)
            if (fd >= 0) ::close(fd);
    }
    int release(int end) { return std::exchange(fds[end], -1); }
};

// Files from this size on are read with a heap of transparent huge pages:
// OpenCASCADE makes a great many small allocations, and every 4 KiB page
// touched for the first time costs a fault (as1_motor, 818 KiB: about 12,000
// faults, 3,000-4,000 with huge pages, 40-55 ms less). A smaller file's heap
// stays so small that zeroing whole 2 MiB pages costs more than the faults
// save (2-3 ms more on files of 10-70 KiB; 7-10 ms less at 108 KiB).
constexpr std::uintmax_t kHugePagesFromBytes = 96 * 1024;

bool readWithHugePages(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return !error && size >= kHugePagesFromBytes;
}

// This process's environment, with glibc asked to back the reader's heap with
// transparent huge pages. A setting the caller made already is kept.
std::vector<std::string> hugePageEnvironment() {
    constexpr std::string_view kTunables = "GLIBC_TUNABLES=";
    constexpr std::string_view kHugePages = "glibc.malloc.hugetlb=1";
    std::vector<std::string> environment;
    bool tunablesSeen = false;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string text = *entry;
        if (text.starts_with(kTunables)) {
            tunablesSeen = true;
            if (text.find("glibc.malloc.hugetlb=") == std::string::npos)
                text += (text.size() > kTunables.size() ? ":" : "") + std::string(kHugePages);
        }
        environment.push_back(std::move(text));
    }
    if (!tunablesSeen) environment.push_back(std::string(kTunables) + std::string(kHugePages));
    return environment;
}

}  // namespace

std::vector<std::string> readerArguments(const std::string& path, const Options& options) {
    return {"--deflection",
            exactText(options.deflection),
            "--relative-deflection",
            exactText(options.relativeDeflection),
            "--angular-deflection",
            exactText(options.angularDeflection),
            "--",
            path};
}

Design readWithProgram(const std::string& reader, const std::string& path, const Options& options) {
    Pipe design, errors;
    if (::pipe2(design.fds, O_CLOEXEC) != 0 || ::pipe2(errors.fds, O_CLOEXEC) != 0) {
        throw LoadError(path + ": cannot create a pipe: " + std::strerror(errno));
    }

    std::vector<std::string> arguments = readerArguments(path, options);
    arguments.insert(arguments.begin(), reader);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    std::vector<char*> envp;
    if (readWithHugePages(path)) {
        environment = hugePageEnvironment();
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, design.fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors.fds[1], STDERR_FILENO);
    pid_t child = -1;
    const int error =
        ::posix_spawn(&child, reader.c_str(), &actions, nullptr, argv.data(),
                      envp.empty() ? environ : envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw LoadError(path + ": cannot start the STEP reader " + reader + ": " +
                        std::strerror(error));
    }
    // Only the child may hold the writing ends, or the reads below never end.
    ::close(design.release(1));
    ::close(errors.release(1));
    return receiveDesign(path, child, design.release(0), errors.release(0),
                         ChildExit::ReapInBackground);
}

}  // namespace steploader
