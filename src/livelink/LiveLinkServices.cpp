// The real outside world of the live link connection: the renderer's live
// library, its installation in the registry, and the platform's processes.
#include "importers/sceneapi/quorelllive_loader.h"
#include "livelink/InstallationRegistry.h"
#include "livelink/RepeatLinkFactory.h"
#include "platform/Platform.h"

namespace orv {

namespace {

// CreateProcessW without a command line; the renderer is neither awaited nor ended.
bool startDetached(const std::wstring& exe) {
    platform::ProcessHandle process = platform::createProcess(exe);
    if (!process) return false;
    platform::closeHandle(process);
    return true;
}

}  // namespace

LiveLinkServices LiveLinkServices::system() {
    LiveLinkServices s;
    s.queryApi = orv_get_query_api;
    s.sceneApi = orv_get_scene_api;
    s.unloadLibrary = unloadLiveLibrary;
    s.binName = [](int32_t minVersion, int32_t maxVersion) {
        return installationRegistry().readBinName(minVersion, maxVersion);
    };
    s.startProcess = startDetached;
    s.portRange = [](int32_t minVersion, int32_t maxVersion, int32_t& minPort, int32_t& maxPort) {
        return installationRegistry().readPortRange(minVersion, maxVersion, minPort, maxPort);
    };
    s.sleep = [](int32_t ms) { platform::sleepMs(static_cast<platform::Dword>(ms < 0 ? 0 : ms)); };
    return s;
}

}  // namespace orv
