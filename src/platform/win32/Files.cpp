#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/Platform.h"

namespace platform {

std::string nativePath(std::wstring_view path) {
    return wideToUtf8(path);
}

FILE* openFile(std::wstring_view path, const char* mode) {
    // "N": the handle is not inherited by programs the add-in starts.
    std::wstring wideMode;
    for (const char* m = mode ? mode : ""; *m != '\0'; ++m) wideMode.push_back(*m);
    wideMode.push_back(L'N');
    return _wfopen(std::wstring(path).c_str(), wideMode.c_str());
}

std::optional<FileStatus> fileStatus(std::wstring_view path) {
    // _wstat fails on a folder named with a trailing separator, except a root ("C:\").
    std::wstring native(path);
    while (native.size() > 1 && (native.back() == L'\\' || native.back() == L'/') &&
           native[native.size() - 2] != L':')
        native.pop_back();
    if (native.empty()) return std::nullopt;
    struct _stat64 st {};
    if (_wstat64(native.c_str(), &st) != 0) return std::nullopt;
    return FileStatus{(st.st_mode & _S_IFDIR) != 0, static_cast<uint64_t>(st.st_size)};
}

int duplicateDescriptor(int fd) {
    return _dup(fd);
}

int duplicateDescriptorTo(int fd, int target) {
    return _dup2(fd, target);
}

int setBinaryMode(int fd) {
    return _setmode(fd, _O_BINARY) == -1 ? -1 : 0;
}

}  // namespace platform
