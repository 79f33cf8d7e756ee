// The assembly written by OpenCASCADE's STEP writer (StepTestSupport.h), read
// back through the loader: what the writer put in must come out. Its group
// tree, placements and materials as the add-in exports them are pinned by
// StepExport.TheGroupTreeMirrorsTheAssembly; these are the facts an export
// does not show.
#include <gtest/gtest.h>

#include "StepTestSupport.h"
#include "step/HostDocument.h"
#include "support/Files.h"

namespace {

using namespace steploader;
using steptest::component;
using steptest::physicalTotals;
using steptest::writtenAssembly;

constexpr double kCm = 2.54;  // per inch

std::string colourOf(const Design& design, int appearance) {
    if (appearance == kNoAppearance) return "none";
    const Colour& c = design.appearances.at(appearance).colour;
    return std::to_string(c.red) + " " + std::to_string(c.green) + " " + std::to_string(c.blue);
}

TEST(StepWrittenAssembly, InchesBecomeCentimetresAndTheUnitIsKept) {
    EXPECT_NE(support::readFile(steptest::writtenAssemblyPath()).find("'INCH'"), std::string::npos);
    const Design& design = writtenAssembly();
    EXPECT_EQ(design.units, "in");
    EXPECT_NEAR(component(design, "pair").occurrences.at(0).transform[11], 3 * kCm, 1e-9);
    // Square and cubic inches; a component sums every instance below it, hidden ones included.
    const double cm2 = kCm * kCm, cm3 = cm2 * kCm;
    EXPECT_NEAR(physicalTotals(design, "block").volume, 6 * cm3, 1e-6);
    EXPECT_NEAR(physicalTotals(design, "plate").area, 41 * cm2, 1e-6);  // with the free shell
    EXPECT_DOUBLE_EQ(component(design, "plate").bodies.at(1).volume, 0.0);
    EXPECT_NEAR(physicalTotals(design).volume, (3 * 6 + 8) * cm3, 1e-6);
    EXPECT_NEAR(physicalTotals(design).area, (3 * 22 + 41) * cm2, 1e-6);
}

TEST(StepWrittenAssembly, CentresOfMassArePlacedThroughTheAssembly) {
    const Design& design = writtenAssembly();
    auto expectCentre = [](const std::array<double, 3>& centre, std::array<double, 3> inches) {
        for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(centre[k], inches[k] * kCm, 1e-9) << k;
    };
    // The block's centre (0.5, 1, 1.5) at (1, 2, 3), and turned at (4, 0, 0).
    expectCentre(physicalTotals(design, "pair").centre, {2.25, 1.75, 3});
    expectCentre(physicalTotals(design, "plate").centre, {2, 2, 0.25});  // the free shell has no mass
    // The pair (12 in³), the hidden spare (6 in³) at (0, 10, 0), the plate (8 in³) at (0, 0, -1).
    expectCentre(physicalTotals(design).centre, {46.0 / 26, 103.0 / 26, 1.5});
}

TEST(StepWrittenAssembly, APartPlacedAtTwoLevelsIsOneComponent) {
    const Design& design = writtenAssembly();
    const Component& top = design.components[design.root];
    const Component& pair = component(design, "pair");
    EXPECT_EQ(pair.occurrences.at(0).component, pair.occurrences.at(1).component);
    EXPECT_EQ(pair.occurrences.at(0).component, top.occurrences.at(1).component);
    EXPECT_EQ(design.components.size(), 4u);
}

TEST(StepWrittenAssembly, InstanceColoursAreOverridesInSrgb) {
    const Design& design = writtenAssembly();
    const Component& pair = component(design, "pair");
    EXPECT_EQ(colourOf(design, pair.occurrences.at(0).appearance), "none");
    EXPECT_EQ(colourOf(design, pair.occurrences.at(1).appearance), "255 204 0");  // 0.8 → 204
    // One appearance per colour, with an id and a name made of it.
    ASSERT_EQ(design.appearances.size(), 4u);
    const int red = component(design, "block").bodies.at(0).appearance;
    EXPECT_EQ(design.appearances.at(red).id, "step-rgb-ff0000");
    EXPECT_EQ(design.appearances.at(red).name, "RGB 255 0 0");
}

TEST(StepWrittenAssembly, DisplayMeshesFollowTheSurfaces) {
    steptest::expectWellMeshed(writtenAssembly());
}

// As a host document: the default appearance only where a part has no colour,
// no display mesh for a face without triangulation.
TEST(StepWrittenAssembly, HostDocumentDefaultsOnlyWhereNeeded) {
    const host::DocumentData written = toHostDocument(writtenAssembly());
    for (const auto& a : written.products.at(0).design->appearances)
        EXPECT_NE(a.id, "step-default") << "listed although nothing uses it";

    Design changed = writtenAssembly();
    for (Component& c : changed.components) {
        if (c.name != "block") continue;
        c.bodies.at(0).appearance = kNoAppearance;
        c.bodies.at(0).faces.at(0).mesh = {};
    }
    const host::DocumentData document = toHostDocument(changed);
    const host::DesignData& design = *document.products.at(0).design;
    EXPECT_EQ(design.appearances.back().id, "step-default");
    for (const host::ComponentData& c : design.components) {
        if (c.name == "pair") {
            EXPECT_EQ(c.occurrences.at(0).appearance, "step-default");
            EXPECT_EQ(c.occurrences.at(1).appearance, "step-rgb-ffcc00");  // its own colour stays
        } else if (c.name == "block") {
            EXPECT_TRUE(c.bodies.at(0).faces.at(0).meshes.empty());
            EXPECT_EQ(c.bodies.at(0).faces.at(1).meshes.size(), 1u);
        }
    }
    EXPECT_NO_THROW(host::validateDocument(document));
    EXPECT_EQ(document.camera.up, (std::array<double, 3>{0, 0, 1}));
}

}  // namespace
