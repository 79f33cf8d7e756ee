// fusion-sim exporting a STEP assembly through the add-in: the .bip group tree
// mirrors the assembly, placements arrive in the file's unit, and refused
// files and failures of the reader program end fusion-sim with status 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "StepTestSupport.h"

namespace {

using namespace steploader;
using steptest::readFile;

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

// The group tree of an exported scene: its group, group flags, transform and material lines.
std::string exportedTree(const std::string& step, const std::string& bip) {
    const ProgramRun run = runFusionSim("'" + step + "' --export '" + bip + "'");
    EXPECT_EQ(run.status, 0) << run.errors;
    std::ifstream in(bip);
    std::string tree;
    for (std::string line; std::getline(in, line);) {
        const std::string statement = line.substr(std::min(line.find_first_not_of(' '), line.size()));
        for (const char* kind : {"group ", "flags ", "transform ", "material "})
            if (statement.rfind(kind, 0) == 0 && statement != "flags 0") tree += line + "\n";
    }
    return tree;
}

// The add-in mirrors the written assembly: placements in its inches, the
// hidden instance without bodies, part, face and instance colours as materials.
TEST(StepExport, TheGroupTreeMirrorsTheAssembly) {
    EXPECT_EQ(exportedTree(steptest::writtenAssemblyPath(), steptest::temporaryFolder() + "/top.bip"),
              readFile(std::string(TEST_DATA) + "/step/top.groups.txt"));
}

TEST(StepExport, RefusedFilesEndWithStatusTwoAndOneLine) {
    const std::string notStep = steptest::temporaryFolder() + "/notes.step";
    std::ofstream(notStep) << "just some notes\n";
    const ProgramRun run =
        runFusionSim("'" + notStep + "' --export '" + steptest::temporaryFolder() + "/x.bip'");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors,
              "fusion-sim: " + notStep + ": not a STEP file (no ISO-10303-21 header)\n");

    const ProgramRun badOption = runFusionSim("'" + steptest::writtenAssemblyPath() +
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
    const std::string step = steptest::writtenAssemblyPath();
    const std::string exportStep =
        "'" + step + "' --export '" + steptest::temporaryFolder() + "/step.bip'";
    auto withReader = [&](const std::string& reader, const std::string& options = "") {
        return runFusionSim(exportStep + options, "FUSION_SIM_STEP_READER='" + reader + "' ");
    };

    // A refusal: the reader's last line is the message, earlier lines pass through.
    const std::string refusing = fakeReader("refusing-reader",
                                            "echo 'a warning' >&2\nfor f; do :; done\necho \"$f: "
                                            "the file holds no shapes\" >&2\nexit 2");
    ProgramRun run = withReader(refusing, " --deflection 0.25 --angular-deflection 0.125");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "a warning\nfusion-sim: " + step + ": the file holds no shapes\n");
    std::ifstream arguments(refusing + ".args");
    EXPECT_EQ(
        std::string(std::istreambuf_iterator<char>(arguments), {}),
        "--deflection\n0.25\n--relative-deflection\n0.001\n--angular-deflection\n0.125\n--\n" +
            step + "\n");

    run = withReader(fakeReader("crashing-reader", "kill -SEGV $$"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + step +
                              ": OpenCASCADE crashed while reading the file (signal 11, "
                              "Segmentation fault)\n");

    run = withReader(fakeReader("stuck-reader", "kill -ALRM $$"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + step +
                              ": OpenCASCADE did not finish reading the file within 600 s\n");

    run = withReader(fakeReader("failing-reader", "exit 3"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + step + ": the loading process failed (exit status 3)\n");

    // Exit status 2 without a message is a failure, not a refusal.
    run = withReader(fakeReader("silent-reader", "exit 2"));
    EXPECT_EQ(run.errors, "fusion-sim: " + step + ": the loading process failed (exit status 2)\n");

    run = withReader(fakeReader("garbling-reader", "echo 'not a design'"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors.rfind("fusion-sim: " + step + ": ", 0), 0u) << run.errors;

    const std::string missing = steptest::temporaryFolder() + "/no-reader";
    run = withReader(missing);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "fusion-sim: " + step + ": cannot start the STEP reader " + missing +
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
