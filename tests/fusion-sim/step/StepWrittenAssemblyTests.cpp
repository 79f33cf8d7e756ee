// The assembly written by OpenCASCADE's STEP writer (StepTestSupport.h), read
// back through the loader and as a host document: what the writer put in must
// come out.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "StepTestSupport.h"
#include "host/Fusion.h"
#include "step/HostDocument.h"

namespace {

using namespace steploader;
using steptest::component;
using steptest::writtenAssembly;

constexpr double kCm = 2.54;  // per inch

std::string colourOf(const Design& design, int appearance) {
    if (appearance == kNoAppearance) return "none";
    const Colour& c = design.appearances.at(appearance).colour;
    return std::to_string(c.red) + " " + std::to_string(c.green) + " " + std::to_string(c.blue);
}

TEST(StepWrittenAssembly, TheWriterWroteInches) {
    std::ifstream in(steptest::writtenAssemblyPath());
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(in), {}).find("'INCH'"), std::string::npos);
    EXPECT_EQ(writtenAssembly().units, "in");
    EXPECT_EQ(writtenAssembly().documentName, "top");
}

TEST(StepWrittenAssembly, ProductsAreComponentsSharedByTheirInstances) {
    const Design& design = writtenAssembly();
    const Component& top = design.components[design.root];
    EXPECT_EQ(top.name, "top");
    EXPECT_TRUE(top.bodies.empty());
    ASSERT_EQ(top.occurrences.size(), 3u);
    std::vector<std::string> names;
    std::vector<bool> visible;
    for (const Occurrence& o : top.occurrences) {
        names.push_back(o.name);
        visible.push_back(o.visible);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"pair_1", "spare", "base"}));
    EXPECT_EQ(visible, (std::vector<bool>{true, false, true}));
    const Component& pair = design.components[top.occurrences[0].component];
    EXPECT_EQ(pair.name, "pair");
    ASSERT_EQ(pair.occurrences.size(), 2u);
    EXPECT_EQ(pair.occurrences[0].name, "left");
    EXPECT_EQ(pair.occurrences[1].name, "right");
    // block is placed at two levels: one component for all three instances.
    EXPECT_EQ(pair.occurrences[0].component, pair.occurrences[1].component);
    EXPECT_EQ(pair.occurrences[0].component, top.occurrences[1].component);
    EXPECT_EQ(design.components[pair.occurrences[0].component].name, "block");
    EXPECT_EQ(design.components.size(), 4u);
}

TEST(StepWrittenAssembly, PlacementsAreInCentimetresRowMajor) {
    const Design& design = writtenAssembly();
    const Component& top = design.components[design.root];
    const Component& pair = component(design, "pair");
    const Transform& left = pair.occurrences.at(0).transform;
    const Transform& right = pair.occurrences.at(1).transform;
    for (auto [at, value] : {std::pair{3, 1.0}, {7, 2.0}, {11, 3.0}})
        EXPECT_NEAR(left[at], value * kCm, 1e-9) << at;
    EXPECT_NEAR(left[0], 1.0, 1e-12);
    // A quarter turn about z: x goes to y.
    EXPECT_NEAR(right[0], 0.0, 1e-12);
    EXPECT_NEAR(right[4], 1.0, 1e-12);
    EXPECT_NEAR(right[1], -1.0, 1e-12);
    EXPECT_NEAR(right[3], 4 * kCm, 1e-9);
    EXPECT_EQ(top.occurrences.at(0).transform, kIdentity);
    EXPECT_NEAR(top.occurrences.at(1).transform[7], 10 * kCm, 1e-9);
    EXPECT_NEAR(top.occurrences.at(2).transform[11], -kCm, 1e-9);
}

TEST(StepWrittenAssembly, PartFaceAndInstanceColours) {
    const Design& design = writtenAssembly();
    const Body& block = component(design, "block").bodies.at(0);
    EXPECT_EQ(colourOf(design, block.appearance), "255 0 0");
    for (const Face& f : block.faces) EXPECT_EQ(f.appearance, kNoAppearance);
    const Component& pair = component(design, "pair");
    EXPECT_EQ(colourOf(design, pair.occurrences.at(0).appearance), "none");
    EXPECT_EQ(colourOf(design, pair.occurrences.at(1).appearance), "255 204 0");  // sRGB 0.8
    const Body& slab = component(design, "plate").bodies.at(0);
    EXPECT_EQ(colourOf(design, slab.appearance), "0 255 0");
    std::vector<std::string> faces;
    for (const Face& f : slab.faces) faces.push_back(colourOf(design, f.appearance));
    EXPECT_EQ(faces, (std::vector<std::string>{"0 0 255", "none", "none", "none", "none", "none"}));
    // One appearance per colour, with an id and a name made of it.
    ASSERT_EQ(design.appearances.size(), 4u);
    EXPECT_EQ(design.appearances.at(block.appearance).id, "step-rgb-ff0000");
    EXPECT_EQ(design.appearances.at(block.appearance).name, "RGB 255 0 0");
}

TEST(StepWrittenAssembly, SolidsBeforeFreeShellsWithTheirMeasures) {
    const Design& design = writtenAssembly();
    const Component& plate = component(design, "plate");
    ASSERT_EQ(plate.bodies.size(), 2u);
    EXPECT_TRUE(plate.bodies[0].solid);
    EXPECT_EQ(plate.bodies[0].name, "Body1");
    EXPECT_FALSE(plate.bodies[1].solid);
    EXPECT_EQ(plate.bodies[1].name, "Body2");
    EXPECT_EQ(plate.bodies[1].faces.size(), 1u);
    EXPECT_DOUBLE_EQ(plate.bodies[1].volume, 0.0);
    EXPECT_EQ(colourOf(design, plate.bodies[1].appearance), "0 255 0");
    // Square inches and cubic inches in cm² and cm³; a component sums every
    // instance below it, hidden ones included.
    const double cm2 = kCm * kCm, cm3 = cm2 * kCm;
    EXPECT_NEAR(component(design, "block").volume, 6 * cm3, 1e-6);
    EXPECT_NEAR(plate.area, 41 * cm2, 1e-6);
    EXPECT_NEAR(design.components[design.root].volume, (3 * 6 + 8) * cm3, 1e-6);
    EXPECT_NEAR(design.components[design.root].area, (3 * 22 + 41) * cm2, 1e-6);
}

TEST(StepWrittenAssembly, DisplayMeshesFollowTheSurfaces) {
    steptest::expectWellMeshed(writtenAssembly());
}

TEST(StepWrittenAssembly, TheHostDocumentCarriesColoursOverridesAndMeshes) {
    using namespace adsk;
    const core::Ptr<core::Document> document =
        host::buildDocument(toHostDocument(writtenAssembly()));
    core::Ptr<fusion::Design> design = document->products()->item(0);
    ASSERT_TRUE(design);
    const core::Ptr<fusion::Occurrence> pair = design->rootComponent()->occurrences()->item(0);
    const core::Ptr<fusion::Occurrence> right = pair->component()->occurrences()->item(1);
    EXPECT_EQ(right->appearance()->id(), "step-rgb-ffcc00");
    const core::Ptr<fusion::BRepBody> block = right->component()->bRepBodies()->item(0);
    core::Ptr<core::ColorProperty> colour =
        block->appearance()->appearanceProperties()->itemById("opaque_albedo");
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->value()->red(), 255);
    EXPECT_EQ(colour->value()->green(), 0);
    const Mesh& first = component(writtenAssembly(), "block").bodies[0].faces[0].mesh;
    const core::Ptr<fusion::TriangleMesh> mesh =
        block->faces()->item(0)->meshManager()->displayMeshes()->item(0);
    EXPECT_EQ(mesh->nodeCoordinatesAsFloat(), first.coordinates);
    EXPECT_EQ(mesh->nodeIndices(), first.indices);
    EXPECT_EQ(design->rootComponent()->occurrences()->item(2)->component()->bRepBodies()
                  ->item(0)->faces()->item(0)->appearance()->id(),
              "step-rgb-0000ff");
}

TEST(StepWrittenAssembly, UncolouredPartsShowTheDefaultAppearanceOnlyWhereNeeded) {
    const host::DocumentData coloured = toHostDocument(writtenAssembly());
    for (const auto& a : coloured.products.at(0).design->appearances)
        EXPECT_NE(a.id, "step-default") << "listed although nothing uses it";

    Design uncoloured = writtenAssembly();
    for (Component& c : uncoloured.components)
        if (c.name == "block") c.bodies.at(0).appearance = kNoAppearance;
    const host::DocumentData document = toHostDocument(uncoloured);
    const host::DesignData& design = *document.products.at(0).design;
    EXPECT_EQ(design.appearances.back().id, "step-default");
    for (const host::ComponentData& c : design.components) {
        if (c.name != "pair") continue;
        EXPECT_EQ(c.occurrences.at(0).appearance, "step-default");
        EXPECT_EQ(c.occurrences.at(1).appearance, "step-rgb-ffcc00");  // its own colour stays
    }
    EXPECT_EQ(document.modelingOrientation, adsk::core::ZUpModelingOrientation);
    EXPECT_EQ(document.camera.up, (std::array<double, 3>{0, 0, 1}));
}

TEST(StepWrittenAssembly, AFaceWithoutTriangulationHasNoDisplayMesh) {
    Design design = writtenAssembly();
    for (Component& c : design.components)
        if (c.name == "block") c.bodies.at(0).faces.at(0).mesh = {};
    const host::DocumentData document = toHostDocument(design);
    for (const host::ComponentData& c : document.products.at(0).design->components) {
        if (c.name != "block") continue;
        EXPECT_TRUE(c.bodies.at(0).faces.at(0).meshes.empty());
        EXPECT_EQ(c.bodies.at(0).faces.at(1).meshes.size(), 1u);
    }
    EXPECT_NO_THROW(host::validateDocument(document));
}

}  // namespace
