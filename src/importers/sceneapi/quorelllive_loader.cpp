#include "importers/sceneapi/quorelllive_loader.h"

#include "importers/sceneapi/log.h"
#include "livelink/InstallationRegistry.h"

namespace {

LiveLibrary* loadedLibrary = nullptr;

// The folder in the log: each wide character reduced to its low byte.
std::string lowBytes(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(static_cast<char>(c & 0xFF));
    return out;
}

// The loaded library, loading it first when there is none; null on failure.
LiveLibrary* currentLibrary(int32_t minVersion, int32_t maxVersion) {
    if (loadedLibrary == nullptr) {
        loadedLibrary = new LiveLibrary();
        if (!loadLiveLibrary(*loadedLibrary, minVersion, maxVersion)) unloadLiveLibrary();
    }
    return loadedLibrary;
}

}  // namespace

std::wstring liveLibraryStem(int32_t version) {
    return version >= 6 ? L"orvquorelllive6_" : L"orvquorelllive";
}

bool loadLiveLibrary(LiveLibrary& lib, int32_t minVersion, int32_t maxVersion) {
    if (lib.shared != nullptr) return false;
    int32_t version = -1;
    const std::wstring folder =
        installationRegistry().readBinFolder(minVersion, maxVersion, version);
    if (folder.empty()) return false;

    const std::wstring stem = liveLibraryStem(version);
    const std::wstring inFolder = folder + L"\\" + stem;
    const std::wstring local = L".\\" + stem;
    FILE_LOG(logDEBUG4) << lowBytes(folder);

    for (const std::wstring& candidate :
         {inFolder + L"32.so", inFolder + L"64.so", local + L"32.so", local + L"64.so"}) {
        lib.module = platform::loadLibrary(candidate);
        if (lib.module != nullptr) break;
    }
    FILE_LOG(logDEBUG4) << "initialize shared handle: " << lib.module;

    if (lib.module == nullptr) {
        FILE_LOG(logWARNING) << "NO shared handle";
        return false;
    }
    auto initialize = reinterpret_cast<QuorellLiveInitialize>(
        platform::getProcAddress(lib.module, kQuorellLiveEntryPoint));
    if (initialize != nullptr) lib.shared = initialize();
    FILE_LOG(logDEBUG4) << "Quorell live: " << static_cast<const void*>(lib.shared);
    return lib.shared != nullptr;
}

void unloadLiveLibrary() {
    if (loadedLibrary == nullptr) return;
    delete loadedLibrary->shared;
    if (loadedLibrary->module != nullptr) platform::freeLibrary(loadedLibrary->module);
    delete loadedLibrary;
    loadedLibrary = nullptr;
}

QueryApi* orv_get_query_api(int32_t minVersion, int32_t maxVersion) {
    FILE_LOG(logDEBUG4) << "orv_get_query_api -> quorell_live_loader: "
                        << static_cast<const void*>(loadedLibrary);
    LiveLibrary* lib = currentLibrary(minVersion, maxVersion);
    if (lib == nullptr || lib->shared == nullptr) return nullptr;
    return lib->shared->queryApi();
}

orvScene_api* orv_get_scene_api(int32_t minVersion, int32_t maxVersion) {
    LiveLibrary* lib = currentLibrary(minVersion, maxVersion);
    if (lib == nullptr || lib->shared == nullptr) return nullptr;
    return lib->shared->sceneApi();
}
