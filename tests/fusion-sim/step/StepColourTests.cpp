// Colours where each CAD system puts them: on parts, faces or instances.
#include <gtest/gtest.h>

#include <set>

#include "StepTestSupport.h"

namespace {

using namespace steploader;
using steptest::component;
using steptest::sample;

Colour colourOf(const Design& design, int appearance) {
    if (appearance == kNoAppearance) {
        ADD_FAILURE() << "no appearance";
        return {};
    }
    return design.appearances.at(appearance).colour;
}

TEST(StepColours, PartColoursBecomeBodyAppearances) {
    const Design& design = sample("as1-oc-214-mat.stp");
    struct Expected {
        const char* part;
        Colour colour;
    };
    for (const Expected& e : {Expected{"nut", {255, 0, 0}}, Expected{"rod", {255, 128, 0}},
                              Expected{"bolt", {0, 0, 255}}, Expected{"l-bracket", {0, 255, 0}},
                              Expected{"plate", {204, 255, 0}}}) {
        const Body& body = component(design, e.part).bodies.at(0);
        EXPECT_EQ(colourOf(design, body.appearance), e.colour) << e.part;
        for (const Face& face : body.faces) EXPECT_EQ(face.appearance, kNoAppearance) << e.part;
    }
    for (const Component& c : design.components) {
        for (const Occurrence& o : c.occurrences) EXPECT_EQ(o.appearance, kNoAppearance);
    }
    // One appearance per distinct colour.
    EXPECT_EQ(design.appearances.size(), 5u);
}

TEST(StepColours, ColoursAreKeptInSrgb) {
    // 0.8 in the file is 204 in sRGB; a linear value would have given 154.
    const Design& design = sample("bug28345_30338.stp");
    EXPECT_EQ(colourOf(design, component(design, "CUT_MVE0300X02S030").bodies.at(0).appearance),
              (Colour{204, 204, 204}));
    EXPECT_EQ(colourOf(design, component(design, "NOCUT_MVE0300X02S030").bodies.at(0).appearance),
              (Colour{128, 128, 128}));
}

TEST(StepColours, FaceColoursBecomeFaceAppearances) {
    const Design& design = sample("trj6_as1-hc-214.stp");
    for (const char* part : {"PLATE", "L_BRACKET", "BOLT", "NUT"}) {
        const Body& body = component(design, part).bodies.at(0);
        EXPECT_EQ(body.appearance, kNoAppearance) << part;
        for (const Face& face : body.faces) EXPECT_NE(face.appearance, kNoAppearance) << part;
    }
    EXPECT_EQ(colourOf(design, component(design, "PLATE").bodies[0].faces[0].appearance),
              (Colour{0, 0, 255}));
    EXPECT_EQ(colourOf(design, component(design, "BOLT").bodies[0].faces[0].appearance),
              (Colour{255, 0, 0}));
}

TEST(StepColours, AFaceOverridesItsPartColour) {
    const Design& design = sample("trj7_c1-hc-214.stp");
    // The assembly and its part are both named 001_000X.
    const Component& root = design.components[design.root];
    const Body& cube = design.components[root.occurrences.at(0).component].bodies.at(0);
    EXPECT_EQ(colourOf(design, cube.appearance), (Colour{255, 255, 0}));
    int red = 0, yellow = 0;
    for (const Face& face : cube.faces) {
        const Colour c = colourOf(design, face.appearance);
        red += c == Colour{255, 0, 0};
        yellow += c == Colour{255, 255, 0};
    }
    EXPECT_EQ(red, 1);
    EXPECT_EQ(yellow, 5);
}

TEST(StepColours, CurveStylesDoNotColourBodies) {
    // trj7_as1 colours some parts and gives others only edge (curve) styles.
    const Design& design = sample("trj7_as1-pe-214.stp");
    EXPECT_EQ(colourOf(design, component(design, "XR1-PE-LBR").bodies.at(0).appearance),
              (Colour{0, 255, 0}));
    EXPECT_EQ(component(design, "XR1-PE-PLT").bodies.at(0).appearance, kNoAppearance);
    EXPECT_EQ(component(design, "XR1-PE-ROD").bodies.at(0).appearance, kNoAppearance);
}

TEST(StepColours, InstanceColoursBecomeOccurrenceOverrides) {
    const Design& design = sample("bug25381_test_assembly_invisible.step");
    const Component& root = design.components[design.root];
    ASSERT_EQ(root.occurrences.size(), 8u);
    EXPECT_EQ(root.occurrences[0].appearance, kNoAppearance);
    EXPECT_EQ(colourOf(design, root.occurrences[2].appearance), (Colour{0, 255, 0}));
    EXPECT_EQ(colourOf(design, root.occurrences[3].appearance), (Colour{0, 0, 255}));
    EXPECT_EQ(colourOf(design, root.occurrences[5].appearance), (Colour{255, 0, 0}));
    // The parts themselves carry no colour.
    for (const Component& c : design.components) {
        for (const Body& b : c.bodies) {
            EXPECT_EQ(b.appearance, kNoAppearance) << c.name;
            for (const Face& f : b.faces) EXPECT_EQ(f.appearance, kNoAppearance) << c.name;
        }
    }
}

TEST(StepColours, AppearancesCarryUniqueIdsAndReadableNames) {
    const Design& design = sample("as1-oc-214-mat.stp");
    std::set<std::string> ids;
    for (const Appearance& a : design.appearances) {
        EXPECT_TRUE(ids.insert(a.id).second) << "duplicate id " << a.id;
    }
    const Body& nut = component(design, "nut").bodies.at(0);
    EXPECT_EQ(design.appearances.at(nut.appearance).id, "step-rgb-ff0000");
    EXPECT_EQ(design.appearances.at(nut.appearance).name, "RGB 255 0 0");
}

}  // namespace
