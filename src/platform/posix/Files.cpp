#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/Platform.h"

namespace platform {

std::string nativePath(std::wstring_view path) {
    std::string native = wideToUtf8(path);
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

FILE* openFile(std::wstring_view path, const char* mode) {
    // "e": close-on-exec, as Windows handles are not inherited by the
    // programs the add-in starts.
    const std::string closeOnExec = std::string(mode ? mode : "") + "e";
    FILE* file = std::fopen(nativePath(path).c_str(), closeOnExec.c_str());
    // _wfopen does not open folders; fopen on Linux does, for reading.
    struct stat st {};
    if (file && ::fstat(::fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(file);
        errno = EACCES;
        return nullptr;
    }
    return file;
}

std::optional<FileStatus> fileStatus(std::wstring_view path) {
    struct stat st {};
    if (::stat(nativePath(path).c_str(), &st) != 0) return std::nullopt;
    return FileStatus{S_ISDIR(st.st_mode), static_cast<uint64_t>(st.st_size)};
}

int duplicateDescriptor(int fd) {
    return ::dup(fd);
}

int duplicateDescriptorTo(int fd, int target) {
    return ::dup2(fd, target);
}

// POSIX streams make no text translation: every descriptor is binary already.
int setBinaryMode(int fd) {
    return ::fcntl(fd, F_GETFD) == -1 ? -1 : 0;
}

}  // namespace platform
