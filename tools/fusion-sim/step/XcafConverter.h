// Walks a transferred, meshed XCAF document and fills the design records:
// one component per product, one occurrence per assembly reference, bodies
// with their faces' display meshes, and appearances from the XCAF colours.
#pragma once

#include <NCollection_DataMap.hxx>
#include <TDF_Label.hxx>
#include <TDF_LabelMapHasher.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "step/BodyMeasures.h"
#include "step/StepDesign.h"

namespace steploader {

// A body some of whose faces have no triangles: a hole in its display mesh.
struct UnmeshedBody {
    std::string component;
    std::string body;
    int faces = 0;
};

class XcafConverter {
  public:
    // Instance names in `generatedNames` (or of XCAF's "=>[entry]" form) were
    // made up by a translator; such instances take their product's name.
    // `centimetresPerUnit` scales the document's lengths to the records'
    // centimetres; `measures` holds every body's area, volume and centre of
    // mass in the document's unit.
    XcafConverter(const Handle(TDocStd_Document) & document, std::set<std::string> generatedNames,
                  double centimetresPerUnit, const BodyMeasures& measures);

    // Fills components, occurrences, bodies, appearances and the root of
    // `design`. Several free shapes go under one root named `rootName`.
    void convert(Design& design, const std::string& rootName);

    // The bodies converted with faces left without triangles, in design order.
    const std::vector<UnmeshedBody>& unmeshedBodies() const { return unmeshed_; }

  private:
    std::string instanceName(const TDF_Label& instance, int component) const;
    int componentOf(const TDF_Label& product);
    void addOccurrence(int parentIndex, const TDF_Label& reference);
    void addBodies(int componentIndex, const TDF_Label& part);
    int appearanceOf(const TDF_Label& label);
    int appearanceOf(const Quantity_Color& colour);

    Handle(XCAFDoc_ShapeTool) shapes_;
    Handle(XCAFDoc_ColorTool) colours_;
    std::set<std::string> generatedNames_;
    double scale_;
    const BodyMeasures& measures_;
    std::vector<UnmeshedBody> unmeshed_;
    Design* design_ = nullptr;
    NCollection_DataMap<TDF_Label, int, TDF_LabelMapHasher> components_;
    std::map<std::uint32_t, int> appearances_;  // packed sRGB → index
};

// The name stored on a label, UTF-8; empty when it has none.
std::string labelName(const TDF_Label& label);

}  // namespace steploader
