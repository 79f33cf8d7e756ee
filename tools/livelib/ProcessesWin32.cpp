// Instance folder and process identity on Windows: records live in the
// user's local application data folder; a process is told apart from a later
// one with the same id by its creation time.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <climits>
#include <filesystem>

#include "InstanceRecords.h"
#include "platform/Platform.h"

namespace livelink {

namespace {

std::wstring localApplicationData() {
    PWSTR folder = nullptr;
    std::wstring path;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder) == S_OK) path = folder;
    CoTaskMemFree(folder);
    if (path.empty())
        if (const wchar_t* env = _wgetenv(L"LOCALAPPDATA")) path = env;
    return path;
}

// An open handle to a process that has not ended; null otherwise.
HANDLE openRunning(int64_t processId) {
    if (processId <= 0 || processId > INT32_MAX) return nullptr;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 static_cast<DWORD>(processId));
    if (!process) return nullptr;
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code) || code != STILL_ACTIVE) {
        CloseHandle(process);
        return nullptr;
    }
    return process;
}

}  // namespace

std::string instanceFolder() {
    if (const wchar_t* dir = _wgetenv(L"QUORELL_RUNTIME_DIR"); dir && *dir)
        return platform::wideToUtf8(dir);
    const std::filesystem::path folder =
        std::filesystem::path(localApplicationData()) / L"Quorell" / L"instances";
    return platform::wideToUtf8(folder.wstring());
}

bool processAlive(int64_t processId) {
    HANDLE process = openRunning(processId);
    if (process) CloseHandle(process);
    return process != nullptr;
}

uint64_t processStartTime(int64_t processId) {
    HANDLE process = openRunning(processId);
    if (!process) return 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    uint64_t start = 0;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user))
        start = (uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    CloseHandle(process);
    return start;
}

bool startTimesKnown() {
    return true;
}

}  // namespace livelink
