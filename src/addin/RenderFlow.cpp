#include "addin/RenderFlow.h"

#include <cstdio>
#include <memory>
#include <string>

#include "addin/ActiveCamera.h"
#include "convert/ConversionFailure.h"
#include "convert/DocumentKey.h"
#include "livelink/RepeatLinkFactory.h"
#include "platform/Platform.h"
#include "scene/LightModule.h"
#include "scene/OrvGroup.h"

using adsk::core::Ptr;

namespace {

// Renderer major versions the live link accepts.
constexpr int32_t kMinRendererVersion = 12;
constexpr int32_t kMaxRendererVersion = 13;

void showLinkFailure(DesignConverter& converter, const std::string& reason) {
    const std::string message = "Live link failed. Reason: \"" + reason + "\"";
    required(converter.userInterface)
        ->messageBox(message, "", adsk::core::OKButtonType, adsk::core::NoIconIconType);
}

orv::DefaultRTModule importOptions(const DesignConverter& converter, int orientation, bool update) {
    orv::DefaultRTModule options;
    options.setUpVector(static_cast<uint32_t>(orientation + 1));
    options.setMeterScale(converter.unitsPerMetre);
    // The user may have arranged camera and lighting since the first transfer.
    options.setAdjustCamera(!update);
    options.setAdjustEnvironment(!update);
    options.setCenterGeometry(false);
    options.setSnapToGround(false);
    options.setUseCamera(kActiveCameraName);
    return options;
}

// The creation id tells the document apart from others of the same name, and
// the host gives one to every document, saved or not.
std::string documentText(const Ptr<adsk::core::Document>& document) {
    return document->creationId();
}

}  // namespace

std::string processIdentifier(const std::string& documentText, uint32_t processId) {
    // Formatted into 256 bytes: a very long document text is cut, never overruns.
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "Fusion 360 %s, %#x", documentText.c_str(),
                  static_cast<unsigned>(processId));
    return buffer;
}

void renderDocument(DesignConverter& converter, Ptr<adsk::core::Document> document) {
    renderDocument(converter, std::move(document), orv::LiveLinkServices::system());
}

void renderDocument(DesignConverter& converter, Ptr<adsk::core::Document> document,
                    orv::LiveLinkServices services) {
    required(document);
    std::string key = documentKey(document->name());

    orv::RepeatLinkFactory factory(std::move(services));
    factory.setVersionRange(kMinRendererVersion, kMaxRendererVersion);
    factory.setSceneName(std::move(key));
    factory.setAcceptAnyInstance(true);

    if (!factory.getSceneApi()) {
        showLinkFailure(converter, factory.errorText());
        return;
    }

    converter.wrapper = std::make_unique<orv::orvSceneapi_oo>(factory);
    const bool update = factory.isUpdatingExisting();
    // A renderer without this document's scene needs every body, whatever was sent before.
    if (!update) converter.forgetSignatures();

    converter.wrapper->api()->groupAttribute(
        "process identifier",
        processIdentifier(documentText(document), platform::currentProcessId()).c_str());

    converter.computeUnitScale(document);

    Ptr<adsk::core::Preferences> preferences =
        required(required(converter.application)->preferences());
    Ptr<adsk::core::GeneralPreferences> general = required(preferences->generalPreferences());
    const int orientation = general->defaultModelingOrientation();

    orv::DefaultRTModule options = importOptions(converter, orientation, update);
    converter.wrapper->writeNode(options);

    writeActiveCamera(converter);

    std::shared_ptr<orv::OrvGroup> root = converter.convertDocument(document);
    converter.wrapper->writeNode(*root);
    if (!factory.finishTransfer()) {
        // The renderer may hold an older scene: the next click sends every body.
        converter.forgetSignatures();
        showLinkFailure(converter, factory.errorText());
    }
}
