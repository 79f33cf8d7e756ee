#include "tools/fusion-sim/AddinLibrary.h"

#include <dlfcn.h>

#include <filesystem>

namespace fusionsim {

AddinLibrary::AddinLibrary(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        throw std::runtime_error("cannot load the add-in: " +
                                 std::string(why ? why : path + ": unknown error"));
    }
    run_ = reinterpret_cast<EntryPoint>(dlsym(handle, "run"));
    stop_ = reinterpret_cast<EntryPoint>(dlsym(handle, "stop"));
    if (!run_ || !stop_) {
        dlclose(handle);
        throw std::runtime_error("the add-in " + path + " does not export " +
                                 (!run_ ? "run" : "stop"));
    }
}

std::string AddinLibrary::defaultPath() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto folder = error ? std::filesystem::current_path() : self.parent_path();
    return (folder / "libquorell-addin.so").string();
}

}  // namespace fusionsim
