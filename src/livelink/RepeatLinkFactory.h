// Scene factory whose target is a running renderer: picks (or starts) a renderer
// instance through the live library's query interface and connects the library's
// live scene object to it. Failures leave their reason in errorText().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "scene/LightFactory.h"

class QueryApi;
class orvScene_api;

namespace tinyxml2 {
class XMLElement;
}

namespace orv {

// One running renderer instance as the query interface reports it.
struct RendererInstance {
    int32_t versionMajor = 0;
    int32_t versionMinor = 0;
    int64_t processId = 0;
    int32_t livelinkPort = 0;
};

// The outside world the factory talks to: the live library, the installation
// data, process start and sleep. Tests replace single members.
struct LiveLinkServices {
    std::function<QueryApi*(int32_t minVersion, int32_t maxVersion)> queryApi;
    std::function<orvScene_api*(int32_t minVersion, int32_t maxVersion)> sceneApi;
    std::function<void()> unloadLibrary;
    // Full path of the installed renderer's executable, empty when none.
    std::function<std::wstring(int32_t minVersion, int32_t maxVersion)> binName;
    // Starts the program without arguments and lets it run; true when it started.
    std::function<bool(const std::wstring& exe)> startProcess;
    // Whether the program startProcess started last still runs; unset: assumed
    // to run. A renderer that ended (no free port, say) will not appear.
    std::function<bool()> launchedRunning;
    // Status and ports as InstallationRegistry::readPortRange gives them.
    std::function<int32_t(int32_t minVersion, int32_t maxVersion, int32_t& minPort,
                          int32_t& maxPort)>
        portRange;
    std::function<void(int32_t milliseconds)> sleep;

    // The live library loader, the registry and the platform's process functions.
    static LiveLinkServices system();
};

class RepeatLinkFactory : public LightFactory {
  public:
    RepeatLinkFactory();
    explicit RepeatLinkFactory(LiveLinkServices services);
    RepeatLinkFactory(const RepeatLinkFactory&) = delete;
    RepeatLinkFactory& operator=(const RepeatLinkFactory&) = delete;

    ~RepeatLinkFactory() override;
    // Connects on first use; null (with errorText set) when no link could be made.
    orvScene_api* getSceneApi() override;
    // The live link receives no header.
    void writeHeader(orvSceneapi_oo& oo) override;
    // Disconnects the live object and unloads the live library.
    void close() override;
    // Ends the transfer: disconnects the live object, which waits until the
    // renderer holds the whole scene. False, with errorText set, when it does
    // not (the renderer ended, stopped taking data or did not confirm).
    bool finishTransfer();

    void setVersionRange(int32_t min, int32_t max);
    void setSceneName(std::string name);
    void setAcceptAnyInstance(bool accept);
    bool isUpdatingExisting() const { return updatingExisting; }
    std::string errorText() const { return errorText_; }

    static constexpr const char* kNoQueryApi =
        "Could not get a query api. Please check your Quorell installation.\n";
    static constexpr const char* kLaunchFailed =
        "Unabled to launch Quorell. Please check your Quorell installation.";
    static constexpr const char* kNoSceneApi =
        "Could not get a scene api. Please check your Quorell installation.\n";
    static constexpr const char* kNoPort =
        "Could not connect on any known port. Please check your Quorell installation and Live "
        "Link settings.";
    static constexpr const char* kFailedPrefix = "Failed to connect. ";
    static constexpr const char* kTransferFailed =
        "The scene did not reach Quorell completely. Please check that Quorell is running and "
        "responding.";

  protected:
    bool openLink();
    // The best instance for this document; all fields 0 when none qualifies.
    RendererInstance selectInstance(QueryApi& query);
    std::vector<RendererInstance> listRendererInstances(QueryApi& query);
    bool launchRenderer(int32_t minVersion, int32_t maxVersion);

    // First element named tag, depth first from element itself; its value is the
    // number at the start of its first child node's text. None when the element is
    // missing or has no child node.
    static std::optional<int64_t> findByName(const tinyxml2::XMLElement* element, const char* tag);
    // The model set element carrying name, searched depth levels deep, skipping
    // subtrees marked as model sets that are not active.
    static const tinyxml2::XMLElement* findModelSet(const tinyxml2::XMLElement* element,
                                                    const std::string& name, int32_t depth);

    int32_t retries = 30;
    int32_t retryDelayMs = 1000;
    orvScene_api* liveApi = nullptr;  // owned by the live library
    int32_t minVersion = 7;
    int32_t maxVersion = 20;
    std::string sceneName;
    bool acceptAnyInstance = false;
    bool updatingExisting = false;
    std::string errorText_;
    int32_t liveId = 1;

  private:
    void release();

    LiveLinkServices services;
};

}  // namespace orv
