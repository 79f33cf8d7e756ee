// Instance folder and process identity on POSIX systems.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "InstanceRecords.h"

namespace livelink {

std::string instanceFolder() {
    if (const char* dir = std::getenv("QUORELL_RUNTIME_DIR"); dir && *dir) return dir;
    const char* base = std::getenv("XDG_RUNTIME_DIR");
    std::string root = base && *base ? base : "/tmp";
    return root + "/quorell-" + std::to_string(::getuid()) + "/instances";
}

bool processAlive(int64_t processId) {
    if (processId <= 0 || processId > INT32_MAX) return false;
    if (::kill(static_cast<pid_t>(processId), 0) == 0) return true;
    return errno == EPERM;
}

uint64_t processStartTime(int64_t processId) {
    if (processId <= 0 || processId > INT32_MAX) return 0;
    std::ifstream in("/proc/" + std::to_string(processId) + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) return 0;
    // "pid (name) state ppid ...": the name may hold anything, so the fields
    // are counted from its closing parenthesis. The start time is field 22.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    fields >> state;
    if (state == "Z" || state == "X") return 0;
    std::string field;
    for (int i = 4; i < 22 && (fields >> field); ++i) {
    }
    uint64_t start = 0;
    return (fields >> start) ? start : 0;
}

bool startTimesKnown() {
    return std::filesystem::exists("/proc/self/stat");
}

}  // namespace livelink
