// The Windows functions the add-in calls, as one narrow interface. Each
// operation keeps the semantics of the Windows function named in its comment
// (result codes, buffer sizes in bytes, wide-character texts); the POSIX
// implementation under posix/ maps them onto Linux and accepts the Windows
// forms the add-in uses, such as backslash path separators; the one under
// win32/ calls the Windows functions themselves.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using Dword = uint32_t;

// ---------------------------------------------------------------- registry

enum class Hive { CurrentUser, LocalMachine };

// Result codes, numerically as the Windows registry functions return them.
enum : long {
    kSuccess = 0,
    kFileNotFound = 2,
    kAccessDenied = 5,
    kInvalidHandle = 6,
    kInvalidParameter = 87,
    kMoreData = 234,
};

// Value types, numerically as in the Windows registry.
enum : Dword {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11,
};

struct RegistryKey;  // an open key; opaque to callers
using RegKey = RegistryKey*;

// RegOpenKeyExW, read access only: opens subKey (backslash separated, a
// trailing backslash allowed) below the hive or below an open key.
long regOpenKey(Hive hive, std::wstring_view subKey, RegKey* key);
long regOpenKey(RegKey parent, std::wstring_view subKey, RegKey* key);

// RegQueryValueExW: copies the value's bytes as the registry stores them
// (texts as UTF-16 little-endian with their terminator, numbers little-endian)
// into data, which holds *size bytes. A value that does not fit fails with
// kMoreData and *size set to the size needed. A null data asks for the size.
long regQueryValue(RegKey key, std::wstring_view name, Dword* type, void* data, Dword* size);

// RegCloseKey.
long regCloseKey(RegKey key);

// RegCreateKeyExW and RegSetValueExW: stores size bytes of data as the value
// name of key (created with its parents). For installers and tests.
long regSetValue(Hive hive, std::wstring_view key, std::wstring_view name, Dword type,
                 const void* data, Dword size);
// RegDeleteTreeW: removes the key with everything below it.
long regDeleteTree(Hive hive, std::wstring_view key);

// A text read the way the add-in reads one: regQueryValue into a buffer of
// bufferBytes bytes (whatever the value's type), then the UTF-16 units up to
// the first terminator, with a terminator guaranteed. Empty when the read fails.
std::optional<std::wstring> regQueryText(RegKey key, std::wstring_view name, Dword bufferBytes);

// ------------------------------------------------------- dynamic libraries

// What the system's dynamic libraries end with: ".dll" or ".so".
extern const wchar_t* const kLibrarySuffix;

using ModuleHandle = void*;

// LoadLibraryW: a wide path, backslashes accepted. Null on failure.
ModuleHandle loadLibrary(std::wstring_view path);
// Why the last loadLibrary of this thread failed, naming the file.
std::string libraryError();
// A library's file name as the system spells it: "quorell-addin" becomes
// "quorell-addin.dll" on Windows and "libquorell-addin.so" on POSIX.
std::wstring libraryFileName(std::wstring_view stem);
// GetProcAddress. Null when the library does not export the name.
void* getProcAddress(ModuleHandle module, const char* name);
// FreeLibrary.
bool freeLibrary(ModuleHandle module);

// --------------------------------------------------------------- processes

struct ProcessRecord;  // opaque
using ProcessHandle = ProcessRecord*;

// CreateProcessW with an application name and no command line: starts the
// program as a detached child (it outlives the caller and is never a zombie
// of it) with the caller's environment and current folder. Null on failure,
// with errno set.
ProcessHandle createProcess(std::wstring_view applicationName,
                            const std::vector<std::wstring>& arguments = {});
// Process id of a process started by createProcess.
uint32_t processIdOf(ProcessHandle process);
// CloseHandle: releases the handle; the process keeps running.
bool closeHandle(ProcessHandle process);
// Whether the process with this id (one createProcess started) still runs:
// false once it has ended, also while nobody has reaped it yet.
bool processRunning(uint32_t processId);

// GetCurrentProcessId.
uint32_t currentProcessId();
// GetModuleFileNameW of the program itself; empty when it cannot be told.
std::wstring currentProgramPath();
// The program's arguments after its name, in UTF-8: on Windows from the wide
// command line (CommandLineToArgvW), since argv holds the ANSI code page's
// rendering; elsewhere argv itself.
std::vector<std::string> programArguments(int argc, char** argv);

// -------------------------------------------------------------------- time

// Sleep.
void sleepMs(Dword milliseconds);
// GetTickCount: milliseconds of a monotonic clock, wrapping at 2^32.
Dword tickCount();

// GetTimeFormatA for the user's default locale: formats a time of day with a
// picture such as "HH':'mm':'ss" (H, HH, h, hh, m, mm, s, ss, t, tt and quoted
// literals). Returns the characters written including the terminator, or 0
// when the buffer is too small or the picture is invalid.
int formatTimeOfDay(const std::tm& time, const char* picture, char* buffer, int bufferSize);
// The same for the current local time.
int formatTimeOfDay(const char* picture, char* buffer, int bufferSize);

// -------------------------------------------------------------------- text

// MultiByteToWideChar from UTF-8; invalid sequences become U+FFFD.
std::wstring utf8ToWide(std::string_view text);
// The reverse, for handing wide texts to POSIX functions.
std::string wideToUtf8(std::wstring_view text);
// wsprintfW with "%d".
std::wstring decimalText(int32_t value);

// ------------------------------------------------------------------- files

// File names are UTF-8 texts; these make paths of them and texts of paths (on
// Windows through UTF-16, never through the ANSI code page). Inline, so that
// code which does not link this library (the live library) can use them too.
#ifdef _WIN32
inline std::filesystem::path systemPath(const std::string& path) {
    return std::filesystem::path(utf8ToWide(path));
}
inline std::string utf8Path(const std::filesystem::path& path) {
    return wideToUtf8(path.wstring());
}
#else
inline std::filesystem::path systemPath(const std::string& path) {
    return path;
}
inline std::string utf8Path(const std::filesystem::path& path) {
    return path.string();
}
#endif

// A wide path as the system's file functions take it: on POSIX UTF-8 with
// backslashes turned into slashes, on Windows UTF-8 as given.
std::string nativePath(std::wstring_view path);

// _wfopen: like it, refuses a folder (EACCES).
FILE* openFile(std::wstring_view path, const char* mode);

struct FileStatus {
    bool directory = false;
    uint64_t size = 0;
};
// _wstat: empty when the path does not exist.
std::optional<FileStatus> fileStatus(std::wstring_view path);

// _dup, _dup2 and _setmode(_O_BINARY) for the standard-output target.
int duplicateDescriptor(int fd);
int duplicateDescriptorTo(int fd, int target);
int setBinaryMode(int fd);

}  // namespace platform
