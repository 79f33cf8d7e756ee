// Running programs and finding loopback ports with the Windows functions.
#include <winsock2.h>
#include <windows.h>

#include <random>
#include <stdexcept>

#include "platform/Platform.h"
#include "support/Program.h"

namespace support {

namespace {

// A program that has not ended after this long is ended by the test.
constexpr DWORD kRunLimitMs = 10 * 60 * 1000;

void appendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

// This process's environment with the additions (NAME=value) replacing their names.
std::wstring environmentBlock(const std::vector<std::string>& additions) {
    std::vector<std::wstring> entries;
    for (const std::string& a : additions) entries.push_back(platform::utf8ToWide(a));
    auto nameOf = [](const std::wstring& entry) {
        return entry.substr(0, entry.find(L'=', 1));
    };
    std::wstring block;
    wchar_t* all = GetEnvironmentStringsW();
    for (const wchar_t* e = all; e && *e; e += wcslen(e) + 1) {
        const std::wstring entry(e);
        bool replaced = false;
        for (const std::wstring& a : entries)
            replaced = replaced || _wcsicmp(nameOf(a).c_str(), nameOf(entry).c_str()) == 0;
        if (!replaced) block += entry + L'\0';
    }
    if (all) FreeEnvironmentStringsW(all);
    for (const std::wstring& a : entries) block += a + L'\0';
    block += L'\0';
    return block;
}

HANDLE inheritableTemporaryFile() {
    wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"qrl", 0, name))
        return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                       nullptr);
}

std::string rest(HANDLE file) {
    std::string text;
    if (file == INVALID_HANDLE_VALUE) return text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char block[4096];
    DWORD n = 0;
    while (ReadFile(file, block, sizeof block, &n, nullptr) && n > 0) text.append(block, n);
    CloseHandle(file);
    return text;
}

struct Winsock {
    Winsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

bool portFree(int port) {
    static Winsock winsock;
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool free = ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::closesocket(s);
    return free;
}

}  // namespace

Outcome run(const std::vector<std::string>& arguments, const RunOptions& options) {
    Outcome outcome;
    if (arguments.empty()) return outcome;
    std::wstring commandLine;
    for (const std::string& a : arguments) {
        if (!commandLine.empty()) commandLine += L' ';
        appendQuoted(commandLine, platform::utf8ToWide(a));
    }
    std::wstring environment = environmentBlock(options.environment);
    const std::wstring folder = options.folder.wstring();
    HANDLE out = inheritableTemporaryFile();
    HANDLE err = options.errorsIntoOutput ? out : inheritableTemporaryFile();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION info{};
    std::wstring application = platform::utf8ToWide(arguments[0]);
    for (wchar_t& c : application)
        if (c == L'/') c = L'\\';
    if (CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT, environment.data(),
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        if (WaitForSingleObject(info.hProcess, kRunLimitMs) != WAIT_OBJECT_0)
            TerminateProcess(info.hProcess, 128 + 9);
        WaitForSingleObject(info.hProcess, kRunLimitMs);
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        outcome.status = static_cast<int>(code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    outcome.out = rest(out);
    if (!options.errorsIntoOutput) outcome.err = rest(err);
    return outcome;
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int freePort() {
    static Winsock winsock;
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::closesocket(s);
    return ntohs(address.sin_port);
}

int freePortRange(int count) {
    std::mt19937 random(GetCurrentProcessId() * 7919u + GetTickCount());
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int base = 30000 + static_cast<int>(random() % 25000u);
        bool all = true;
        for (int p = base; p < base + count && all; ++p) all = portFree(p);
        if (all) return base;
    }
    throw std::runtime_error("no free port range");
}

}  // namespace support
