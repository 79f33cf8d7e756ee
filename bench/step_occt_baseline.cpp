// OpenCASCADE alone on one STEP file: read, transfer into an XCAF document and
// mesh every free shape at 0.001 × the model's diagonal and 0.5 rad, in
// parallel, with OpenCASCADE's defaults otherwise. step_bench runs it beside
// fusion-sim as the pace to keep. Prints the milliseconds of the three stages
// and the number of triangles on distinct faces.
#include <BRepBndLib.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <Poly_Triangulation.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDocStd_Document.hxx>
#include <NCollection_Map.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: step_occt_baseline FILE\n"
                     "Reads, transfers and meshes the STEP file FILE with OpenCASCADE alone and\n"
                     "prints: read-ms transfer-ms mesh-ms triangles\n");
        return argc == 2 ? 0 : 2;
    }
    if (argv[1][0] == '-') {
        std::fprintf(stderr, "step_occt_baseline: unknown option %s (see --help)\n", argv[1]);
        return 2;
    }
    Handle(XCAFApp_Application) application = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) document;
    application->NewDocument("MDTV-XCAF", document);
    STEPCAFControl_Reader reader;

    auto start = Clock::now();
    if (reader.ReadFile(argv[1]) != IFSelect_RetDone) {
        std::fprintf(stderr, "step_occt_baseline: %s: cannot read\n", argv[1]);
        return 1;
    }
    const double read = millisecondsSince(start);
    start = Clock::now();
    if (!reader.Transfer(document)) {
        std::fprintf(stderr, "step_occt_baseline: %s: cannot transfer\n", argv[1]);
        return 1;
    }
    const double transfer = millisecondsSince(start);

    start = Clock::now();
    const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
    TDF_LabelSequence freeShapes;
    shapes->GetFreeShapes(freeShapes);
    Bnd_Box box;
    for (const TDF_Label& label : freeShapes) BRepBndLib::Add(XCAFDoc_ShapeTool::GetShape(label), box);
    const double deflection = box.IsVoid() ? 0.1 : 0.001 * std::sqrt(box.SquareExtent());
    for (const TDF_Label& label : freeShapes) {
        BRepMesh_IncrementalMesh(XCAFDoc_ShapeTool::GetShape(label), deflection, false, 0.5, true);
    }
    const double mesh = millisecondsSince(start);

    long triangles = 0;
    NCollection_Map<Handle(Standard_Transient)> counted;  // each shared face once
    for (const TDF_Label& label : freeShapes) {
        for (TopExp_Explorer face(XCAFDoc_ShapeTool::GetShape(label), TopAbs_FACE); face.More();
             face.Next()) {
            if (!counted.Add(face.Current().TShape())) continue;
            TopLoc_Location location;
            const Handle(Poly_Triangulation) t =
                BRep_Tool::Triangulation(TopoDS::Face(face.Current()), location);
            if (!t.IsNull()) triangles += t->NbTriangles();
        }
    }
    // OpenCASCADE's progress texts went to standard output too: the numbers are
    // the last line.
    std::printf("\n%.3f %.3f %.3f %ld\n", read, transfer, mesh, triangles);
    std::fflush(stdout);
    std::_Exit(0);  // as the reader program: no teardown of OpenCASCADE's singletons
}
