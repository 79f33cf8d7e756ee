// "Render in Quorell" end to end: fusion-sim loads the built add-in, which loads
// the installed live library stand-in and starts or reuses the renderer
// stand-in; what the renderer holds is read back from the scene file it writes.
#include <fcntl.h>

#include <regex>

#include "e2e/RendererSandbox.h"
#include "host/Session.h"
#include "tools/fusion-sim/AddinLibrary.h"
#include "tools/fusion-sim/CommandLine.h"
#include "tools/fusion-sim/DesignLoader.h"

namespace {

using namespace e2e;

const std::string kRender = std::string("click ") + fusionsim::kRenderCommandId;

std::string openStep(const fs::path& design) {
    return "open " + design.string();
}

// The bodies every full transfer of the desk lamp carries: those of its export.
class RenderEndToEnd : public RendererSandbox {
  protected:
    size_t exportedObjects(const fs::path& design) {
        std::string output;
        const fs::path file = root / "export.bip";
        EXPECT_EQ(session({openStep(design), "run", "dialog save " + file.string(),
                           std::string("click ") + fusionsim::kExportCommandId},
                          output),
                  0)
            << output;
        return count(readFile(file), "object \"");
    }
};

TEST_F(RenderEndToEnd, FirstClickStartsTheRendererAndSendsEverything) {
    install();
    const fs::path lamp = design("desk-lamp.json");
    ASSERT_TRUE(renderers().empty());
    std::string output;
    ASSERT_EQ(session({openStep(lamp), "run", kRender}, output), 0) << output;
    EXPECT_EQ(output.find("message box"), std::string::npos) << output;
    ASSERT_EQ(renderers().size(), 1u) << "the installed renderer was started";

    const std::string text = scene();
    EXPECT_NE(text.find("\"import_adjust_camera\" on"), std::string::npos) << text;
    EXPECT_NE(text.find("\"import_adjust_environment\" on"), std::string::npos);
    EXPECT_NE(text.find("\"import_use_camera\" \"Active Camera\""), std::string::npos);
    EXPECT_NE(text.find("\"meter_scale\" 1000"), std::string::npos);
    EXPECT_NE(text.find("\ncamera \"Active Camera\" {"), std::string::npos);
    EXPECT_EQ(count(modelSet(text), "flags 1\n"), 0u) << "no component is marked unchanged";
    const size_t objects = count(text, "object \"");
    EXPECT_GT(objects, 0u);
    EXPECT_EQ(objects, exportedObjects(lamp)) << "every body travels";
}

TEST_F(RenderEndToEnd, SecondClickWithoutChangesSendsNoBodyAndKeepsTheScene) {
    install();
    const fs::path lamp = design("desk-lamp.json");
    std::string output;
    ASSERT_EQ(session({openStep(lamp), "run", kRender}, output), 0) << output;
    const std::string first = scene();
    stopRenderers();

    ASSERT_EQ(session({openStep(lamp), "run", kRender, kRender}, output), 0) << output;
    ASSERT_EQ(renderers().size(), 1u) << "the second click found the running renderer";
    const std::string second = scene();
    EXPECT_NE(second.find("\"import_adjust_camera\" off"), std::string::npos) << second;
    EXPECT_NE(second.find("\"import_adjust_environment\" off"), std::string::npos);
    // The renderer keeps bodies only below groups marked unchanged and replaces
    // everything else: with every mark unchanged and the same bodies as before,
    // none was sent again (a sent one would appear twice).
    EXPECT_EQ(count(modelSet(second), "flags 32769\n"), 0u);
    EXPECT_GT(count(modelSet(second), "flags 1\n"), 0u);
    EXPECT_EQ(count(second, "object \""), count(first, "object \""));
    EXPECT_EQ(withoutChangeMarks(modelSet(second)), withoutChangeMarks(modelSet(first)));
}

TEST_F(RenderEndToEnd, ChangedComponentAloneTravelsAndTheMergeEqualsAFreshTransfer) {
    install();
    const fs::path v3 = design("desk-lamp.json");
    const fs::path v4 = design("desk-lamp-v2.json");
    std::string output;
    ASSERT_EQ(session({openStep(v3), "run", kRender, openStep(v4), kRender}, output), 0) << output;
    const std::string merged = scene();
    stopRenderers();
    ASSERT_EQ(session({openStep(v4), "run", kRender}, output), 0) << output;
    const std::string fresh = scene();

    EXPECT_NE(merged.find("\"import_adjust_camera\" off"), std::string::npos);
    EXPECT_EQ(count(modelSet(merged), "flags 32769\n"), 1u) << merged;
    EXPECT_EQ(withoutChangeMarks(modelSet(merged)), withoutChangeMarks(modelSet(fresh)));
}

TEST_F(RenderEndToEnd, MissingInstallationShowsTheQueryInterfaceMessage) {
    std::string output;
    ASSERT_EQ(session({openStep(design("desk-lamp.json")), "run", kRender}, output), 0);
    EXPECT_NE(output.find("message box: Live link failed. Reason: \"Failed to connect. Could not "
                          "get a query api. Please check your Quorell installation.\n\"\n"),
              std::string::npos)
        << output;
    EXPECT_TRUE(renderers().empty());
}

TEST_F(RenderEndToEnd, PortRangeWithoutListenerShowsThePortMessage) {
    const int port = unusedPort();
    install(port, port);
    // The renderer cannot start, so nothing listens on the registry's range.
    fs::permissions(prefix / "bin" / "quorell-standin",
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::remove);
    std::string output;
    ASSERT_EQ(session({openStep(design("desk-lamp.json")), "run", kRender}, output), 0);
    EXPECT_NE(output.find("message box: Live link failed. Reason: \"Failed to connect. Could not "
                          "connect on any known port. Please check your Quorell installation and "
                          "Live Link settings.\"\n"),
              std::string::npos)
        << output;
    EXPECT_TRUE(renderers().empty());
}

TEST_F(RenderEndToEnd, OrthographicViewAndEyeOnTargetSendNoCamera) {
    install();
    std::string output;
    const fs::path orthographic =
        design("desk-lamp.json", [](nlohmann::json& d) { d["camera"]["type"] = "orthographic"; });
    ASSERT_EQ(session({openStep(orthographic), "run", kRender}, output), 0) << output;
    std::string text = scene();
    EXPECT_EQ(text.find("\ncamera "), std::string::npos) << text;
    EXPECT_NE(text.find("\"import_use_camera\" \"Active Camera\""), std::string::npos);

    const fs::path eyeOnTarget = design(
        "desk-lamp.json", [](nlohmann::json& d) { d["camera"]["target"] = d["camera"]["eye"]; });
    ASSERT_EQ(session({openStep(eyeOnTarget), "run", kRender}, output), 0) << output;
    text = scene();
    EXPECT_EQ(text.find("\ncamera "), std::string::npos) << text;
    EXPECT_NE(text.find("group \"Desk Lamp\""), std::string::npos);
}

TEST_F(RenderEndToEnd, ProcessIdentifierAndUpVector) {
    install();
    std::string output;
    ASSERT_EQ(session({openStep(design("desk-lamp.json")), "run", kRender}, output), 0);
    std::smatch match;
    std::string text = scene();
    ASSERT_TRUE(std::regex_search(
        text, match,
        std::regex(
            "\nattribute \"process identifier\" \"Fusion 360 desk-lamp-0001, 0x[0-9a-f]+\"\n")))
        << text;
    EXPECT_NE(text.find("\"import_up_vector\" 1,"), std::string::npos) << "Y up";

    const fs::path zUpLongId = design("desk-lamp.json", [](nlohmann::json& d) {
        d["modelingOrientation"] = "z-up";
        d["document"]["creationId"] = std::string(300, 'c');
    });
    ASSERT_EQ(session({openStep(zUpLongId), "run", kRender}, output), 0) << output;
    text = scene();
    EXPECT_NE(text.find("\"import_up_vector\" 2,"), std::string::npos) << "Z up";
    // Cut to 255 characters: the prefix and 244 characters of the document text.
    EXPECT_NE(text.find("\"process identifier\" \"Fusion 360 " + std::string(244, 'c') + "\"\n"),
              std::string::npos)
        << text;
}

// Between two clicks of one session the renderer is restarted: fusion-sim's own
// design loading and add-in loading run in this process so that the renderer
// can be stopped while the add-in keeps its converter.
class RenderSessionInProcess : public RenderEndToEnd {
  protected:
    void SetUp() override {
        RenderEndToEnd::SetUp();
        host::resetApplication();
        addin = std::make_unique<fusionsim::AddinLibrary>(ADDIN_LIBRARY);
    }
    void TearDown() override {
        if (addin) addin->stop("");
        host::resetApplication();
        RenderEndToEnd::TearDown();
    }

    // A started renderer inherits the clicking process's output: a file, not
    // the test runner's pipe.
    void click() {
        std::fflush(stdout);
        std::fflush(stderr);
        const int savedOut = ::dup(1);
        const int savedErr = ::dup(2);
        const int log =
            ::open((root / "click-output.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(log, 1);
        ::dup2(log, 2);
        ::close(log);
        const bool clicked = host::clickControl(fusionsim::kRenderCommandId);
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(savedOut, 1);
        ::dup2(savedErr, 2);
        ::close(savedOut);
        ::close(savedErr);
        EXPECT_TRUE(clicked);
    }

    std::unique_ptr<fusionsim::AddinLibrary> addin;
};

TEST_F(RenderSessionInProcess, RestartedRendererGetsANewSceneAgain) {
    install();
    host::openDocument(fusionsim::loadDesign(design("desk-lamp.json").string()));
    ASSERT_TRUE(addin->run(""));
    click();
    const std::string first = scene();
    ASSERT_FALSE(modelSet(first).empty()) << first;
    click();
    EXPECT_NE(scene().find("\"import_adjust_camera\" off"), std::string::npos);

    stopRenderers();
    click();
    ASSERT_EQ(renderers().size(), 1u);
    const std::string restarted = scene();
    EXPECT_NE(restarted.find("\"import_adjust_camera\" on"), std::string::npos) << restarted;
    EXPECT_NE(restarted.find("\"import_adjust_environment\" on"), std::string::npos);
    EXPECT_EQ(modelSet(restarted), modelSet(first)) << "every body was sent again";
    EXPECT_TRUE(host::shownMessageBoxes().empty());
}

}  // namespace
