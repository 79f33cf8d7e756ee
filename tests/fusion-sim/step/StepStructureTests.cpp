// Assembly structure read from the sample files: products, instances,
// placements, names, units and visibility.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "StepTestSupport.h"

namespace {

using namespace steploader;
using steptest::component;
using steptest::sample;

struct Counts {
    const char* file;
    int components;
    int occurrences;
    int bodies;
    int faces;
    int bodyInstances;
    const char* units;
};

class SampleCounts : public ::testing::TestWithParam<Counts> {};

TEST_P(SampleCounts, ComponentsOccurrencesBodiesAndFaces) {
    const Counts& expected = GetParam();
    const Design& design = sample(expected.file);
    EXPECT_EQ(static_cast<int>(design.components.size()), expected.components);
    EXPECT_EQ(steptest::totalOccurrences(design), expected.occurrences);
    EXPECT_EQ(steptest::totalBodies(design), expected.bodies);
    EXPECT_EQ(steptest::totalFaces(design), expected.faces);
    EXPECT_EQ(steptest::countInstances(design).bodies, expected.bodyInstances);
    EXPECT_EQ(design.units, expected.units);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleCounts,
    ::testing::Values(Counts{"as1-oc-214-mat.stp", 9, 13, 5, 53, 18, "mm"},
                      Counts{"trj6_as1-hc-214.stp", 15, 27, 5, 39, 18, "mm"},
                      Counts{"trj7_as1-pe-214.stp", 9, 13, 5, 53, 18, "mm"},
                      // two free shapes under a synthetic root: 52 products + 1
                      Counts{"as1_motor.step", 53, 65, 22, 276, 35, "mm"},
                      Counts{"bug25381_test_assembly_invisible.step", 10, 14, 4, 19, 8, "mm"},
                      Counts{"bug28345_30338.stp", 3, 2, 2, 11, 2, "mm"},
                      Counts{"trj7_c1-hc-214.stp", 2, 1, 1, 6, 1, "mm"},
                      Counts{"trj6_c1-ug-214.stp", 1, 0, 2, 7, 2, "in"}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name;
    });

TEST(StepStructure, ProductsBecomeComponentsSharedByTheirInstances) {
    const Design& design = sample("as1-oc-214-mat.stp");
    const Component& root = design.components[design.root];
    EXPECT_EQ(root.name, "as1");
    ASSERT_EQ(root.occurrences.size(), 4u);
    EXPECT_EQ(root.occurrences[0].name, "rod-assembly_1");
    EXPECT_EQ(design.components[root.occurrences[0].component].name, "rod-assembly");
    // Both l-bracket assemblies refer to one component.
    EXPECT_EQ(root.occurrences[1].component, root.occurrences[3].component);
    EXPECT_EQ(design.components[root.occurrences[1].component].name, "l-bracket-assembly");
    // An assembly has occurrences and no bodies; a part has bodies only.
    const Component& rodAssembly = component(design, "rod-assembly");
    EXPECT_TRUE(rodAssembly.bodies.empty());
    EXPECT_EQ(rodAssembly.occurrences.size(), 3u);
    const Component& nut = component(design, "nut");
    ASSERT_EQ(nut.bodies.size(), 1u);
    EXPECT_TRUE(nut.occurrences.empty());
    EXPECT_EQ(nut.bodies[0].name, "Body1");
    EXPECT_TRUE(nut.bodies[0].solid);
    EXPECT_EQ(nut.bodies[0].faces.size(), 8u);
}

TEST(StepStructure, PlacementsOfAMillimetreFileAreInCentimetres) {
    const Design& design = sample("as1-oc-214-mat.stp");
    const Component& root = design.components[design.root];
    // rod-assembly_1 sits at (-10, 75, 60) mm.
    const Transform& t = root.occurrences[0].transform;
    EXPECT_NEAR(t[3], -1.0, 1e-9);
    EXPECT_NEAR(t[7], 7.5, 1e-9);
    EXPECT_NEAR(t[11], 6.0, 1e-9);
    EXPECT_DOUBLE_EQ(t[12], 0.0);
    EXPECT_DOUBLE_EQ(t[15], 1.0);
    // nut-bolt-assembly_2 at (50, -52.9904, 0) mm, rotated about z.
    const Component& bracket = component(design, "l-bracket-assembly");
    const Transform& r = bracket.occurrences[1].transform;
    EXPECT_NEAR(r[3], 5.0, 1e-6);
    EXPECT_NEAR(r[7], -5.29904, 1e-5);
    // The rotation part stays orthonormal: the unit scaling touched only lengths.
    for (int row = 0; row < 3; ++row) {
        const double length = r[4 * row] * r[4 * row] + r[4 * row + 1] * r[4 * row + 1] +
                              r[4 * row + 2] * r[4 * row + 2];
        EXPECT_NEAR(length, 1.0, 1e-9);
    }
}

TEST(StepStructure, AnInchFileIsConvertedToCentimetres) {
    const Design& design = sample("trj6_c1-ug-214.stp");
    EXPECT_EQ(design.units, "in");
    // The solid is a box; its mesh extent along each axis, in cm, is a whole
    // multiple of 2.54 (the part is modelled in inches).
    const Body& solid = design.components[design.root].bodies[0];
    float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
    for (const Face& face : solid.faces) {
        for (std::size_t i = 0; i < face.mesh.coordinates.size(); ++i) {
            low[i % 3] = std::min(low[i % 3], face.mesh.coordinates[i]);
            high[i % 3] = std::max(high[i % 3], face.mesh.coordinates[i]);
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        const double inches = (high[axis] - low[axis]) / 2.54;
        EXPECT_GT(inches, 0.5) << "axis " << axis;
        EXPECT_NEAR(inches, std::round(inches), 1e-4) << "axis " << axis;
    }
}

TEST(StepStructure, SolidsComeBeforeFreeShells) {
    const Design& design = sample("trj6_c1-ug-214.stp");
    const Component& part = design.components[design.root];
    ASSERT_EQ(part.bodies.size(), 2u);
    EXPECT_TRUE(part.bodies[0].solid);
    EXPECT_EQ(part.bodies[0].faces.size(), 6u);
    EXPECT_FALSE(part.bodies[1].solid);
    EXPECT_EQ(part.bodies[1].faces.size(), 1u);
    EXPECT_EQ(part.bodies[1].name, "Body2");
    EXPECT_DOUBLE_EQ(part.bodies[1].volume, 0.0);
}

TEST(StepStructure, SeveralFreeShapesGoUnderOneRootNamedAfterTheFile) {
    const Design& design = sample("as1_motor.step");
    const Component& root = design.components[design.root];
    EXPECT_EQ(root.name, "as1_motor");
    EXPECT_TRUE(root.bodies.empty());
    ASSERT_EQ(root.occurrences.size(), 2u);
    EXPECT_EQ(root.occurrences[0].name, "Product 1");
    EXPECT_EQ(root.occurrences[1].name, "Product 2");
    for (const Occurrence& o : root.occurrences) {
        EXPECT_EQ(o.transform, kIdentity);
        EXPECT_TRUE(o.visible);
    }
}

TEST(StepStructure, UnnamedInstancesTakeTheProductName) {
    // The instance '35' of as1_motor has an empty name in the file.
    const Design& motor = sample("as1_motor.step");
    const Component& product1 = component(motor, "Product 1");
    ASSERT_EQ(product1.occurrences.size(), 1u);
    EXPECT_EQ(product1.occurrences[0].name, "Product 1.1");
    // bug25381 carries translator-made names of the form "=>[0:1:1:1]".
    const Design& design = sample("bug25381_test_assembly_invisible.step");
    const Component& root = design.components[design.root];
    ASSERT_GE(root.occurrences.size(), 4u);
    EXPECT_EQ(root.occurrences[0].name, "Box1");
    EXPECT_EQ(root.occurrences[2].name, "Box2");
    // Named instances keep their own names.
    EXPECT_EQ(component(motor, "Product 1.1").occurrences[0].name, "Item_0");
}

TEST(StepStructure, HiddenInstancesAreInvisibleOccurrences) {
    const Design& design = sample("bug25381_test_assembly_invisible.step");
    const Component& root = design.components[design.root];
    std::vector<bool> visible;
    for (const Occurrence& o : root.occurrences) visible.push_back(o.visible);
    EXPECT_EQ(visible, (std::vector<bool>{true, true, false, true, true, true, true, true}));
    // The second level: the Edge4 instance inside ASSEMBLY02 is hidden.
    const Component& inner = component(design, "ASSEMBLY02");
    ASSERT_EQ(inner.occurrences.size(), 5u);
    EXPECT_EQ(inner.occurrences[3].name, "Edge4");
    EXPECT_FALSE(inner.occurrences[3].visible);
    EXPECT_TRUE(inner.occurrences[2].visible);
    // Nothing in the other samples is hidden.
    for (const Component& c : sample("as1-oc-214-mat.stp").components) {
        for (const Occurrence& o : c.occurrences) EXPECT_TRUE(o.visible) << o.name;
        for (const Body& b : c.bodies) EXPECT_TRUE(b.visible) << c.name;
    }
}

TEST(StepStructure, ProductsWithoutGeometryAreEmptyComponents) {
    const Design& design = sample("bug25381_test_assembly_invisible.step");
    // Edge4 holds only an edge: no body can be made of it.
    const Component& edge = component(design, "Edge4");
    EXPECT_TRUE(edge.bodies.empty());
    EXPECT_TRUE(edge.occurrences.empty());
    const Component& plane = component(design, "Plane");
    ASSERT_EQ(plane.bodies.size(), 1u);
    EXPECT_FALSE(plane.bodies[0].solid);
}

}  // namespace
