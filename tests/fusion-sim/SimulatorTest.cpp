// fusion-sim as a program: command lines, sessions against a small add-in, exit
// status and what it prints.
#include <gtest/gtest.h>

#include <sstream>

#include "support/Files.h"
#include "support/Program.h"
#include "tools/fusion-sim/CommandLine.h"

namespace fs = std::filesystem;

namespace {

using support::Outcome;
using support::readFile;

class FusionSim : public ::testing::Test {
  protected:
    void SetUp() override {
        write("lamp.json", R"({"format": "design/1", "document": {"name": "Lamp v3"},
            "components": [{"name": "Lamp", "bodies": [{"shape": {"type": "box"}}]}]})");
        write("lamp4.json", R"({"format": "design/1", "document": {"name": "Lamp v4"},
            "components": [{"name": "Lamp"}]})");
    }

    fs::path path(const std::string& name) const { return folder_ / name; }
    void write(const std::string& name, const std::string& text) const {
        support::writeFile(path(name), text);
    }

    // Runs fusion-sim in the test's folder with the fake add-in (unless the
    // arguments, separated by spaces, name one).
    Outcome sim(const std::string& arguments, bool withAddin = true) const {
        std::vector<std::string> argv{FUSION_SIM};
        std::istringstream words(arguments);
        for (std::string word; words >> word;) argv.push_back(word);
        if (withAddin) argv.insert(argv.end(), {"--addin", FAKE_ADDIN});
        support::RunOptions options;
        options.folder = folder_.path();
        return support::run(argv, options);
    }

    support::TempFolder folder_;
};

}  // namespace

TEST_F(FusionSim, RenderClicksTheToolbarButton) {
    Outcome o = sim("lamp.json --render");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "fake: run\nfake: render Lamp v3\nfake: stop\n");
}

TEST_F(FusionSim, ScriptSessionWithNewerVersionsDialogsAndControls) {
    write("session.txt",
          "# a whole session\n"
          "open lamp.json\n"
          "controls   # before run: nothing placed\n"
          "run\n"
          "controls\n"
          "dialog save out/first.bip\n"
          "dialog cancel\n"
          "click quorell12ExportCommandOnPanelCPP\n"
          "click quorell12ExportCommandOnPanelCPP\n"
          "open lamp4.json\n"
          "click quorell12RenderCommandOnQATCPP\n"
          "stop\n");
    fs::create_directories(path("out"));
    Outcome o = sim("--script session.txt");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out,
              "fake: run\n"
              "toolbar QAT: quorell12RenderCommandOnQATCPP\n"
              "panel FusionRenderEnvironment/RenderPanel: quorell12ExportCommandOnPanelCPP\n"
              "panel FusionRenderEnvironment/RenderPanel: fakeMessage\n"
              "panel FusionRenderEnvironment/RenderPanel: fakeThrow\n"
              "panel FusionRenderEnvironment/RenderPanel: fakeBare (hidden)\n"
              "fake: cancelled\n"
              "fake: render Lamp v4\n"
              "fake: stop\n");
    EXPECT_EQ(readFile(path("out/first.bip")), "Lamp v3\n");
}

TEST_F(FusionSim, ErrorsOfTheAddinAreReportedAndTheSessionGoesOn) {
    write("session.txt",
          "open lamp.json\nrun\nclick fakeThrow\nclick fakeBare\nclick fakeMessage\n"
          "click nosuch\nclick quorell12RenderCommandOnQATCPP\n");
    Outcome o = sim("--script session.txt");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err,
              "error: cannot open /x.bip\n"
              "error: Unknown exception\n"
              "message box: Live link failed. Reason: \"x\n\"\n"
              "fusion-sim: session.txt:6: no placed control has the command id nosuch\n");
    // The last click still ran, and stop came at the end by itself.
    EXPECT_EQ(o.out, "fake: run\nfake: render Lamp v3\nfake: stop\n");
}

TEST_F(FusionSim, UsageAndFileErrorsExitWithTwoAndOneLine) {
    for (const auto& row : support::readTable("fusion-sim/usage.tsv")) {
        Outcome o = sim(row.at(0), row.at(1) == "yes");
        EXPECT_EQ(o.status, 2) << row[0];
        EXPECT_EQ(o.err, row.at(2) + "\n") << row[0];
        EXPECT_EQ(o.out, "") << row[0];
    }
}

TEST_F(FusionSim, BadScriptLinesAreRefusedBeforeAnythingRuns) {
    write("session.txt", "run\nclick\n");
    Outcome o = sim("--script session.txt");
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err,
              "fusion-sim: session.txt:2: click needs one command id (see fusion-sim --help)\n");
    EXPECT_EQ(o.out, "");  // run was not called
}

TEST_F(FusionSim, ABadDesignInAScriptEndsTheSession) {
    write(
        "bad.json",
        R"({"format": "design/1", "components": [{"name": "A", "occurrences": [{"component": "B"}]}]})");
    write("session.txt", "run\nopen bad.json\nstop\n");
    Outcome o = sim("--script session.txt");
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "fusion-sim: session.txt:2: " + path("bad.json").string() +
                         ": components[0].occurrences[0].component: unknown component id \"B\"\n");
    EXPECT_EQ(o.out, "fake: run\nfake: stop\n");  // stop was still called
}

TEST(ScriptParser, StepsArgumentsAndPlaces) {
    using fusionsim::Step;
    auto steps = fusionsim::parseScript(
        "  open  Lamp v3.json  # a comment\n\n#only a comment\ndialog save  out/a b.bip\n"
        "open /abs/x.json\ndialog open a|b.txt |  /abs/c.txt\n",
        "s.txt", "/base");
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].argument, "/base/Lamp v3.json");
    EXPECT_EQ(steps[1].kind, Step::DialogSave);
    EXPECT_EQ(steps[1].files, std::vector<std::string>{"/base/out/a b.bip"});
    EXPECT_EQ(steps[1].where, "s.txt:4");
    EXPECT_EQ(steps[2].argument, "/abs/x.json");
    EXPECT_EQ(steps[3].files, (std::vector<std::string>{"/base/a", "/base/b.txt", "/abs/c.txt"}));
    for (const char* bad : {"open", "dialog", "dialog save", "dialog saveX y", "run now", "jump",
                            "click a b", "dialog open a.txt |"})
        EXPECT_THROW(fusionsim::parseScript(bad, "s.txt", "/base"), fusionsim::UsageError) << bad;
}
