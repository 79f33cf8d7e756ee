#include "tools/fusion-sim/AddinLibrary.h"

#include <filesystem>
#include <system_error>

#include "platform/Platform.h"

namespace fusionsim {

AddinLibrary::AddinLibrary(const std::string& path) {
    platform::ModuleHandle module = platform::loadLibrary(platform::utf8ToWide(path));
    if (!module) throw std::runtime_error("cannot load the add-in: " + platform::libraryError());
    run_ = reinterpret_cast<EntryPoint>(platform::getProcAddress(module, "run"));
    stop_ = reinterpret_cast<EntryPoint>(platform::getProcAddress(module, "stop"));
    if (!run_ || !stop_) {
        platform::freeLibrary(module);
        throw std::runtime_error("the add-in " + path + " does not export " +
                                 (!run_ ? "run" : "stop"));
    }
}

std::string AddinLibrary::defaultPath() {
    const std::filesystem::path self(platform::currentProgramPath());
    const auto folder = self.empty() ? std::filesystem::current_path() : self.parent_path();
    const std::wstring name = platform::libraryFileName(L"quorell-addin");
    return platform::wideToUtf8((folder / name).wstring());
}

std::jthread AddinLibrary::preload(std::string path) {
    try {
        // The handle is never freed: the library stays loaded, as it does for
        // the constructor.
        return std::jthread([path = std::move(path)] { platform::loadLibrary(platform::utf8ToWide(path)); });
    } catch (const std::system_error&) {
        return {};  // no thread to spare: the constructor loads it
    }
}

}  // namespace fusionsim
