// Files that are not STEP, cut short or malformed, a loading process that
// dies, and the records' trip through the pipe.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "StepTestSupport.h"
#include "support/Files.h"
#include "step/DesignCodec.h"
#include "step/IsolatedLoad.h"
#include "step/StepReader.h"

namespace {

using namespace steploader;
using support::readFile;

std::string writeFile(const std::string& name, const std::string& content) {
    const std::string path = steptest::temporaryFolder() + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// The LoadError message of loading `path`, or a failure when it loads.
std::string refusal(const std::string& path) {
    try {
        loadStepDesign(path);
    } catch (const LoadError& error) {
        return error.what();
    }
    ADD_FAILURE() << path << " was loaded";
    return {};
}

TEST(StepRefusal, FilesThatAreNotStepAreNamedWithTheCause) {
    const std::string missing = steptest::temporaryFolder() + "/missing.step";
    EXPECT_EQ(refusal(missing), missing + ": cannot open: No such file or directory");

    const std::string json = writeFile("design.step", R"({"format": "design/1"})");
    EXPECT_EQ(refusal(json), json + ": not a STEP file (no ISO-10303-21 header)");

    const std::string empty = writeFile("empty.stp", "");
    EXPECT_EQ(refusal(empty), empty + ": not a STEP file (no ISO-10303-21 header)");

    EXPECT_EQ(refusal(steptest::temporaryFolder()),
              steptest::temporaryFolder() + ": is a directory");
}

TEST(StepRefusal, TruncatedFilesAreRefused) {
    const std::string whole = readFile(steptest::writtenAssemblyPath());
    ASSERT_GT(whole.size(), 1000u);
    const std::string half = writeFile("half.stp", whole.substr(0, whole.size() / 2));
    EXPECT_EQ(refusal(half), half + ": truncated STEP file (no END-ISO-10303-21 trailer)");
}

TEST(StepRefusal, MalformedDataAndFilesWithoutShapesAreRefused) {
    const std::string garbage =
        writeFile("garbage.stp",
                  "ISO-10303-21;\nHEADER;\n this is ((( not STEP\nENDSEC;\nEND-ISO-10303-21;\n");
    const std::string message = refusal(garbage);
    EXPECT_EQ(message.rfind(garbage + ": ", 0), 0u) << message;

    const std::string noShapes =
        writeFile("noshapes.stp",
                  "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('','',(''),('')"
                  ",'','','');\n"
                  "FILE_SCHEMA(('AUTOMOTIVE_DESIGN'));\nENDSEC;\nDATA;\n"
                  "#1=CARTESIAN_POINT('',(0.,0.,0.));\nENDSEC;\nEND-ISO-10303-21;\n");
    EXPECT_EQ(refusal(noShapes), noShapes + ": the file holds no shapes");
}

TEST(StepIsolation, ADamagedFileThatBreaksOpenCascadeIsRefused) {
    // The assembly without the point of its first line: OpenCASCADE 7.6 follows
    // the dangling reference and dies (or, in other versions, fails cleanly).
    std::string text = readFile(steptest::writtenAssemblyPath());
    const std::size_t lineAt = text.find("= LINE('");
    ASSERT_NE(lineAt, std::string::npos);
    const std::size_t hash = text.find('#', lineAt);
    const std::string point =
        text.substr(hash, text.find_first_not_of("0123456789", hash + 1) - hash);
    const std::size_t at = text.find("\n" + point + " =");
    ASSERT_NE(at, std::string::npos);
    text.erase(at + 1, text.find('\n', at + 1) - at);
    const std::string damaged = writeFile("damaged.stp", text);

    const std::string message = refusal(damaged);
    // A crash reads "OpenCASCADE crashed ..."; under AddressSanitizer the child
    // reports the fault itself and exits, which reads "the loading process failed".
    EXPECT_TRUE(message.rfind(damaged + ": OpenCASCADE ", 0) == 0 ||
                message.rfind(damaged + ": the loading process failed", 0) == 0)
        << message;
    // This process is unharmed and loads the next file.
    EXPECT_EQ(loadStepDesign(steptest::writtenAssemblyPath()).components.size(), 4u);
}

TEST(StepIsolation, ACrashInTheLoadingProcessBecomesAnError) {
    try {
        loadInChild("crash.step", []() -> Design { std::abort(); });
        FAIL() << "no error";
    } catch (const LoadError& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind("crash.step: OpenCASCADE crashed while reading the file (signal 6", 0),
                  0u)
            << error.what();
    }
    try {
        loadInChild("exit.step", []() -> Design { std::_Exit(3); });
        FAIL() << "no error";
    } catch (const LoadError& error) {
        EXPECT_STREQ(error.what(), "exit.step: the loading process failed (exit status 3)");
    }
    // The caller lives on and can load again.
    EXPECT_EQ(loadInChild("fine.step",
                          [] {
                              Design d;
                              d.documentName = "fine";
                              d.components.resize(1);
                              return d;
                          })
                  .documentName,
              "fine");
}

TEST(StepIsolation, ErrorsThrownInTheChildKeepTheirText) {
    try {
        loadInChild("a.step", []() -> Design { throw LoadError("a.step: refused for a reason"); });
        FAIL() << "no error";
    } catch (const LoadError& error) {
        EXPECT_STREQ(error.what(), "a.step: refused for a reason");
    }
    try {
        loadInChild("b.step", []() -> Design { throw std::bad_alloc(); });
        FAIL() << "no error";
    } catch (const LoadError& error) {
        EXPECT_STREQ(error.what(), "b.step: std::bad_alloc");
    }
}

TEST(StepCodec, CutOrCorruptBytesAreRefused) {
    const std::string bytes = encodeDesign(steptest::writtenAssembly());
    for (std::size_t size : {std::size_t(0), std::size_t(7), bytes.size() / 3, bytes.size() - 1}) {
        EXPECT_THROW(decodeDesign(std::string_view(bytes).substr(0, size)), LoadError) << size;
    }
    EXPECT_THROW(decodeDesign(bytes + "x"), LoadError);
    std::string badMagic = bytes;
    badMagic[0] = 'X';
    EXPECT_THROW(decodeDesign(badMagic), LoadError);
    // A huge element count right after the magic and two texts.
    std::string hugeCount = bytes;
    const std::size_t countAt =
        8 + 8 + steptest::writtenAssembly().documentName.size() + 8 + 2;
    for (int i = 0; i < 8; ++i) hugeCount[countAt + i] = '\x7f';
    EXPECT_THROW(decodeDesign(hugeCount), LoadError);
}

TEST(StepUnits, HostUnitNames) {
    EXPECT_EQ(hostUnitName("MILLIMETRE"), "mm");
    EXPECT_EQ(hostUnitName("millimeter"), "mm");
    EXPECT_EQ(hostUnitName("CENTIMETRE"), "cm");
    EXPECT_EQ(hostUnitName("metre"), "m");
    EXPECT_EQ(hostUnitName("INCH"), "in");
    EXPECT_EQ(hostUnitName("FOOT"), "ft");
    EXPECT_EQ(hostUnitName(""), "mm");
}

}  // namespace
