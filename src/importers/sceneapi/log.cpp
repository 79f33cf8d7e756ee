#include "importers/sceneapi/log.h"

#include <cerrno>

#include "livelink/InstallationRegistry.h"

namespace {

constexpr long kRestartSize = 0x1400000;  // 20 MiB: a larger log is started again

// The tick of the process's first time stamp, fixed by that stamp.
platform::Dword startTick(platform::Dword firstStamp) {
    static const platform::Dword tick = firstStamp;
    return tick;
}

// Size of the existing log, 0 when there is none.
long logSize(const std::wstring& path) {
    FILE* in = platform::openFile(path, "rb");
    if (in == nullptr) return 0;
    long size = 0;
    if (std::fseek(in, 0, SEEK_END) == 0) size = std::ftell(in);
    std::fclose(in);
    return size < 0 ? 0 : size;
}

}  // namespace

std::string NowTime() {
    return NowTime(platform::tickCount());
}

std::string NowTime(platform::Dword ticks) {
    const platform::Dword first = startTick(ticks);
    char time[200];
    if (platform::formatTimeOfDay("HH':'mm':'ss", time, sizeof time) == 0)
        return "Error in NowTime()";
    char result[256];
    std::snprintf(result, sizeof result, "%s.%03ld", time,
                  static_cast<long>(static_cast<platform::Dword>(ticks - first) % 1000));
    return result;
}

FILE*& Output2FILE::stream() {
    static FILE* file = nullptr;
    return file;
}

FILE* Output2FILE::logFile() {
    FILE*& file = stream();
    if (file != nullptr) return file;
    const std::wstring folder = installationRegistry().readResourceFolder(5, 20);
    if (folder.empty()) return nullptr;
    const std::wstring path = folder + L"\\sceneapi.log";
    file = platform::openFile(path, logSize(path) < kRestartSize ? "a" : "w");
    if (file == nullptr) {
        const int error = errno;
        std::fputs("could not open log file:\n", stderr);
        errno = error;
        std::perror("opening log");
    }
    return file;
}

void Output2FILE::emit(const std::string& text) {
    FILE* file = stream();
    if (file == nullptr) return;
    std::fprintf(file, "%s", text.c_str());
    std::fflush(file);
}

void Output2FILE::reset() {
    FILE*& file = stream();
    if (file != nullptr) std::fclose(file);
    file = nullptr;
}

FILELog::~FILELog() = default;
