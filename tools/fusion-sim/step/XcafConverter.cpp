#include "step/XcafConverter.h"

#include <Quantity_Color.hxx>
#include <TCollection_AsciiString.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Shape.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <cmath>
#include <cstdio>
#include <gp_Trsf.hxx>

#include "step/FaceMesh.h"

namespace steploader {
namespace {

// What XCAF says about one sub-shape label of a part (a solid, shell or face).
struct SubShapeInfo {
    int appearance = kNoAppearance;
    bool visible = true;
    std::string name;
};

using SubShapeMap = NCollection_DataMap<TopoDS_Shape, SubShapeInfo, TopTools_ShapeMapHasher>;

std::uint8_t toByte(double value) {
    const double clamped = value < 0 ? 0 : (value > 1 ? 1 : value);
    return static_cast<std::uint8_t>(std::lround(clamped * 255.0));
}

Transform toTransform(const gp_Trsf& trsf, double scale) {
    Transform m = kIdentity;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            m[4 * row + column] = trsf.Value(row + 1, column + 1);
        m[4 * row + 3] = trsf.Value(row + 1, 4) * scale;
    }
    return m;
}

}  // namespace

std::string labelName(const TDF_Label& label) {
    Handle(TDataStd_Name) name;
    if (label.IsNull() || !label.FindAttribute(TDataStd_Name::GetID(), name)) return {};
    // Without a replacement character the conversion yields UTF-8.
    return TCollection_AsciiString(name->Get()).ToCString();
}

XcafConverter::XcafConverter(const Handle(TDocStd_Document) & document,
                             std::set<std::string> generatedNames, double centimetresPerUnit,
                             const BodyMeasures& measures)
    : shapes_(XCAFDoc_DocumentTool::ShapeTool(document->Main())),
      colours_(XCAFDoc_DocumentTool::ColorTool(document->Main())),
      generatedNames_(std::move(generatedNames)),
      scale_(centimetresPerUnit),
      measures_(measures) {}

std::string XcafConverter::instanceName(const TDF_Label& instance, int component) const {
    std::string name = labelName(instance);
    if (name.empty() || name.starts_with("=>[") || generatedNames_.count(name) != 0) {
        name = design_->components[component].name;
    }
    return name;
}

void XcafConverter::convert(Design& design, const std::string& rootName) {
    design_ = &design;
    TDF_LabelSequence freeShapes;
    shapes_->GetFreeShapes(freeShapes);
    if (freeShapes.Length() == 1) {
        design.root = componentOf(freeShapes.First());
    } else {
        design.root = static_cast<int>(design.components.size());
        Component root;
        root.name = rootName;
        design.components.push_back(std::move(root));
        for (const TDF_Label& free : freeShapes) {
            Occurrence occurrence;
            occurrence.component = componentOf(free);
            occurrence.name = instanceName(free, occurrence.component);
            occurrence.visible = colours_->IsVisible(free);
            occurrence.transform = toTransform(shapes_->GetShape(free).Location().Transformation(), scale_);
            design.components[design.root].occurrences.push_back(occurrence);
        }
    }
    design_ = nullptr;
}

int XcafConverter::componentOf(const TDF_Label& product) {
    if (const int* known = components_.Seek(product)) return *known;
    const int index = static_cast<int>(design_->components.size());
    Component component;
    component.name = labelName(product);
    if (component.name.empty()) component.name = "Component" + std::to_string(index + 1);
    design_->components.push_back(std::move(component));
    components_.Bind(product, index);

    if (XCAFDoc_ShapeTool::IsAssembly(product)) {
        TDF_LabelSequence references;
        XCAFDoc_ShapeTool::GetComponents(product, references);
        for (const TDF_Label& reference : references) addOccurrence(index, reference);
    } else {
        addBodies(index, product);
    }
    return index;
}

void XcafConverter::addOccurrence(int parentIndex, const TDF_Label& reference) {
    TDF_Label product;
    if (!XCAFDoc_ShapeTool::GetReferredShape(reference, product)) return;
    Occurrence occurrence;
    occurrence.component = componentOf(product);  // may grow the component list
    occurrence.name = instanceName(reference, occurrence.component);
    occurrence.visible = colours_->IsVisible(reference);
    occurrence.appearance = appearanceOf(reference);
    occurrence.transform = toTransform(XCAFDoc_ShapeTool::GetLocation(reference).Transformation(), scale_);
    design_->components[parentIndex].occurrences.push_back(std::move(occurrence));
}

void XcafConverter::addBodies(int componentIndex, const TDF_Label& part) {
    const TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(part);
    if (shape.IsNull()) return;
    const int partAppearance = appearanceOf(part);
    const bool partVisible = colours_->IsVisible(part);

    SubShapeMap subShapes;
    TDF_LabelSequence subLabels;
    XCAFDoc_ShapeTool::GetSubShapes(part, subLabels);
    for (const TDF_Label& sub : subLabels) {
        const TopoDS_Shape subShape = XCAFDoc_ShapeTool::GetShape(sub);
        if (subShape.IsNull()) continue;
        subShapes.Bind(subShape,
                       SubShapeInfo{appearanceOf(sub), colours_->IsVisible(sub), labelName(sub)});
    }
    auto infoOf = [&](const TopoDS_Shape& s) {
        const SubShapeInfo* info = subShapes.Seek(s);
        return info ? *info : SubShapeInfo{};
    };

    std::vector<Body> bodies;
    int unmeshedFaces = 0;
    auto addFace = [&](Body& body, const TopoDS_Shape& face, int inherited) {
        const int own = infoOf(face).appearance;
        Face converted{own != kNoAppearance ? own : inherited,
                       faceMesh(TopoDS::Face(face), scale_)};
        if (converted.mesh.indices.empty()) ++unmeshedFaces;
        body.faces.push_back(std::move(converted));
    };
    for (const TopoDS_Shape& bodyShape : bodiesOf(shape)) {
        const SubShapeInfo info = infoOf(bodyShape);
        Body body;
        body.name = info.name.empty() ? "Body" + std::to_string(bodies.size() + 1) : info.name;
        body.visible = partVisible && info.visible;
        body.solid = bodyShape.ShapeType() == TopAbs_SOLID;
        body.appearance = info.appearance != kNoAppearance ? info.appearance : partAppearance;
        const Measures measures = measures_.of(bodyShape);
        body.area = measures.area * scale_ * scale_;
        body.volume = measures.volume * scale_ * scale_ * scale_;
        for (std::size_t k = 0; k < 3; ++k) body.centre[k] = measures.centre[k] * scale_;
        unmeshedFaces = 0;
        if (body.solid) {
            // A colour on a shell of the solid colours that shell's faces.
            for (TopExp_Explorer shell(bodyShape, TopAbs_SHELL); shell.More(); shell.Next()) {
                const int shellAppearance = infoOf(shell.Current()).appearance;
                for (TopExp_Explorer face(shell.Current(), TopAbs_FACE); face.More(); face.Next()) {
                    addFace(body, face.Current(), shellAppearance);
                }
            }
        } else {
            for (TopExp_Explorer face(bodyShape, TopAbs_FACE); face.More(); face.Next()) {
                addFace(body, face.Current(), kNoAppearance);
            }
        }
        if (unmeshedFaces > 0) {
            unmeshed_.push_back({design_->components[componentIndex].name, body.name, unmeshedFaces});
        }
        bodies.push_back(std::move(body));
    }
    design_->components[componentIndex].bodies = std::move(bodies);
}

int XcafConverter::appearanceOf(const TDF_Label& label) {
    Quantity_Color colour;
    // Surface colours first; curve colours (edge styles) do not colour a body.
    if (colours_->GetColor(label, XCAFDoc_ColorSurf, colour) ||
        colours_->GetColor(label, XCAFDoc_ColorGen, colour)) {
        return appearanceOf(colour);
    }
    return kNoAppearance;
}

int XcafConverter::appearanceOf(const Quantity_Color& colour) {
    // STEP colours are sRGB; OCCT keeps linear RGB, so ask for sRGB back.
    double r = 0, g = 0, b = 0;
    colour.Values(r, g, b, Quantity_TOC_sRGB);
    const Colour rgb{toByte(r), toByte(g), toByte(b)};
    const std::uint32_t key = (rgb.red << 16) | (rgb.green << 8) | rgb.blue;
    if (auto found = appearances_.find(key); found != appearances_.end()) return found->second;

    char id[32], name[32];
    std::snprintf(id, sizeof id, "step-rgb-%02x%02x%02x", rgb.red, rgb.green, rgb.blue);
    std::snprintf(name, sizeof name, "RGB %d %d %d", rgb.red, rgb.green, rgb.blue);
    const int index = static_cast<int>(design_->appearances.size());
    design_->appearances.push_back(Appearance{id, name, rgb});
    appearances_.emplace(key, index);
    return index;
}

}  // namespace steploader
