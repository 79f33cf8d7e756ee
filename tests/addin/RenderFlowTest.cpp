// The render command's flow against a scripted renderer: the live object is the
// scene file writer, so what the renderer would receive can be read as text.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "addin/ActiveCamera.h"
#include "addin/RenderFlow.h"
#include "host/Primitives.h"
#include "host/Session.h"
#include "importers/sceneapi/orvScene_api_file.h"
#include "livelink/FakeLiveLibrary.h"
#include "platform/Platform.h"
#include "support/Files.h"
#include "support/MemoryWriter.h"

namespace {

// The file writer as a connected live object.
class LinkedWriter : public orvScene_api_file {
  public:
    LinkedWriter(FILE* stream, bool takes) : orvScene_api_file(stream, false), takes(takes) {}
    bool connect(const char*, int32_t, int32_t) override { return true; }
    bool disconnect() override {
        ++disconnects;
        return takes;  // whether the renderer confirmed the whole scene
    }
    int disconnects = 0;
    bool takes;
};

// The values of the named import options ("" when one is absent), in the order asked.
std::vector<std::string> options(const std::string& text, std::vector<std::string> names) {
    for (std::string& name : names) {
        const std::string key = "\"" + name + "\" ";
        const size_t at = text.find(key);
        name = at == std::string::npos
                   ? ""
                   : text.substr(at + key.size(), text.find_first_of(",\n", at) - at - key.size());
    }
    return names;
}
using Values = std::vector<std::string>;

using support::count;

const std::string kList =
    "<instances><i><version_major>13</version_major><version_minor>0</version_minor>"
    "<process_id>100</process_id><livelink_port>5001</livelink_port></i></instances>";
const std::string kEmptyScene = "<quorell><scene/></quorell>";
std::string sceneHolding(const std::string& modelSet) {
    return "<quorell><scene><set name=\"" + modelSet +
           "\" modelset=\"active\"><group/></set></scene></quorell>";
}

host::DocumentData lampDocument() {
    host::DocumentData doc;
    doc.name = "Desk Lamp v3";
    doc.version = "v3";
    doc.creationId = "lamp-1234";
    doc.modelingOrientation = adsk::core::ZUpModelingOrientation;
    doc.camera.eye = {10, 20, 30};
    doc.camera.target = {10, 20, 20};
    doc.camera.up = {0, 1, 0};
    host::DesignData& design = doc.addDesign();
    design.units = "mm";
    design.appearances.push_back(
        {"paint", "Paint", {host::colorProperty("opaque_albedo", 200, 40, 40)}});
    host::ComponentData base{.id = "base", .name = "Base"};
    base.bodies.push_back(
        {.name = "Foot", .appearance = "paint", .faces = host::makeBox({4, 4, 1})});
    host::ComponentData arm{.id = "arm", .name = "Arm"};
    arm.bodies.push_back(
        {.name = "Rod", .appearance = "paint", .faces = host::makeCylinder(0.5, 10, 8)});
    host::ComponentData root{.id = "root", .name = "Desk Lamp"};
    root.occurrences.push_back({.component = "base"});
    root.occurrences.push_back({.component = "arm", .transform = host::translation(0, 0, 1)});
    for (host::ComponentData* c : {&root, &base, &arm})
        c->physical = host::measuredPhysical();
    design.components = {root, base, arm};
    design.root = "root";
    return doc;
}

class RenderFlowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host::resetApplication();
        app = adsk::core::Application::get();
        converter = std::make_unique<DesignConverter>(app, app->userInterface());
        query.lists = {kList};
        query.scenes = {{100, kEmptyScene}};
    }

    orv::LiveLinkServices services(bool withQuery = true) {
        orv::LiveLinkServices s;
        s.queryApi = [this, withQuery](int32_t, int32_t) -> QueryApi* {
            return withQuery ? &query : nullptr;
        };
        s.sceneApi = [this](int32_t, int32_t) -> orvScene_api* {
            writer = std::make_unique<LinkedWriter>(capture.stream(), rendererTakes);
            return writer.get();
        };
        s.unloadLibrary = [this] { ++unloads; };
        s.binName = [](int32_t, int32_t) { return std::wstring(); };
        s.startProcess = [](const std::wstring&) { return false; };
        s.portRange = [](int32_t, int32_t, int32_t&, int32_t&) { return -3; };
        s.sleep = [](int32_t) {};
        return s;
    }

    // One click: the text the renderer received.
    std::string render(const adsk::core::Ptr<adsk::core::Document>& document) {
        renderDocument(*converter, document, services());
        return capture.take();
    }

    adsk::core::Ptr<adsk::core::Application> app;
    std::unique_ptr<DesignConverter> converter;
    fake::ScriptedQuery query;
    support::MemoryFile capture;  // what the renderer received
    std::unique_ptr<LinkedWriter> writer;
    bool rendererTakes = true;
    int unloads = 0;
};

// The whole first transfer of the lamp (Z up, sent as 2), its process number
// and build time masked.
TEST_F(RenderFlowTest, NewSceneSendsEverythingWithAdjustOptionsOn) {
    std::string text = render(host::openDocument(lampDocument()));
    text = std::regex_replace(text, std::regex(", 0x[0-9a-f]+\"\n"), ", 0x@PID@\"\n");
    text = std::regex_replace(text, std::regex("\\(built [^)]*\\)"), "(built @BUILD_TIME@)");
    EXPECT_EQ(text, support::readFile(support::dataPath("addin/render-new-scene.bip")));
    EXPECT_EQ(writer->disconnects, 1);
    EXPECT_EQ(unloads, 1);

    // Y up (0 in the host) is sent as 1.
    host::DocumentData yUp = lampDocument();
    yUp.modelingOrientation = adsk::core::YUpModelingOrientation;
    EXPECT_EQ(options(render(host::openDocument(yUp)), {"import_up_vector"}), Values{"1"});
}

TEST_F(RenderFlowTest, SecondClickIsAnUpdateOnlyWhileTheRendererHoldsTheScene) {
    auto doc = host::openDocument(lampDocument());
    render(doc);
    query.scenes = {{100, sceneHolding("Desk Lamp")}};
    std::string text = render(doc);
    EXPECT_EQ(
        options(text, {"import_adjust_camera", "import_adjust_environment", "import_use_camera"}),
        (Values{"off", "off", "\"Active Camera\""}))
        << text;
    EXPECT_EQ(count(text, "object \""), 0u);
    EXPECT_NE(text.find("group \"Desk Lamp\""), std::string::npos);

    // Restarted renderer: the model set is gone, the converter still remembers.
    query.scenes = {{100, kEmptyScene}};
    ASSERT_FALSE(converter->previousSignatures.empty());
    text = render(doc);
    EXPECT_EQ(count(text, "object \""), 9u);
    EXPECT_EQ(options(text, {"import_adjust_camera"}), Values{"on"});
}

TEST_F(RenderFlowTest, ProcessIdentifierNamesTheDocumentAndTheProcess) {
    auto doc = host::openDocument(lampDocument());
    const std::string text = render(doc);
    char expected[64];
    std::snprintf(expected, sizeof expected, "Fusion 360 lamp-1234, 0x%x",
                  platform::currentProcessId());
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    // A design file without a creation id still gets one from the host, never the name.
    host::DocumentData unsaved = lampDocument();
    unsaved.creationId.clear();
    auto fresh = host::openDocument(unsaved);
    ASSERT_EQ(fresh->creationId().size(), 36u);
    std::snprintf(expected, sizeof expected, "Fusion 360 %s, 0x%x", fresh->creationId().c_str(),
                  platform::currentProcessId());
    EXPECT_NE(render(fresh).find(expected), std::string::npos);

    EXPECT_EQ(processIdentifier("Part", 0), "Fusion 360 Part, 0");
    EXPECT_EQ(processIdentifier("Part", 0xBEEF), "Fusion 360 Part, 0xbeef");
    const std::string cut = processIdentifier(std::string(400, 'x'), 0x1234);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(cut.substr(0, 13), "Fusion 360 xx");
}

TEST_F(RenderFlowTest, LinkFailureShowsTheReasonAndLeavesTheConverterAlone) {
    auto doc = host::openDocument(lampDocument());
    render(doc);
    const auto signatures = converter->previousSignatures;
    const orv::orvSceneapi_oo* wrapper = converter->wrapper.get();
    const size_t boxes = host::shownMessageBoxes().size();

    renderDocument(*converter, doc, services(/*withQuery=*/false));
    ASSERT_EQ(host::shownMessageBoxes().size(), boxes + 1);
    const host::MessageBoxRecord& box = host::shownMessageBoxes().back();
    EXPECT_EQ(box.text,
              "Live link failed. Reason: \"Failed to connect. Could not get a query api. Please "
              "check your Quorell installation.\n\"");
    EXPECT_EQ(box.title, "");
    EXPECT_EQ(box.buttons, adsk::core::OKButtonType);
    EXPECT_EQ(box.icon, adsk::core::NoIconIconType);
    EXPECT_EQ(converter->wrapper.get(), wrapper);
    EXPECT_EQ(converter->previousSignatures.size(), signatures.size());
    EXPECT_EQ(unloads, 2) << "the library is unloaded after a failure too";
}

TEST_F(RenderFlowTest, TransferTheRendererDidNotTakeIsShownAndTheNextClickSendsEverything) {
    auto doc = host::openDocument(lampDocument());
    render(doc);
    query.scenes = {{100, sceneHolding("Desk Lamp")}};
    rendererTakes = false;  // stopped taking data or ended mid-transfer
    const size_t boxes = host::shownMessageBoxes().size();
    render(doc);
    ASSERT_EQ(host::shownMessageBoxes().size(), boxes + 1);
    EXPECT_EQ(host::shownMessageBoxes().back().text,
              "Live link failed. Reason: \"The scene did not reach Quorell completely. Please check "
              "that Quorell is running and responding.\"");
    rendererTakes = true;
    EXPECT_EQ(count(render(doc), "object \""), 9u) << "the renderer may hold an older scene";
}

TEST_F(RenderFlowTest, MissingPreferencesRaiseAfterTheLinkIsClosed) {
    auto doc = host::openDocument(lampDocument());
    render(doc);
    host::Availability missing;
    missing.generalPreferences = false;
    host::setAvailability(missing);
    EXPECT_THROW(renderDocument(*converter, doc, services()), std::exception);
    EXPECT_EQ(writer->disconnects, 1);
    EXPECT_EQ(unloads, 2);
    EXPECT_TRUE(converter->previousSignatures.empty())
        << "a new scene forgets the old signatures even when the transfer fails";
}

TEST_F(RenderFlowTest, AbsentDocumentRaises) {
    EXPECT_THROW(renderDocument(*converter, nullptr, services()), std::exception);
}

// ------------------------------------------------------------------ camera

class ActiveCameraTest : public RenderFlowTest {
  protected:
    std::string cameraOf(const host::DocumentData& data) {
        const std::string text = render(host::openDocument(data));
        const size_t begin = text.find("camera \"Active Camera\"");
        if (begin == std::string::npos) return "";
        return text.substr(begin, text.find("\ngroup \"", begin) - begin);
    }
};

TEST_F(ActiveCameraTest, UnitDirectionFromEyeToTarget) {
    host::DocumentData data = lampDocument();
    data.camera.eye = {0, 0, 0};
    data.camera.target = {3, 4, 0};
    data.camera.up = {0, 0, 2};
    const std::string camera = cameraOf(data);
    EXPECT_NE(camera.find("direction 0.6 0.8 0"), std::string::npos) << camera;
    EXPECT_NE(camera.find("up 0 0 2"), std::string::npos) << "the up vector is not scaled";
}

TEST_F(ActiveCameraTest, OrthographicViewAndEyeOnTargetWriteNoCamera) {
    host::DocumentData data = lampDocument();
    data.camera.type = adsk::core::OrthographicCameraType;
    EXPECT_EQ(cameraOf(data), "");
    data.camera.type = adsk::core::PerspectiveWithOrthoFacesCameraType;
    EXPECT_NE(cameraOf(data), "");
    data.camera.type = adsk::core::PerspectiveCameraType;
    data.camera.target = data.camera.eye;
    EXPECT_EQ(cameraOf(data), "");
}

TEST_F(ActiveCameraTest, MissingViewportRaises) {
    auto doc = host::openDocument(lampDocument());
    host::Availability missing;
    missing.activeViewport = false;
    host::setAvailability(missing);
    EXPECT_THROW(writeActiveCamera(*converter), std::exception);
}

}  // namespace
