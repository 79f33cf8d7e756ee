// fusion-sim exporting a STEP assembly through the add-in: the .bip group tree
// mirrors the assembly, placements arrive in the file's unit, and refused
// files and failures of the reader program end fusion-sim with status 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "StepTestSupport.h"
#include "support/Files.h"
#include "support/Program.h"

namespace {

using support::readFile;

// fusion-sim exporting `step`, with the reader program named by `reader` when given.
support::Outcome exportStep(const std::string& step, const std::vector<std::string>& options = {},
                            const std::string& reader = "") {
    std::vector<std::string> arguments{FUSION_SIM, step, "--export",
                                       steptest::temporaryFolder() + "/out.bip"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    support::RunOptions run;
    if (!reader.empty()) run.environment = {"FUSION_SIM_STEP_READER=" + reader};
    return support::run(arguments, run);
}

// The group tree of an exported scene: its group, group flags, transform and material lines.
std::string exportedTree(const std::string& step) {
    const support::Outcome run = exportStep(step);
    EXPECT_EQ(run.status, 0) << run.err;
    std::istringstream in(readFile(steptest::temporaryFolder() + "/out.bip"));
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
    EXPECT_EQ(exportedTree(steptest::writtenAssemblyPath()),
              readFile(support::dataPath("step/top.groups.txt")));
}

TEST(StepExport, RefusedFilesEndWithStatusTwoAndOneLine) {
    const std::string notStep = steptest::temporaryFolder() + "/notes.step";
    support::writeFile(notStep, "just some notes\n");
    // Past the cheap header check, so the reader program itself refuses it.
    const std::string noShapes = steptest::temporaryFolder() + "/noshapes.step";
    support::writeFile(noShapes, "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\n"
                                 "FILE_NAME('','',(''),(''),'','','');\n"
                                 "FILE_SCHEMA(('AUTOMOTIVE_DESIGN'));\nENDSEC;\nDATA;\n"
                                 "#1=CARTESIAN_POINT('',(0.,0.,0.));\nENDSEC;\nEND-ISO-10303-21;\n");
    for (const auto& [file, message] :
         {std::pair{notStep, "not a STEP file (no ISO-10303-21 header)"},
          std::pair{noShapes, "the file holds no shapes"}}) {
        const support::Outcome run = exportStep(file);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "fusion-sim: " + file + ": " + message + "\n");
    }
    const support::Outcome badOption =
        exportStep(steptest::writtenAssemblyPath(), {"--deflection", "zero"});
    EXPECT_EQ(badOption.status, 2);
    EXPECT_NE(badOption.err.find("--deflection needs a positive number, not zero"), std::string::npos)
        << badOption.err;
}

// A stand-in for the reader program: a shell script running `body`, which
// keeps its arguments, one a line, in `<script>.args`.
std::string fakeReader(const std::string& name, const std::string& body) {
    const std::string path = steptest::temporaryFolder() + "/" + name;
    support::writeFile(path, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + path + ".args'\n" + body + "\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

TEST(StepExport, FailuresOfTheReaderProgramReachTheUser) {
    const std::string step = steptest::writtenAssemblyPath();
    // A refusal: the reader's last line is the message, earlier lines pass through.
    const std::string refusing = fakeReader("refusing-reader",
                                            "echo 'a warning' >&2\nfor f; do :; done\necho \"$f: "
                                            "the file holds no shapes\" >&2\nexit 2");
    support::Outcome run =
        exportStep(step, {"--deflection", "0.25", "--angular-deflection", "0.125"}, refusing);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "a warning\nfusion-sim: " + step + ": the file holds no shapes\n");
    EXPECT_EQ(readFile(refusing + ".args"),
              "--deflection\n0.25\n--relative-deflection\n0.001\n--angular-deflection\n0.125\n--\n" +
                  step + "\n");

    const std::string missing = steptest::temporaryFolder() + "/no-reader";
    const std::vector<std::pair<std::string, std::string>> failures{
        {fakeReader("crashing-reader", "kill -SEGV $$"),
         "OpenCASCADE crashed while reading the file (signal 11, Segmentation fault)"},
        {fakeReader("stuck-reader", "kill -ALRM $$"),
         "OpenCASCADE did not finish reading the file within 600 s"},
        {fakeReader("failing-reader", "exit 3"), "the loading process failed (exit status 3)"},
        // Exit status 2 without a message is a failure, not a refusal.
        {fakeReader("silent-reader", "exit 2"), "the loading process failed (exit status 2)"},
        {missing, "cannot start the STEP reader " + missing + ": No such file or directory"}};
    for (const auto& [reader, message] : failures) {
        run = exportStep(step, {}, reader);
        EXPECT_EQ(run.status, 2) << reader;
        EXPECT_EQ(run.err, "fusion-sim: " + step + ": " + message + "\n");
    }
    run = exportStep(step, {}, fakeReader("garbling-reader", "echo 'not a design'"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("fusion-sim: " + step + ": ", 0), 0u) << run.err;
}

}  // namespace
