// The real outside world of the live link connection: the renderer's live
// library, its installation in the registry, and the platform's processes.
#include <memory>

#include "importers/sceneapi/quorelllive_loader.h"
#include "livelink/InstallationRegistry.h"
#include "livelink/RepeatLinkFactory.h"
#include "platform/Platform.h"

namespace orv {

namespace {

// CreateProcessW without a command line; the renderer is neither awaited nor
// ended. Its process id is kept to tell whether it still runs.
bool startDetached(const std::wstring& exe, uint32_t* processId) {
    platform::ProcessHandle process = platform::createProcess(exe);
    if (!process) return false;
    *processId = platform::processIdOf(process);
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
    auto launched = std::make_shared<uint32_t>(0);
    s.startProcess = [launched](const std::wstring& exe) {
        return startDetached(exe, launched.get());
    };
    s.launchedRunning = [launched] {
        return *launched == 0 || platform::processRunning(*launched);
    };
    s.portRange = [](int32_t minVersion, int32_t maxVersion, int32_t& minPort, int32_t& maxPort) {
        return installationRegistry().readPortRange(minVersion, maxVersion, minPort, maxPort);
    };
    s.sleep = [](int32_t ms) { platform::sleepMs(static_cast<platform::Dword>(ms < 0 ? 0 : ms)); };
    return s;
}

}  // namespace orv
