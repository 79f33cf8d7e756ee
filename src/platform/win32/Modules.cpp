#include <windows.h>

#include <string>

#include "platform/Platform.h"

namespace platform {

const wchar_t* const kLibrarySuffix = L".dll";

namespace {

struct LoadFailure {
    std::wstring path;
    DWORD error = 0;
};
thread_local LoadFailure lastFailure;

}  // namespace

ModuleHandle loadLibrary(std::wstring_view path) {
    if (path.empty()) return nullptr;
    // LoadLibraryW wants backslashes; a path with a folder part is not searched for.
    std::wstring native(path);
    for (wchar_t& c : native)
        if (c == L'/') c = L'\\';
    // No "insert the disk" boxes for a library on a missing drive.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryW(native.c_str());
    if (module == nullptr) lastFailure = {native, GetLastError()};
    SetErrorMode(oldMode);
    return reinterpret_cast<ModuleHandle>(module);
}

std::string libraryError() {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, lastFailure.error, 0, text, sizeof text, nullptr);
    std::string why(text, n);
    while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == '.'))
        why.pop_back();
    if (why.empty()) why = "error " + std::to_string(lastFailure.error);
    return wideToUtf8(lastFailure.path) + ": " + why;
}

std::wstring libraryFileName(std::wstring_view stem) {
    return std::wstring(stem) + kLibrarySuffix;
}

void* getProcAddress(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool freeLibrary(ModuleHandle module) {
    return module != nullptr && FreeLibrary(static_cast<HMODULE>(module)) != 0;
}

}  // namespace platform
