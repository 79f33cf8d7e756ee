#include "AtomicFile.h"

#ifdef _WIN32
#include <process.h>

#include "platform/Platform.h"
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace livelink {

namespace {

#ifdef _WIN32
FILE* openForWriting(const std::string& path) {
    return ::_wfopen(platform::utf8ToWide(path).c_str(), L"wb");
}
int processId() {
    return ::_getpid();
}
#else
FILE* openForWriting(const std::string& path) {
    return std::fopen(path.c_str(), "wb");
}
int processId() {
    return ::getpid();
}
#endif

}  // namespace

#ifdef _WIN32
std::filesystem::path systemPath(const std::string& path) {
    return std::filesystem::path(platform::utf8ToWide(path));
}
std::string utf8Path(const std::filesystem::path& path) {
    return platform::wideToUtf8(path.wstring());
}
#else
std::filesystem::path systemPath(const std::string& path) {
    return path;
}
std::string utf8Path(const std::filesystem::path& path) {
    return path.string();
}
#endif

bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write,
                         std::string* error) {
    namespace fs = std::filesystem;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::error_code ec;
    const fs::path folder = systemPath(path).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
    if (ec) return fail("cannot create " + utf8Path(folder) + ": " + ec.message());
    // One temporary name per process: two writers never share one.
    const std::string temporary = path + ".tmp." + std::to_string(processId());
    FILE* file = openForWriting(temporary);
    if (!file) return fail("cannot open " + temporary + ": " + std::strerror(errno));
    const bool written = write(file) && std::fflush(file) == 0 && std::ferror(file) == 0;
    const int writeErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        fs::remove(systemPath(temporary), ec);
        return fail("cannot write " + temporary + ": " +
                    std::strerror(written ? errno : writeErrno));
    }
    fs::rename(systemPath(temporary), systemPath(path), ec);
    if (ec) {
        const std::string why = "cannot rename " + temporary + " to " + path + ": " + ec.message();
        fs::remove(systemPath(temporary), ec);
        return fail(why);
    }
    return true;
}

}  // namespace livelink
