#include "AtomicFile.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/Platform.h"

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

bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write,
                         std::string* error) {
    namespace fs = std::filesystem;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::error_code ec;
    const fs::path folder = platform::systemPath(path).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
    if (ec) return fail("cannot create " + platform::utf8Path(folder) + ": " + ec.message());
    // One temporary name per process: two writers never share one.
    const std::string temporary = path + ".tmp." + std::to_string(processId());
    FILE* file = openForWriting(temporary);
    if (!file) return fail("cannot open " + temporary + ": " + std::strerror(errno));
    const bool written = write(file) && std::fflush(file) == 0 && std::ferror(file) == 0;
    const int writeErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        fs::remove(platform::systemPath(temporary), ec);
        return fail("cannot write " + temporary + ": " +
                    std::strerror(written ? errno : writeErrno));
    }
    fs::rename(platform::systemPath(temporary), platform::systemPath(path), ec);
    if (ec) {
        const std::string why = "cannot rename " + temporary + " to " + path + ": " + ec.message();
        fs::remove(platform::systemPath(temporary), ec);
        return fail(why);
    }
    return true;
}

}  // namespace livelink
