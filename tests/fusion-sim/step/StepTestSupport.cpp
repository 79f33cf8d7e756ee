#include "StepTestSupport.h"

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Builder.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Quantity_Color.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_Controller.hxx>
#include <STEPControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Shell.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <gp_Pln.hxx>
#include <gp_Trsf.hxx>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include <Fusion/FusionAll.h>

#include "host/DesignBuilder.h"
#include "step/HostDocument.h"
#include "step/IsolatedLoad.h"
#include "support/Files.h"

namespace steptest {

using namespace steploader;

namespace {

// At (x, y, z), turned a quarter about z when `turned` (set exactly: a rotation
// would leave 1e-16 where 0 belongs).
TopLoc_Location placed(double x, double y, double z, bool turned = false) {
    gp_Trsf t;
    if (turned)
        t.SetValues(0, -1, 0, x, 1, 0, 0, y, 0, 0, 1, z);
    else
        t.SetTranslation(gp_Vec(x, y, z));
    return TopLoc_Location(t);
}

// The assembly of StepTestSupport.h. The document is in inches like the file,
// so that the writer converts nothing.
bool writeAssembly(const std::string& path) {
    Handle(XCAFApp_Application) application = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) document;
    application->NewDocument("MDTV-XCAF", document);
    XCAFDoc_DocumentTool::SetLengthUnit(document, 25.4, UnitsMethods_LengthUnit_Millimeter);
    const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
    const Handle(XCAFDoc_ColorTool) colours = XCAFDoc_DocumentTool::ColorTool(document->Main());
    auto named = [](const TDF_Label& label, const char* name) {
        TDataStd_Name::Set(label, name);
        return label;
    };
    auto colour = [&](const TDF_Label& label, double r, double g, double b) {
        colours->SetColor(label, Quantity_Color(r, g, b, Quantity_TOC_sRGB), XCAFDoc_ColorSurf);
    };

    const TDF_Label block = named(shapes->AddShape(BRepPrimAPI_MakeBox(1, 2, 3).Shape(), false), "block");
    colour(block, 1, 0, 0);

    BRep_Builder builder;
    TopoDS_Compound plateShape;
    builder.MakeCompound(plateShape);
    const TopoDS_Shape slab = BRepPrimAPI_MakeBox(4, 4, 0.5).Shape();
    builder.Add(plateShape, slab);
    TopoDS_Shell shell;
    builder.MakeShell(shell);
    builder.Add(shell, BRepBuilderAPI_MakeFace(gp_Pln(gp_Pnt(0, 0, 2), gp_Dir(0, 0, 1)), 0, 1, 0, 1).Face());
    builder.Add(plateShape, shell);
    const TDF_Label plate = named(shapes->AddShape(plateShape, false), "plate");
    colour(plate, 0, 1, 0);
    colour(shapes->AddSubShape(plate, TopExp_Explorer(slab, TopAbs_FACE).Current()), 0, 0, 1);

    const TDF_Label pair = named(shapes->NewShape(), "pair");
    named(shapes->AddComponent(pair, block, placed(1, 2, 3)), "left");
    colour(named(shapes->AddComponent(pair, block, placed(4, 0, 0, true)), "right"), 1, 0.8, 0);
    const TDF_Label top = named(shapes->NewShape(), "top");
    named(shapes->AddComponent(top, pair, TopLoc_Location()), "pair_1");
    colours->SetVisibility(named(shapes->AddComponent(top, block, placed(0, 10, 0)), "spare"), false);
    named(shapes->AddComponent(top, plate, placed(0, 0, -1)), "base");
    shapes->UpdateAssemblies();

    STEPControl_Controller::Init();  // defines the parameters set here
    Interface_Static::SetCVal("write.step.unit", "INCH");
    Interface_Static::SetCVal("xstep.cascade.unit", "INCH");
    STEPCAFControl_Writer writer;
    return writer.Transfer(document) && writer.Write(path.c_str()) == IFSelect_RetDone;
}

}  // namespace

std::string temporaryFolder() {
    static const support::TempFolder folder;
    return folder.path().string();
}

namespace {

// Written in a child: OpenCASCADE's registries, which it never frees, stay
// out of this process.
void writeInChild(const std::string& file, const std::function<bool()>& write) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(write() ? 0 : 1);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "cannot write " << file;
}

}  // namespace

const std::string& writtenAssemblyPath() {
    static const std::string path = [] {
        const std::string file = temporaryFolder() + "/top.stp";
        writeInChild(file, [&] { return writeAssembly(file); });
        return file;
    }();
    return path;
}

std::string writtenShapePath(const std::string& name, const std::function<TopoDS_Shape()>& make) {
    const std::string file = temporaryFolder() + "/" + name;
    writeInChild(file, [&] {
        STEPControl_Writer writer;
        return writer.Transfer(make(), STEPControl_AsIs) == IFSelect_RetDone &&
               writer.Write(file.c_str()) == IFSelect_RetDone;
    });
    return file;
}

const Design& writtenAssembly() {
    static const Design design = loadStepDesign(writtenAssemblyPath());
    return design;
}

std::string samplePath(const std::string& name) {
    const char* root = std::getenv("QUORELL_SHARED_DATA");
    return std::string(root ? root : "../shared/data") + "/step/" + name;
}

bool haveSamples() {
    return std::filesystem::exists(samplePath("as1-oc-214-mat.stp"));
}

const Design& sample(const std::string& name) {
    static std::map<std::string, Design> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end()) found = loaded.emplace(name, loadStepDesign(samplePath(name))).first;
    return found->second;
}

PhysicalTotals physicalTotals(const Design& design, const std::string& name) {
    namespace fusion = adsk::fusion;
    using adsk::core::Ptr;
    const Ptr<adsk::core::Document> document = host::buildDocument(toHostDocument(design));
    const Ptr<fusion::Design> host = document->products()->item(0)->cast<fusion::Design>();
    Ptr<fusion::Component> wanted = host->rootComponent();
    for (size_t i = 0; !name.empty() && i < host->allComponents()->count(); ++i)
        if (host->allComponents()->item(i)->name() == name) wanted = host->allComponents()->item(i);
    EXPECT_TRUE(name.empty() || wanted->name() == name) << "no component " << name;
    const Ptr<fusion::PhysicalProperties> p = wanted->physicalProperties();
    const Ptr<adsk::core::Point3D> c = p->centerOfMass();
    return {p->area(), p->volume(), {c->x(), c->y(), c->z()}};
}

const Component& component(const Design& design, const std::string& name) {
    for (const Component& c : design.components) {
        if (c.name == name) return c;
    }
    ADD_FAILURE() << "no component named " << name;
    static const Component none;
    return none;
}

int totalFaces(const Design& design) {
    int n = 0;
    for (const Component& c : design.components) {
        for (const Body& b : c.bodies) n += static_cast<int>(b.faces.size());
    }
    return n;
}

double enclosedVolume(const Mesh& mesh) {
    const auto& p = mesh.coordinates;
    double volume = 0;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const float* a = &p[3 * mesh.indices[t]];
        const float* b = &p[3 * mesh.indices[t + 1]];
        const float* c = &p[3 * mesh.indices[t + 2]];
        volume += (double(a[0]) * (double(b[1]) * c[2] - double(b[2]) * c[1]) -
                   double(a[1]) * (double(b[0]) * c[2] - double(b[2]) * c[0]) +
                   double(a[2]) * (double(b[0]) * c[1] - double(b[1]) * c[0])) /
                  6.0;
    }
    return volume;
}

void expectWellMeshed(const Design& design, double minimumVolume) {
    for (const Component& c : design.components) {
        for (const Body& b : c.bodies) {
            double volume = 0;
            for (const Face& f : b.faces) {
                const Mesh& m = f.mesh;
                const std::size_t nodes = m.coordinates.size() / 3;
                ASSERT_FALSE(m.indices.empty()) << c.name << ": every face is meshed";
                ASSERT_EQ(m.coordinates.size(), 3 * nodes);
                ASSERT_EQ(m.normals.size(), m.coordinates.size());
                ASSERT_EQ(m.textureCoordinates.size(), 2 * nodes);
                ASSERT_EQ(m.indices.size() % 3, 0u);
                for (int index : m.indices) ASSERT_TRUE(index >= 0 && std::size_t(index) < nodes);
                for (std::size_t i = 0; i < nodes; ++i)
                    ASSERT_NEAR(std::hypot(m.normals[3 * i], m.normals[3 * i + 1], m.normals[3 * i + 2]),
                                1.0, 1e-4)
                        << c.name;
                const auto& p = m.coordinates;
                for (std::size_t t = 0; t < m.indices.size(); t += 3) {
                    const int i0 = m.indices[t], i1 = m.indices[t + 1], i2 = m.indices[t + 2];
                    double n[3], agreement = 0;
                    for (int k = 0; k < 3; ++k) {
                        const int k1 = (k + 1) % 3, k2 = (k + 2) % 3;
                        n[k] = (p[3 * i1 + k1] - p[3 * i0 + k1]) * (p[3 * i2 + k2] - p[3 * i0 + k2]) -
                               (p[3 * i1 + k2] - p[3 * i0 + k2]) * (p[3 * i2 + k1] - p[3 * i0 + k1]);
                    }
                    if (std::hypot(n[0], n[1], n[2]) < 1e-12) continue;  // degenerate sliver
                    for (int corner : {i0, i1, i2})
                        for (int k = 0; k < 3; ++k) agreement += n[k] * m.normals[3 * corner + k];
                    EXPECT_GT(agreement, 0) << c.name << ": normals against the winding";
                }
                volume += enclosedVolume(m);
            }
            // Positive: triangles wind outwards. Close: the mesh follows the surface.
            if (b.solid && b.volume >= minimumVolume) {
                EXPECT_NEAR(volume, b.volume, 0.03 * b.volume) << c.name << " " << b.name;
            }
        }
    }
}

}  // namespace steptest
