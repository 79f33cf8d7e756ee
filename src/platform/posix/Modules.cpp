#include <dlfcn.h>

#include "platform/Platform.h"

namespace platform {

const wchar_t* const kLibrarySuffix = L".so";

ModuleHandle loadLibrary(std::wstring_view path) {
    const std::string native = nativePath(path);
    if (native.empty()) return nullptr;
    // A name with a folder part, even ".", is taken as a path as LoadLibraryW does.
    return ::dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::string libraryError() {
    const char* why = ::dlerror();
    return why ? why : "unknown error";
}

std::wstring libraryFileName(std::wstring_view stem) {
    return L"lib" + std::wstring(stem) + kLibrarySuffix;
}

void* getProcAddress(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) return nullptr;
    return ::dlsym(module, name);
}

bool freeLibrary(ModuleHandle module) {
    return module != nullptr && ::dlclose(module) == 0;
}

}  // namespace platform
