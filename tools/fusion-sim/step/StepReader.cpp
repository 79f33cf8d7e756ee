#include "step/StepReader.h"

#include <BRepBndLib.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRep_Builder.hxx>
#include <Bnd_Box.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <STEPControl_Reader.hxx>
#include <Standard_Failure.hxx>
#include <StepData_StepModel.hxx>
#include <StepBasic_ProductDefinition.hxx>
#include <StepRepr_NextAssemblyUsageOccurrence.hxx>
#include <TColStd_SequenceOfAsciiString.hxx>
#include <TCollection_HAsciiString.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDocStd_Document.hxx>
#include <TopoDS_Compound.hxx>
#include <TransferBRep.hxx>
#include <Transfer_TransientProcess.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <XSControl_TransferReader.hxx>
#include <XSControl_WorkSession.hxx>
#include <gp_Cylinder.hxx>
#include <gp_Pln.hxx>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

#include "step/BodyMeasures.h"
#include "step/XcafConverter.h"

namespace steploader {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string fileUnit(STEPControl_Reader& reader) {
    TColStd_SequenceOfAsciiString lengths, angles, solidAngles;
    reader.FileUnits(lengths, angles, solidAngles);
    return lengths.IsEmpty() ? std::string() : std::string(lengths.First().ToCString());
}

// Every distinct part shape once, so that a part reused by many instances is
// meshed and measured once: triangulations live on the shared faces.
std::vector<TopoDS_Shape> distinctParts(const Handle(XCAFDoc_ShapeTool) & shapes) {
    TDF_LabelSequence labels;
    shapes->GetShapes(labels);
    std::vector<TopoDS_Shape> parts;
    for (const TDF_Label& label : labels) {
        if (XCAFDoc_ShapeTool::IsAssembly(label)) continue;
        const TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(label);
        if (!shape.IsNull()) parts.push_back(shape);
    }
    return parts;
}

// The document's length unit in centimetres; OpenCASCADE's default is the
// millimetre.
double centimetresPerUnit(const Handle(TDocStd_Document) & document) {
    double unit = 0;
    if (XCAFDoc_DocumentTool::GetLengthUnit(document, unit, UnitsMethods_LengthUnit_Centimeter) &&
        std::isfinite(unit) && unit > 0) {
        return unit;
    }
    return 0.1;
}

void reportUnmeshedBodies(const std::string& path, const std::vector<UnmeshedBody>& bodies) {
    for (const UnmeshedBody& body : bodies) {
        std::fprintf(stderr, "%s: body \"%s\" of component \"%s\": %d face%s without triangles\n",
                     path.c_str(), body.body.c_str(), body.component.c_str(), body.faces,
                     body.faces == 1 ? "" : "s");
    }
}

double modelDiagonal(const Handle(XCAFDoc_ShapeTool) & shapes) {
    TDF_LabelSequence freeShapes;
    shapes->GetFreeShapes(freeShapes);
    Bnd_Box box;
    for (const TDF_Label& label : freeShapes)
        BRepBndLib::Add(XCAFDoc_ShapeTool::GetShape(label), box);
    return box.IsVoid() ? 0.0 : std::sqrt(box.SquareExtent());
}

// OpenCASCADE names an instance that has no name of its own after the
// occurrence's id ('35'); such names are not names a user gave.
std::set<std::string> idsOfUnnamedInstances(STEPControl_Reader& reader) {
    std::set<std::string> ids, names;
    const Handle(StepData_StepModel) model = reader.StepModel();
    if (model.IsNull()) return ids;
    for (int i = 1; i <= model->NbEntities(); ++i) {
        const auto usage = Handle(StepRepr_NextAssemblyUsageOccurrence)::DownCast(model->Value(i));
        if (usage.IsNull()) continue;
        const Handle(TCollection_HAsciiString) id = usage->Id();
        const Handle(TCollection_HAsciiString) name = usage->Name();
        const bool unnamed = name.IsNull() || name->IsEmpty() || name->String() == "$";
        if (unnamed && !id.IsNull()) ids.insert(id->ToCString());
        if (!unnamed) names.insert(name->ToCString());
    }
    for (const std::string& name : names) ids.erase(name);
    return ids;
}

// The product definitions that no assembly usage names as the assembly:
// the parts, in the file's order.
std::vector<Handle(StepBasic_ProductDefinition)> partDefinitions(STEPControl_Reader& reader) {
    std::vector<Handle(StepBasic_ProductDefinition)> parts;
    const Handle(StepData_StepModel) model = reader.StepModel();
    if (model.IsNull()) return parts;
    std::set<const Standard_Transient*> assemblies;
    for (int i = 1; i <= model->NbEntities(); ++i) {
        const auto usage = Handle(StepRepr_NextAssemblyUsageOccurrence)::DownCast(model->Value(i));
        if (!usage.IsNull()) assemblies.insert(usage->RelatingProductDefinition().get());
    }
    for (int i = 1; i <= model->NbEntities(); ++i) {
        const auto definition = Handle(StepBasic_ProductDefinition)::DownCast(model->Value(i));
        if (!definition.IsNull() && assemblies.count(definition.get()) == 0)
            parts.push_back(definition);
    }
    return parts;
}

// Transfers the parts one by one and hands each part's bodies to `measures`
// at once, so that they are measured on another core while the rest of the
// file is transferred. The document's transfer that follows finds these
// parts done and reuses their shapes. A part that fails here is left to that
// transfer, which reports it as it always does.
void transferPartsAhead(STEPControl_Reader& reader, BodyMeasures& measures) {
    const Handle(XSControl_WorkSession) session = reader.WS();
    for (const Handle(StepBasic_ProductDefinition)& part : partDefinitions(reader)) {
        try {
            if (!reader.TransferEntity(part)) continue;
        } catch (const Standard_Failure&) {
            return;
        }
        const Handle(Transfer_TransientProcess) process =
            session.IsNull() ? nullptr : session->TransferReader()->TransientProcess();
        if (process.IsNull()) return;
        for (const TopoDS_Shape& body : bodiesOf(TransferBRep::ShapeResult(process, part)))
            measures.add(body);
    }
}

// Checks the file's numbers on another thread; get() waits and throws the
// check's LoadError. Without a thread to spare the check runs here.
std::future<void> checkInBackground(const std::string& path) {
    try {
        return std::async(std::launch::async, [path] { checkStepFile(path); });
    } catch (const std::system_error&) {
        checkStepFile(path);
        std::promise<void> done;
        done.set_value();
        return done.get_future();
    }
}

// Meshing costs milliseconds the first time: its code is paged in and its
// thread pool started. Meshing two small faces of its own on a core that is
// idle while the file is read pays that ahead of the file's meshing.
std::future<void> warmUpMesher() {
    auto warmUp = [] {
        try {
            BRep_Builder builder;
            TopoDS_Compound faces;
            builder.MakeCompound(faces);
            builder.Add(faces, BRepBuilderAPI_MakeFace(gp_Pln(), -1.0, 1.0, -1.0, 1.0).Face());
            builder.Add(faces, BRepBuilderAPI_MakeFace(gp_Cylinder(gp_Ax3(), 1.0), 0.0, 6.0, 0.0, 1.0).Face());
            BRepMesh_IncrementalMesh(faces, 0.01, false, 0.5, true);
        } catch (const Standard_Failure&) {
        }
    };
    try {
        return std::async(std::launch::async, warmUp);
    } catch (const std::system_error&) {
        return {};  // no thread to spare: the file's meshing pays as before
    }
}

// What one read leaves behind: OpenCASCADE's reader session with the file's
// entities, the document, the mesher's model and the measured copies. Tearing
// them down takes several percent of a load, and every caller reads one file
// in a process that ends right after it has sent the design, so they are kept
// (reachable) until the process ends.
struct Leftovers {
    std::unique_ptr<STEPCAFControl_Reader> session;
    Handle(TDocStd_Document) document;
    std::unique_ptr<BRepMesh_IncrementalMesh> mesher;
    std::unique_ptr<BodyMeasures> measures;
};

void keepUntilExit(Leftovers&& leftovers) {
    static std::mutex guard;
    static std::vector<Leftovers> kept;
    std::lock_guard<std::mutex> lock(guard);
    kept.push_back(std::move(leftovers));
}

}  // namespace

std::string hostUnitName(const std::string& stepUnit) {
    const std::string unit = lowerCase(stepUnit);
    if (unit.find("inch") != std::string::npos) return "in";
    if (unit.find("foot") != std::string::npos || unit.find("feet") != std::string::npos)
        return "ft";
    const bool metre =
        unit.find("metre") != std::string::npos || unit.find("meter") != std::string::npos;
    if (metre && unit.find("milli") != std::string::npos) return "mm";
    if (metre && unit.find("centi") != std::string::npos) return "cm";
    if (unit == "metre" || unit == "meter") return "m";
    return "mm";
}

namespace {

Design readChecked(const std::string& path, const Options& options, std::future<void>& checked) {
    std::future<void> mesherReady = warmUpMesher();
    Design design;
    design.documentName = std::filesystem::path(path).stem().string();
    try {
        // Unnamed instances keep an empty name rather than an entry text.
        XCAFDoc_ShapeTool::SetAutoNaming(false);
        Handle(XCAFApp_Application) application = XCAFApp_Application::GetApplication();
        Handle(TDocStd_Document) document;
        // The document keeps OpenCASCADE's default unit, as its own tools read
        // and mesh the file; lengths become centimetres in the records.
        application->NewDocument("MDTV-XCAF", document);

        auto session = std::make_unique<STEPCAFControl_Reader>();
        STEPCAFControl_Reader& reader = *session;
        reader.SetColorMode(true);
        reader.SetNameMode(true);
        reader.SetLayerMode(true);
        // Validation properties, tolerances and dimensions, materials and saved
        // views are never looked at: each costs the transfer a pass over the file.
        reader.SetPropsMode(false);
        reader.SetGDTMode(false);
        reader.SetMatMode(false);
        reader.SetViewMode(false);

        auto start = Clock::now();
        if (reader.ReadFile(path.c_str()) != IFSelect_RetDone) {
            throw LoadError(path + ": OpenCASCADE could not parse the STEP data");
        }
        design.timings.read = secondsSince(start);
        design.units = hostUnitName(fileUnit(reader.ChangeReader()));
        const std::set<std::string> generatedNames = idsOfUnnamedInstances(reader.ChangeReader());
        if (reader.NbRootsForTransfer() == 0) throw LoadError(path + ": the file holds no shapes");

        // NAN or INF in a coordinate makes the later stages run forever.
        checked.get();

        start = Clock::now();
        auto measured = std::make_unique<BodyMeasures>();
        BodyMeasures& measures = *measured;
        transferPartsAhead(reader.ChangeReader(), measures);
        if (!reader.Transfer(document)) {
            throw LoadError(path + ": OpenCASCADE could not transfer the shapes");
        }
        design.timings.transfer = secondsSince(start);
        const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
        TDF_LabelSequence freeShapes;
        shapes->GetFreeShapes(freeShapes);
        if (freeShapes.IsEmpty()) throw LoadError(path + ": the file holds no shapes");

        const double scale = centimetresPerUnit(document);

        // Bodies that no part transferred ahead held are measured meanwhile.
        BRep_Builder builder;
        TopoDS_Compound parts;
        builder.MakeCompound(parts);
        for (const TopoDS_Shape& part : distinctParts(shapes)) {
            builder.Add(parts, part);
            for (const TopoDS_Shape& body : bodiesOf(part)) measures.add(body);
        }

        if (mesherReady.valid()) mesherReady.wait();
        start = Clock::now();
        double deflection = options.deflection / scale;
        if (deflection <= 0) deflection = options.relativeDeflection * modelDiagonal(shapes);
        if (!(deflection > 0)) deflection = 0.01 / scale;
        auto mesher = std::make_unique<BRepMesh_IncrementalMesh>(
            parts, deflection, false, options.angularDeflection, true);
        design.timings.mesh = secondsSince(start);

        start = Clock::now();
        measures.finish();
        XcafConverter converter(document, generatedNames, scale, measures);
        converter.convert(design, design.documentName);
        design.timings.convert = secondsSince(start);
        reportUnmeshedBodies(path, converter.unmeshedBodies());
        keepUntilExit(Leftovers{std::move(session), document, std::move(mesher), std::move(measured)});
    } catch (const Standard_Failure& failure) {
        const char* text = failure.GetMessageString();
        throw LoadError(path + ": OpenCASCADE failed: " + failure.DynamicType()->Name() +
                        (text && *text ? std::string(": ") + text : std::string()));
    }
    return design;
}

}  // namespace

Design readStepDesign(const std::string& path, const Options& options) {
    // The numbers are checked while OpenCASCADE reads the file; a file that
    // the check refuses is refused for that reason, whatever failed meanwhile.
    std::future<void> checked = checkInBackground(path);
    try {
        return readChecked(path, options, checked);
    } catch (...) {
        if (checked.valid()) checked.get();
        throw;
    }
}

}  // namespace steploader
