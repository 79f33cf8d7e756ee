// "Render in Quorell" end to end: fusion-sim loads the built add-in, which loads
// the installed live library stand-in and starts or reuses the renderer
// stand-in; what the renderer holds is read back from the scene file it writes.
// On Windows the same flow runs through the real registry, LoadLibraryW,
// CreateProcessW and Winsock.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>
#endif

#include <regex>

#include "livelib/SocketCalls.h"
#include "support/RendererInstallation.h"
#include "tools/fusion-sim/CommandLine.h"

namespace {

namespace fs = std::filesystem;
using support::count;
using support::readFile;

// Canonical: on Windows that gives the path its drive.
fs::path example(const char* name) {
    return fs::canonical(fs::path(EXAMPLES_DIR) / name);
}

const fs::path kLamp = example("desk-lamp.json");
const std::string kRender = std::string("click ") + fusionsim::kRenderCommandId;

std::string openStep(const fs::path& design) {
    return "open " + support::utf8(design);
}

// From the root group on: the model set itself, without what precedes it.
std::string modelSet(const std::string& scene) {
    const size_t at = scene.find("\ngroup \"Desk Lamp\"");
    return at == std::string::npos ? std::string() : scene.substr(at);
}

// Component groups carry "changed" (32769) or "unchanged" (1); the bodies below
// them are what a comparison of two merged scenes is about.
std::string withoutChangeMarks(const std::string& text) {
    return support::replaceAll(text, "flags 32769\n", "flags 1\n");
}

// The renderer stand-in installed into a private folder; fusion-sim sessions
// against it.
class RenderEndToEnd : public testing::Test {
  protected:
    void install(int firstPort, int lastPort) {
        const support::Outcome o = installation.install(RENDERER, firstPort, lastPort);
        ASSERT_EQ(o.status, 0) << o.out;
    }
    void install() {
        const int port = support::freePortRange(10);
        install(port, port + 9);
    }
    std::vector<pid_t> renderers() const { return installation.renderers(); }

    // Runs a fusion-sim session; its output (message boxes, errors) in `output`.
    int session(const std::vector<std::string>& steps, std::string& output) {
        std::string script;
        for (const auto& s : steps) script += s + "\n";
        const fs::path file = installation.root() / "session.txt";
        support::writeFile(file, script);
        support::RunOptions options;
        options.errorsIntoOutput = true;
        const support::Outcome o =
            support::run({FUSION_SIM, "--script", file.string(), "--addin", ADDIN_LIBRARY}, options);
        output = o.out;
        return o.status;
    }

    // The merged scene the renderer holds for the desk lamp, as it wrote it. Each
    // renderer answers a scene query only after the transfers before it are written.
    std::string scene() {
        for (pid_t pid : renderers()) support::run({SEND, "--describe", std::to_string(pid)});
        return readFile(installation.prefix / "resources" / "scenes" / "Desk Lamp.bip");
    }
    // Ends the renderers and forgets what they wrote.
    void stopRenderers() {
        installation.stopRenderers();
        fs::remove_all(installation.prefix / "resources" / "scenes");
    }

    // The bodies every full transfer of the desk lamp carries: those of its export.
    size_t exportedObjects(const fs::path& design) {
        std::string output;
        const fs::path file = installation.root() / "export.bip";
        EXPECT_EQ(session({openStep(design), "run", "dialog save " + file.string(),
                           std::string("click ") + fusionsim::kExportCommandId},
                          output),
                  0)
            << output;
        return count(readFile(file), "object \"");
    }

    support::RendererInstallation installation;
};

TEST_F(RenderEndToEnd, FirstClickStartsTheRendererAndSendsEverything) {
    install();
    ASSERT_TRUE(renderers().empty());
    std::string output;
    ASSERT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
    EXPECT_EQ(output.find("message box"), std::string::npos) << output;
    ASSERT_EQ(renderers().size(), 1u) << "the installed renderer was started";

    const std::string text = scene();
    // The options and the camera are those of the render flow's checked-in text.
    EXPECT_NE(text.find("\"import_adjust_camera\" on"), std::string::npos) << text;
    EXPECT_TRUE(std::regex_search(
        text, std::regex("\nattribute \"process identifier\" \"Fusion 360 desk-lamp-0001, 0x[0-9a-f]+\"\n")));
    EXPECT_EQ(count(modelSet(text), "flags 1\n"), 0u) << "no component is marked unchanged";
    const size_t objects = count(text, "object \"");
    EXPECT_GT(objects, 0u);
    EXPECT_EQ(objects, exportedObjects(kLamp)) << "every body travels";
}

TEST_F(RenderEndToEnd, SecondClickWithoutChangesSendsNoBodyAndKeepsTheScene) {
    install();
    std::string output;
    ASSERT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
    const std::string first = scene();
    stopRenderers();

    ASSERT_EQ(session({openStep(kLamp), "run", kRender, kRender}, output), 0) << output;
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

// The larger shade changes the head and, since a component's physical
// properties include what it holds, the arm and the lamp above it; the cable
// beside them stays unchanged.
TEST_F(RenderEndToEnd, ChangedComponentsTravelAndTheMergeEqualsAFreshTransfer) {
    install();
    const fs::path v4 = example("desk-lamp-v2.json");
    std::string output;
    ASSERT_EQ(session({openStep(kLamp), "run", kRender, openStep(v4), kRender}, output), 0) << output;
    const std::string merged = scene();
    stopRenderers();
    ASSERT_EQ(session({openStep(v4), "run", kRender}, output), 0) << output;
    const std::string fresh = scene();

    EXPECT_NE(merged.find("\"import_adjust_camera\" off"), std::string::npos);
    EXPECT_EQ(count(modelSet(merged), "flags 32769\n"), 3u) << merged;
    EXPECT_EQ(count(modelSet(merged), "flags 1\n"), 1u) << merged;
    EXPECT_EQ(withoutChangeMarks(modelSet(merged)), withoutChangeMarks(modelSet(fresh)));
}

// Sockets bound to the ports and listening, that never accept or answer.
std::vector<livelink::Socket> holdPorts(int first, int last) {
    std::vector<livelink::Socket> held;
    for (int port = first; port <= last; ++port) {
        const livelink::Socket fd = livelink::openTcpSocket(nullptr);
        EXPECT_TRUE(livelink::listenOnLoopback(fd, port, 16)) << port;
        held.push_back(fd);
    }
    return held;
}

TEST_F(RenderEndToEnd, PortsHeldByOtherProgramsEndInThePortMessageAndFreedPortsWork) {
    const int port = support::freePortRange(2);
    install(port, port + 1);
    const std::vector<livelink::Socket> held = holdPorts(port, port + 1);
    std::string output;
    EXPECT_EQ(session({openStep(kLamp), "run", kRender}, output), 1);
    EXPECT_NE(output.find("message box: Live link failed. Reason: \"Failed to connect. Could not "
                          "connect on any known port."),
              std::string::npos)
        << output;
    EXPECT_TRUE(renderers().empty()) << "the started renderer found no port";
    for (livelink::Socket fd : held) livelink::closeSocketHandle(fd);

    ASSERT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
    EXPECT_EQ(renderers().size(), 1u);
    EXPECT_NE(scene().find("\"import_adjust_camera\" on"), std::string::npos);
}

// The renderer installed in folders named with any characters: the add-in
// loads the live library from there, starts the program there and the
// renderer writes its scenes into the resource folder there.
TEST_F(RenderEndToEnd, InstallationInFoldersWithAnyNameWorks) {
    const int port = support::freePortRange(10);
    for (const auto& row : support::readTable("e2e/folder-names.tsv")) {
        SCOPED_TRACE(row[0]);
        installation.prefix = installation.root() / support::pathFromUtf8(row[0]) / "Quorell 12";
        install(port, port + 9);
        std::string output;
        ASSERT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
        ASSERT_EQ(renderers().size(), 1u);
        EXPECT_NE(scene().find("\"import_adjust_camera\" on"), std::string::npos);
        EXPECT_NE(readFile(installation.prefix / "resources" / "sceneapi.log").find("Quorell live: "),
                  std::string::npos);
        stopRenderers();
    }
}

#ifndef _WIN32
TEST_F(RenderEndToEnd, StoppedRendererIsPassedOver) {
    install();
    std::string output;
    ASSERT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
    ASSERT_EQ(renderers().size(), 1u);
    const pid_t first = renderers().front();

    // A stopped renderer answers no query: another one is started for the click.
    ::kill(first, SIGSTOP);
    EXPECT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
    EXPECT_EQ(renderers().size(), 2u);
    ::kill(first, SIGCONT);
}
#endif

TEST_F(RenderEndToEnd, KilledRendererIsReplaced) {
    install();
    std::string output;
    ASSERT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
    ASSERT_EQ(renderers().size(), 1u);

    // Killed renderers leave their records behind; the click removes them and
    // starts a new renderer, which gets the whole scene.
    for (pid_t pid : renderers()) support::killProcess(pid);
    EXPECT_EQ(session({openStep(kLamp), "run", kRender}, output), 0) << output;
    EXPECT_EQ(renderers().size(), 1u);
    EXPECT_NE(scene().find("\"import_adjust_camera\" on"), std::string::npos);
}

}  // namespace
