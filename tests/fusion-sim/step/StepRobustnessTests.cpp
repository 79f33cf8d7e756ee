// Files that are not STEP, cut short or malformed, a loading process that
// dies, and the records' trip through the pipe.
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Builder.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Shell.hxx>
#include <gp_Pln.hxx>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

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
    support::writeFile(path, content);
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
    const std::string folder = steptest::temporaryFolder();
    const std::string whole = readFile(steptest::writtenAssemblyPath());
    const std::vector<std::pair<std::string, std::string>> cases{
        {folder + "/missing.step", "cannot open: No such file or directory"},
        {writeFile("design.step", R"({"format": "design/1"})"),
         "not a STEP file (no ISO-10303-21 header)"},
        {writeFile("empty.stp", ""), "not a STEP file (no ISO-10303-21 header)"},
        {folder, "is a directory"},
        {writeFile("half.stp", whole.substr(0, whole.size() / 2)),
         "truncated STEP file (no END-ISO-10303-21 trailer)"}};
    for (const auto& [path, cause] : cases) EXPECT_EQ(refusal(path), path + ": " + cause);
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

TEST(StepIsolation, DeathsAndErrorsOfTheLoadingProcessBecomeErrors) {
    const std::vector<std::pair<std::function<Design()>, std::string>> cases{
        {[]() -> Design { std::abort(); },
         "x.step: OpenCASCADE crashed while reading the file (signal 6, Aborted)"},
        {[]() -> Design { std::_Exit(3); }, "x.step: the loading process failed (exit status 3)"},
        {[]() -> Design { throw LoadError("x.step: refused for a reason"); },
         "x.step: refused for a reason"},
        {[]() -> Design { throw std::bad_alloc(); }, "x.step: std::bad_alloc"}};
    for (const auto& [load, message] : cases) {
        try {
            loadInChild("x.step", load);
            ADD_FAILURE() << "no error for " << message;
        } catch (const LoadError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
    // The caller lives on and can load again.
    Design fine;
    fine.documentName = "fine";
    fine.components.resize(1);
    EXPECT_EQ(loadInChild("fine.step", [&] { return fine; }).documentName, "fine");
}

// Two faces bounded by the same two edges between two points, a closed shell
// that encloses nothing: OpenCASCADE leaves both faces without triangles in
// any unit. Beside it a box, which meshes.
TopoDS_Shape pillowAndBox() {
    const gp_Pnt a(0, 0, 0), b(10, 0, 0);
    const TopoDS_Edge there = BRepBuilderAPI_MakeEdge(a, b).Edge();
    const TopoDS_Edge back = BRepBuilderAPI_MakeEdge(b, a).Edge();
    BRep_Builder builder;
    TopoDS_Wire up, down;
    builder.MakeWire(up);
    builder.Add(up, there);
    builder.Add(up, back);
    builder.MakeWire(down);
    builder.Add(down, back.Reversed());
    builder.Add(down, there.Reversed());
    TopoDS_Shell pillow;
    builder.MakeShell(pillow);
    builder.Add(pillow, BRepBuilderAPI_MakeFace(gp_Pln(a, gp_Dir(0, 0, 1)), up).Face());
    builder.Add(pillow, BRepBuilderAPI_MakeFace(gp_Pln(a, gp_Dir(0, 0, -1)), down).Face());
    TopoDS_Compound both;
    builder.MakeCompound(both);
    builder.Add(both, pillow);
    builder.Add(both, BRepPrimAPI_MakeBox(1, 2, 3).Shape());
    return both;
}

TEST(StepUnmeshedFaces, ABodyWithFacesWithoutTrianglesIsNamedWithTheirCount) {
    const std::string path = steptest::writtenShapePath("pillow.stp", pillowAndBox);
    testing::internal::CaptureStderr();
    const Design design = loadStepDesign(path);
    const std::string warnings = testing::internal::GetCapturedStderr();

    std::string pillow;
    for (const Component& c : design.components) {
        if (c.bodies.size() == 1 && !c.bodies[0].solid) pillow = c.name;
    }
    ASSERT_FALSE(pillow.empty()) << "the shell is a body";
    EXPECT_EQ(warnings,
              path + ": body \"Body1\" of component \"" + pillow + "\": 2 faces without triangles\n");
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
