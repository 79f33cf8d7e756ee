#include "AtomicFile.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace livelink {

bool writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write,
                         std::string* error) {
    namespace fs = std::filesystem;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::error_code ec;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
    if (ec) return fail("cannot create " + folder.string() + ": " + ec.message());
    // One temporary name per process: two writers never share one.
    const std::string temporary = path + ".tmp." + std::to_string(::getpid());
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return fail("cannot open " + temporary + ": " + std::strerror(errno));
    const bool written = write(file) && std::fflush(file) == 0 && std::ferror(file) == 0;
    const int writeErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        fs::remove(temporary, ec);
        return fail("cannot write " + temporary + ": " +
                    std::strerror(written ? errno : writeErrno));
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        const std::string why = "cannot rename " + temporary + " to " + path + ": " + ec.message();
        fs::remove(temporary, ec);
        return fail(why);
    }
    return true;
}

}  // namespace livelink
