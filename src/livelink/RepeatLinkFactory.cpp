#include "livelink/RepeatLinkFactory.h"

#include <tinyxml2.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "importers/sceneapi/orvScene_api.h"
#include "importers/sceneapi/quorelllive_api.h"

namespace orv {

namespace {

// A reported port is reached through the host name, a registry port through
// the numeric address; the third connect argument belongs to the live library.
constexpr const char* kReportedPortHost = "localhost";
constexpr int32_t kReportedPortMode = 4;
constexpr const char* kRangePortHost = "127.0.0.1";
constexpr int32_t kRangePortMode = 1;
// The installation whose port range is read when no instance reported a port.
constexpr int32_t kPortRangeMinVersion = 5;
constexpr int32_t kPortRangeMaxVersion = 20;

// The document's first element, or null when the text does not parse.
const tinyxml2::XMLElement* rootElement(tinyxml2::XMLDocument& doc, const char* text) {
    if (doc.Parse(text) != tinyxml2::XML_SUCCESS) return nullptr;
    return doc.FirstChildElement();
}

// S exists and none of its child elements has a child element of its own.
bool holdsEmptyScene(const tinyxml2::XMLElement* root) {
    const tinyxml2::XMLElement* scene = root->FirstChildElement();
    if (!scene) return false;
    for (auto* e = scene->FirstChildElement(); e; e = e->NextSiblingElement()) {
        if (e->FirstChildElement()) return false;
    }
    return true;
}

// Depth first in document order, starting with the element itself.
const tinyxml2::XMLElement* firstNamed(const tinyxml2::XMLElement* element, const char* tag) {
    if (!element) return nullptr;
    if (std::strcmp(element->Value(), tag) == 0) return element;
    for (auto* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (const tinyxml2::XMLElement* found = firstNamed(child, tag)) return found;
    }
    return nullptr;
}

}  // namespace

RepeatLinkFactory::RepeatLinkFactory() : RepeatLinkFactory(LiveLinkServices::system()) {}

RepeatLinkFactory::RepeatLinkFactory(LiveLinkServices services) : services(std::move(services)) {}

RepeatLinkFactory::~RepeatLinkFactory() {
    release();
}

orvScene_api* RepeatLinkFactory::getSceneApi() {
    errorText_.clear();
    if (!liveApi && !openLink()) errorText_ = kFailedPrefix + errorText_;
    return liveApi;
}

void RepeatLinkFactory::writeHeader(orvSceneapi_oo&) {}

void RepeatLinkFactory::close() {
    release();
}

void RepeatLinkFactory::release() {
    if (liveApi) liveApi->disconnect();
    if (services.unloadLibrary) services.unloadLibrary();
    liveApi = nullptr;
}

bool RepeatLinkFactory::finishTransfer() {
    if (!liveApi) return false;
    const bool taken = liveApi->disconnect();
    liveApi = nullptr;
    if (!taken) errorText_ = kTransferFailed;
    return taken;
}

void RepeatLinkFactory::setVersionRange(int32_t min, int32_t max) {
    minVersion = min;
    maxVersion = max;
}

void RepeatLinkFactory::setSceneName(std::string name) {
    sceneName = std::move(name);
}

void RepeatLinkFactory::setAcceptAnyInstance(bool accept) {
    acceptAnyInstance = accept;
}

bool RepeatLinkFactory::openLink() {
    QueryApi* query = services.queryApi(minVersion, maxVersion);
    if (!query) {
        errorText_ = kNoQueryApi;
        return false;
    }

    RendererInstance instance = selectInstance(*query);
    if (instance.versionMajor == 0) {
        if (launchRenderer(minVersion, maxVersion)) {
            // The pause follows every query, also the one that finds the renderer.
            for (int32_t n = retries - 1; n > 0 && instance.versionMajor == 0; --n) {
                // Once the started renderer has ended, one last query is made.
                const bool ended = services.launchedRunning && !services.launchedRunning();
                instance = selectInstance(*query);
                services.sleep(retryDelayMs);
                if (ended) break;
            }
        } else {
            // Kept only if nothing later replaces it: the registry range may still connect.
            errorText_ = kLaunchFailed;
        }
    }
    const int32_t port = instance.livelinkPort;

    liveApi = services.sceneApi(minVersion, maxVersion);
    if (!liveApi) {
        errorText_ = kNoSceneApi;
        return false;
    }
    liveApi->id(static_cast<uint32_t>(liveId));

    bool connected = false;
    if (port > 0) {
        connected = liveApi->connect(kReportedPortHost, port, kReportedPortMode);
    } else {
        int32_t minPort = -1;
        int32_t maxPort = -1;
        const int32_t status =
            services.portRange(kPortRangeMinVersion, kPortRangeMaxVersion, minPort, maxPort);
        if (status >= -1 && minPort <= maxPort) {
            // 64-bit counter: a range ending at the largest int32 must still end.
            for (int64_t p = minPort; p <= maxPort && !connected; ++p) {
                connected =
                    liveApi->connect(kRangePortHost, static_cast<int32_t>(p), kRangePortMode);
            }
        }
    }
    if (connected) return true;

    errorText_ = kNoPort;
    liveApi = nullptr;
    return false;
}

RendererInstance RepeatLinkFactory::selectInstance(QueryApi& query) {
    RendererInstance inUse, any, empty;

    for (const RendererInstance& instance : listRendererInstances(query)) {
        if (instance.livelinkPort < 0) continue;
        if (!query.attachInstance(instance.processId)) continue;

        if (const char* text = query.sceneDescription()) {
            tinyxml2::XMLDocument doc;
            const tinyxml2::XMLElement* root = rootElement(doc, text);
            const bool isEmpty = root && holdsEmptyScene(root);
            const int32_t depth = instance.versionMajor < 7 ? 3 : 4;
            const bool isInUse =
                root && !sceneName.empty() && findModelSet(root, sceneName, depth) != nullptr;

            // Only a strictly higher version replaces a candidate: ties keep the earlier.
            if (isEmpty && instance.versionMajor > empty.versionMajor) empty = instance;
            if (acceptAnyInstance && instance.versionMajor > any.versionMajor) any = instance;
            if (isInUse && instance.versionMajor > inUse.versionMajor) inUse = instance;
        }
        query.detachInstance();
    }

    if (inUse.versionMajor >= 1) {
        updatingExisting = true;
        return inUse;
    }
    updatingExisting = false;
    if (any.versionMajor >= 1) return any;
    if (empty.versionMajor > 0) return empty;
    return RendererInstance{};
}

std::vector<RendererInstance> RepeatLinkFactory::listRendererInstances(QueryApi& query) {
    std::vector<RendererInstance> list;
    const char* text = query.listInstances();
    if (!text) return list;

    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* root = rootElement(doc, text);
    if (!root) return list;

    for (auto* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const std::optional<int64_t> major = findByName(e, "version_major");
        if (!major || *major < minVersion || *major > maxVersion) continue;
        const std::optional<int64_t> processId = findByName(e, "process_id");
        const std::optional<int64_t> port = findByName(e, "livelink_port");
        const std::optional<int64_t> minor = findByName(e, "version_minor");
        // An entry lacking one of its values cannot be attached or connected reliably.
        if (!processId || !port || !minor) continue;
        list.push_back(RendererInstance{static_cast<int32_t>(*major), static_cast<int32_t>(*minor),
                                        *processId, static_cast<int32_t>(*port)});
    }
    return list;
}

std::optional<int64_t> RepeatLinkFactory::findByName(const tinyxml2::XMLElement* element,
                                                     const char* tag) {
    const tinyxml2::XMLElement* found = firstNamed(element, tag);
    if (!found) return std::nullopt;
    const tinyxml2::XMLNode* first = found->FirstChild();
    if (!first || !first->Value()) return std::nullopt;
    return std::strtoll(first->Value(), nullptr, 10);
}

const tinyxml2::XMLElement* RepeatLinkFactory::findModelSet(const tinyxml2::XMLElement* element,
                                                            const std::string& name,
                                                            int32_t depth) {
    if (!element || depth < 1) return nullptr;
    if (const char* modelset = element->Attribute("modelset")) {
        if (std::strcmp(modelset, "active") != 0) return nullptr;
    }
    if (const char* own = element->Attribute("name")) {
        if (name == own) return element;
    }
    for (auto* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (const tinyxml2::XMLElement* found = findModelSet(child, name, depth - 1)) return found;
    }
    return nullptr;
}

bool RepeatLinkFactory::launchRenderer(int32_t minVersion, int32_t maxVersion) {
    const std::wstring exe = services.binName(minVersion, maxVersion);
    if (exe.empty()) return false;
    return services.startProcess(exe);
}

}  // namespace orv
