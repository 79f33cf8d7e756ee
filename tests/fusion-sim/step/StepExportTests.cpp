// fusion-sim exporting a STEP assembly through the add-in: the .bip group tree
// mirrors the assembly, placements arrive in the file's unit, and refused
// files and failures of the reader program end fusion-sim with status 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>

#include "StepTestSupport.h"

namespace {

using namespace steploader;

struct ProgramRun {
    int status = -1;
    std::string errors;
};

// `environment` precedes the command, e.g. "NAME='value' ".
ProgramRun runFusionSim(const std::string& arguments, const std::string& environment = "") {
    const std::string errors = steptest::temporaryFolder() + "/fusion-sim.err";
    const int raw = std::system(
        (environment + std::string(FUSION_SIM) + " " + arguments + " 2>" + errors).c_str());
    std::ifstream in(errors);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
            std::string(std::istreambuf_iterator<char>(in), {})};
}

struct Group {
    std::string name;
    std::string transform;  // the group's transform statement, if any
    std::vector<std::unique_ptr<Group>> children;
};

std::string trimmed(const std::string& line) {
    const std::size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    return line.substr(begin, line.find_last_not_of(" \t\r") - begin + 1);
}

// The groups of a .bip file, by brace nesting (other blocks are skipped).
std::unique_ptr<Group> parseGroups(const std::string& bip) {
    auto top = std::make_unique<Group>();
    std::vector<Group*> open{top.get()};
    std::vector<bool> braces;  // true where the brace opened a group
    std::istringstream lines(bip);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string statement = trimmed(line);
        if (statement.rfind("group \"", 0) == 0 && statement.size() > 10 &&
            statement.compare(statement.size() - 3, 3, "\" {") == 0) {
            open.back()->children.push_back(std::make_unique<Group>());
            open.push_back(open.back()->children.back().get());
            open.back()->name = statement.substr(7, statement.size() - 10);
            braces.push_back(true);
            continue;
        }
        if (!braces.empty() && braces.back() && statement.rfind("transform ", 0) == 0) {
            open.back()->transform = statement.substr(10);
        }
        bool quoted = false;
        for (char c : line) {
            if (c == '"') quoted = !quoted;
            if (quoted) continue;
            if (c == '{') braces.push_back(false);
            if (c == '}' && !braces.empty()) {
                if (braces.back()) open.pop_back();
                braces.pop_back();
            }
        }
    }
    return top;
}

std::string text(const Group& group) {
    std::string s = group.name;
    if (group.children.empty()) return s;
    s += "(";
    for (std::size_t i = 0; i < group.children.size(); ++i)
        s += (i ? "," : "") + text(*group.children[i]);
    return s + ")";
}

// The tree the add-in makes of the design: a group per component as placed
// (occurrences first, then bodies); a body's group holds one group per
// appearance its faces show. Hidden occurrences have no children.
std::string expectedTree(const Design& design, int index, int override, bool visible) {
    const Component& c = design.components[index];
    std::vector<std::string> children;
    if (visible) {
        for (const Occurrence& o : c.occurrences) {
            children.push_back(expectedTree(design, o.component, o.appearance, o.visible));
        }
        for (const Body& b : c.bodies) {
            std::set<int> shown;
            for (const Face& f : b.faces) {
                shown.insert(f.appearance != kNoAppearance   ? f.appearance
                             : b.appearance != kNoAppearance ? b.appearance
                                                             : override);
            }
            std::string body = b.name;
            if (b.visible && !shown.empty()) {
                body += "(";
                for (std::size_t i = 0; i < shown.size(); ++i) body += (i ? "," : "") + b.name;
                body += ")";
            }
            children.push_back(body);
        }
    }
    std::string s = c.name;
    if (children.empty()) return s;
    s += "(";
    for (std::size_t i = 0; i < children.size(); ++i) s += (i ? "," : "") + children[i];
    return s + ")";
}

const Group* child(const Group& group, const std::string& name) {
    for (const auto& c : group.children) {
        if (c->name == name) return c.get();
    }
    ADD_FAILURE() << group.name << " has no group " << name;
    return nullptr;
}

TEST(StepExport, TheGroupTreeOfAs1MirrorsTheAssembly) {
    const std::string bip = steptest::temporaryFolder() + "/as1.bip";
    const ProgramRun run =
        runFusionSim("'" + steptest::samplePath("as1-oc-214-mat.stp") + "' --export '" + bip + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    std::ifstream in(bip);
    const std::unique_ptr<Group> top =
        parseGroups(std::string(std::istreambuf_iterator<char>(in), {}));
    ASSERT_EQ(top->children.size(), 1u);
    const Group& document = *top->children[0];
    EXPECT_EQ(document.name, "as1-oc-214-mat");
    ASSERT_EQ(document.children.size(), 1u);

    const Design& design = steptest::sample("as1-oc-214-mat.stp");
    EXPECT_EQ(text(*document.children[0]), expectedTree(design, design.root, kNoAppearance, true));

    // Placements in the design's millimetres: rod-assembly_1 at (-10, 75, 60),
    // its first nut at (-10, -7.5, 185) inside it (column-major, translation last).
    const Group* rodAssembly = child(*document.children[0], "rod-assembly");
    ASSERT_TRUE(rodAssembly);
    EXPECT_EQ(rodAssembly->transform, "0 0 -1 0 0 1 0 0 1 0 0 0 -10 75 60 1");
    EXPECT_EQ(rodAssembly->children.at(0)->transform, "1 0 0 0 0 1 0 0 0 0 1 0 -10 -7.5 185 1");
}

TEST(StepExport, HiddenInstancesAndUncolouredPartsExport) {
    const std::string bip = steptest::temporaryFolder() + "/invisible.bip";
    const ProgramRun run =
        runFusionSim("'" + steptest::samplePath("bug25381_test_assembly_invisible.step") +
                     "' --export '" + bip + "'");
    ASSERT_EQ(run.status, 0) << run.errors;
    std::ifstream in(bip);
    const std::unique_ptr<Group> top =
        parseGroups(std::string(std::istreambuf_iterator<char>(in), {}));
    const Group& root = *top->children.at(0)->children.at(0);
    EXPECT_EQ(root.name, "ASSEMBLY");
    ASSERT_EQ(root.children.size(), 8u);
    EXPECT_EQ(text(*root.children[0]), "Box1(Body1(Body1))");
    EXPECT_EQ(text(*root.children[2]), "Box2");  // the hidden instance: no bodies
    EXPECT_EQ(text(*root.children[3]), "Box2(Body1(Body1))");
}

TEST(StepExport, RefusedFilesEndWithStatusTwoAndOneLine) {
    const std::string notStep = steptest::temporaryFolder() + "/notes.step";
    std::ofstream(notStep) << "just some notes\n";
    const ProgramRun run =
        runFusionSim("'" + notStep + "' --export '" + steptest::temporaryFolder() + "/x.bip'");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors,
              "fusion-sim: " + notStep + ": not a STEP file (no ISO-10303-21 header)\n");

    const ProgramRun badOption = runFusionSim("'" + steptest::samplePath("trj7_c1-hc-214.stp") +
                                              "' --export x.bip --deflection zero");
    EXPECT_EQ(badOption.status, 2);
    EXPECT_NE(badOption.errors.find("--deflection needs a positive number, not zero"),
              std::string::npos)
        << badOption.errors;
}

// A stand-in for the reader program: a shell script running `body`, which
// keeps its arguments, one a line, in `<script>.args`.
std::string fakeReader(const std::string& name, const std::string& body) {
    const std::string path = steptest::temporaryFolder() + "/" + name;
    std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << path << ".args'\n"
                        << body << "\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

TEST(StepExport, FailuresOfTheReaderProgramReachTheUser) {
    const std::string cube = steptest::samplePath("trj7_c1-hc-214.stp");
    const std::string exportCube =
        "'" + cube + "' --export '" + steptest::temporaryFolder() + "/cube.bip'";
    auto withReader = [&](const std::string& reader, const std::string& options = "") {
        return runFusionSim(exportCube + options, "FUSION_SIM_STEP_READER='" + reader + "' ");
    };

    // A refusal: the reader's last line is the message, earlier lines pass through.
    const std::string refusing = fakeReader("refusing-reader",
                                            "echo 'a warning' >&2\nfor f; do :; done\necho \"$f: "
                                            "the file holds no shapes\" >&2\nexit 2");
    ProgramRun run = withReader(refusing, " --deflection 0.25 --angular-deflection 0.125");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "a warning\nfusion-sim: " + cube + ": the file holds no shapes\n");
    std::ifstream arguments(refusing + ".args");
    EXPECT_EQ(
        std::string(std::istreambuf_iterator<char>(arguments), {}),
        "--deflection\n0.25\n--relative-deflection\n0.001\n--angular-deflection\n0.125\n--\n" +
            cube + "\n");

    run = withReader(fakeReader("crashing-reader", "kill -SEGV $$"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + cube +
                              ": OpenCASCADE crashed while reading the file (signal 11, "
                              "Segmentation fault)\n");

    run = withReader(fakeReader("stuck-reader", "kill -ALRM $$"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + cube +
                              ": OpenCASCADE did not finish reading the file within 600 s\n");

    run = withReader(fakeReader("failing-reader", "exit 3"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + cube + ": the loading process failed (exit status 3)\n");

    // Exit status 2 without a message is a failure, not a refusal.
    run = withReader(fakeReader("silent-reader", "exit 2"));
    EXPECT_EQ(run.errors, "fusion-sim: " + cube + ": the loading process failed (exit status 2)\n");

    run = withReader(fakeReader("garbling-reader", "echo 'not a design'"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors.rfind("fusion-sim: " + cube + ": ", 0), 0u) << run.errors;

    const std::string missing = steptest::temporaryFolder() + "/no-reader";
    run = withReader(missing);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + cube + ": cannot start the STEP reader " + missing +
                              ": No such file or directory\n");
}

TEST(StepExport, TheRealReadersRefusalReachesTheUser) {
    // Past the cheap header check, so the reader program itself refuses it.
    const std::string noShapes = steptest::temporaryFolder() + "/noshapes.step";
    std::ofstream(noShapes) << "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\n"
                               "FILE_NAME('','',(''),(''),'','','');\n"
                               "FILE_SCHEMA(('AUTOMOTIVE_DESIGN'));\nENDSEC;\nDATA;\n"
                               "#1=CARTESIAN_POINT('',(0.,0.,0.));\nENDSEC;\nEND-ISO-10303-21;\n";
    const ProgramRun run =
        runFusionSim("'" + noShapes + "' --export '" + steptest::temporaryFolder() + "/n.bip'");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + noShapes + ": the file holds no shapes\n");
}

}  // namespace
