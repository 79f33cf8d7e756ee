#include <windows.h>

#include <string>

#include "platform/Platform.h"

namespace platform {

const wchar_t* const kLibrarySuffix = L".dll";

ModuleHandle loadLibrary(std::wstring_view path) {
    if (path.empty()) return nullptr;
    // LoadLibraryW wants backslashes; a path with a folder part is not searched for.
    std::wstring native(path);
    for (wchar_t& c : native)
        if (c == L'/') c = L'\\';
    // No "insert the disk" boxes for a library on a missing drive.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryW(native.c_str());
    SetErrorMode(oldMode);
    return reinterpret_cast<ModuleHandle>(module);
}

void* getProcAddress(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool freeLibrary(ModuleHandle module) {
    return module != nullptr && FreeLibrary(static_cast<HMODULE>(module)) != 0;
}

}  // namespace platform
