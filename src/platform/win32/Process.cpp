// Processes started with CreateProcessW: no handle is inherited, so the
// program holds none of the caller's files, pipes or sockets.
#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <string>

#include "platform/Platform.h"

namespace platform {

struct ProcessRecord {
    HANDLE process;
    DWORD id;
};

namespace {

// One argument as the C runtime's command line parser reads it back.
void appendQuoted(std::wstring& line, std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        line.append(argument);
        return;
    }
    line.push_back(L'"');
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line.push_back(c);
    }
    line.append(2 * backslashes, L'\\');
    line.push_back(L'"');
}

int errnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_BAD_EXE_FORMAT:
            return ENOEXEC;
        default:
            return EINVAL;
    }
}

}  // namespace

ProcessHandle createProcess(std::wstring_view applicationName,
                            const std::vector<std::wstring>& arguments) {
    if (applicationName.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    std::wstring application(applicationName);
    for (wchar_t& c : application)
        if (c == L'/') c = L'\\';
    // No command line unless there are arguments; then the program's name
    // comes first, as programs expect it in argv[0].
    std::wstring commandLine;
    if (!arguments.empty()) {
        appendQuoted(commandLine, application);
        for (const std::wstring& argument : arguments) {
            commandLine.push_back(L' ');
            appendQuoted(commandLine, argument);
        }
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), commandLine.empty() ? nullptr : commandLine.data(),
                        nullptr, nullptr, FALSE, DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP,
                        nullptr, nullptr, &startup, &info)) {
        errno = errnoOf(GetLastError());
        return nullptr;
    }
    CloseHandle(info.hThread);
    return new ProcessRecord{info.hProcess, info.dwProcessId};
}

uint32_t processIdOf(ProcessHandle process) {
    return process == nullptr ? 0 : process->id;
}

bool closeHandle(ProcessHandle process) {
    if (process == nullptr) return false;
    CloseHandle(process->process);
    delete process;
    return true;
}

bool processRunning(uint32_t processId) {
    if (processId == 0) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

uint32_t currentProcessId() {
    return GetCurrentProcessId();
}

std::wstring currentProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 6; ++attempt) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
    return {};
}

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0), argv + argc);
    for (int i = 1; i < count; ++i) arguments.push_back(wideToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

}  // namespace platform
