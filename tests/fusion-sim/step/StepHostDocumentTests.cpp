// The STEP records as a host document, read back through the host interface
// the add-in uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "StepTestSupport.h"
#include "host/Fusion.h"
#include "step/HostDocument.h"

namespace {

using namespace adsk;
using steploader::Design;
using steptest::sample;

core::Ptr<fusion::Design> buildDesign(const Design& design) {
    const core::Ptr<core::Document> document =
        host::buildDocument(steploader::toHostDocument(design));
    EXPECT_EQ(document->products()->count(), 1u);
    core::Ptr<fusion::Design> product = document->products()->item(0);
    return product;
}

TEST(StepHostDocument, TheAssemblyReadsBackThroughTheHostInterface) {
    const Design& as1 = sample("as1-oc-214-mat.stp");
    const core::Ptr<core::Document> document = host::buildDocument(steploader::toHostDocument(as1));
    EXPECT_EQ(document->name(), "as1-oc-214-mat");
    core::Ptr<fusion::Design> design = document->products()->item(0);
    ASSERT_TRUE(design);
    EXPECT_EQ(design->unitsManager()->defaultLengthUnits(), "mm");

    const core::Ptr<fusion::Component> root = design->rootComponent();
    EXPECT_EQ(root->name(), "as1");
    EXPECT_NEAR(root->physicalProperties()->area(), 1410.79, 0.01);
    EXPECT_NEAR(root->physicalProperties()->volume(), 764.52, 0.01);
    ASSERT_EQ(root->occurrences()->count(), 4u);
    const core::Ptr<fusion::Occurrence> rodAssembly = root->occurrences()->item(0);
    EXPECT_EQ(rodAssembly->component()->name(), "rod-assembly");
    EXPECT_NEAR(rodAssembly->transform()->getCell(0, 3), -1.0, 1e-9);
    EXPECT_NEAR(rodAssembly->transform()->getCell(1, 3), 7.5, 1e-9);
    EXPECT_NEAR(rodAssembly->transform()->getCell(2, 3), 6.0, 1e-9);
    EXPECT_FALSE(rodAssembly->appearance());

    // rod-assembly → nut_1 → the nut's body, red, with one display mesh per face.
    const core::Ptr<fusion::Component> nut =
        rodAssembly->component()->occurrences()->item(0)->component();
    EXPECT_EQ(nut->name(), "nut");
    ASSERT_EQ(nut->bRepBodies()->count(), 1u);
    const core::Ptr<fusion::BRepBody> body = nut->bRepBodies()->item(0);
    EXPECT_EQ(body->name(), "Body1");
    ASSERT_TRUE(body->appearance());
    core::Ptr<core::ColorProperty> colour =
        body->appearance()->appearanceProperties()->itemById("opaque_albedo");
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->value()->red(), 255);
    EXPECT_EQ(colour->value()->green(), 0);
    EXPECT_EQ(colour->value()->blue(), 0);
    ASSERT_EQ(body->faces()->count(), 8u);
    const steploader::Mesh& firstMesh = steptest::component(as1, "nut").bodies[0].faces[0].mesh;
    for (size_t i = 0; i < body->faces()->count(); ++i) {
        const core::Ptr<fusion::BRepFace> face = body->faces()->item(i);
        EXPECT_FALSE(face->appearance());
        const core::Ptr<fusion::TriangleMeshList> meshes = face->meshManager()->displayMeshes();
        ASSERT_EQ(meshes->count(), 1u);
        const core::Ptr<fusion::TriangleMesh> mesh = meshes->item(0);
        EXPECT_GT(mesh->triangleCount(), 0);
        EXPECT_EQ(mesh->normalVectorsAsFloat().size(), 3u * mesh->nodeCount());
        EXPECT_EQ(mesh->textureCoordinatesAsFloat().size(), 2u * mesh->nodeCount());
        if (i == 0) {
            EXPECT_EQ(mesh->nodeCoordinatesAsFloat(), firstMesh.coordinates);
            EXPECT_EQ(mesh->nodeIndices(), firstMesh.indices);
        }
    }
}

TEST(StepHostDocument, FaceColoursAndInstanceOverridesReachTheHost) {
    const core::Ptr<fusion::Design> cube = buildDesign(sample("trj7_c1-hc-214.stp"));
    const core::Ptr<fusion::BRepBody> body =
        cube->rootComponent()->occurrences()->item(0)->component()->bRepBodies()->item(0);
    ASSERT_TRUE(body->appearance());
    EXPECT_EQ(body->appearance()->id(), "step-rgb-ffff00");
    ASSERT_TRUE(body->faces()->item(3)->appearance());
    EXPECT_EQ(body->faces()->item(3)->appearance()->id(), "step-rgb-ff0000");

    const core::Ptr<fusion::Design> invisible =
        buildDesign(sample("bug25381_test_assembly_invisible.step"));
    const core::Ptr<fusion::Occurrences> occurrences = invisible->rootComponent()->occurrences();
    ASSERT_EQ(occurrences->count(), 8u);
    EXPECT_TRUE(occurrences->item(0)->isVisible());
    EXPECT_FALSE(occurrences->item(2)->isVisible());
    ASSERT_TRUE(occurrences->item(2)->appearance());
    EXPECT_EQ(occurrences->item(2)->appearance()->id(), "step-rgb-00ff00");
    // Box1 has no colour of its own anywhere: the default appearance stands in.
    ASSERT_TRUE(occurrences->item(0)->appearance());
    EXPECT_EQ(occurrences->item(0)->appearance()->id(), "step-default");
}

// Every face shows an appearance (its own, its body's, or the override of the
// occurrence that places it), as the add-in requires of a host design.
TEST(StepHostDocument, EveryPlacedFaceResolvesToAnAppearance) {
    for (const char* file : {"as1-oc-214-mat.stp", "trj6_as1-hc-214.stp", "trj7_as1-pe-214.stp",
                             "as1_motor.step", "bug25381_test_assembly_invisible.step",
                             "bug28345_30338.stp", "trj7_c1-hc-214.stp", "trj6_c1-ug-214.stp"}) {
        const host::DocumentData document = steploader::toHostDocument(sample(file));
        const host::DesignData& design = *document.products.at(0).design;
        std::map<std::string, const host::ComponentData*> byId;
        for (const host::ComponentData& c : design.components) byId[c.id] = &c;
        int faces = 0;
        std::function<void(const host::ComponentData&, bool)> visit =
            [&](const host::ComponentData& c, bool overridden) {
                for (const host::BodyData& b : c.bodies) {
                    for (const host::FaceData& f : b.faces) {
                        ++faces;
                        EXPECT_TRUE(overridden || b.appearance || f.appearance)
                            << file << ": " << c.name << " " << b.name;
                    }
                }
                for (const host::OccurrenceData& o : c.occurrences) {
                    visit(*byId.at(o.component), o.appearance.has_value());
                }
            };
        visit(*byId.at(design.root), false);
        EXPECT_GT(faces, 0) << file;
        // The default appearance is listed only when something uses it.
        const bool listed = std::any_of(design.appearances.begin(), design.appearances.end(),
                                        [](const auto& a) { return a.id == "step-default"; });
        const std::set<std::string> withUncolouredParts = {"trj7_as1-pe-214.stp", "as1_motor.step",
                                                           "bug25381_test_assembly_invisible.step"};
        EXPECT_EQ(listed, withUncolouredParts.count(file) == 1) << file;
    }
}

TEST(StepHostDocument, TheCameraLooksAtTheWholeModelWithZUp) {
    const host::DocumentData document = steploader::toHostDocument(sample("as1-oc-214-mat.stp"));
    EXPECT_EQ(document.modelingOrientation, core::ZUpModelingOrientation);
    EXPECT_EQ(document.camera.up, (std::array<double, 3>{0, 0, 1}));
    // AS1 spans about 26 cm; its centre lies inside the plate's extent.
    double distance = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const double d = document.camera.eye[axis] - document.camera.target[axis];
        distance += d * d;
    }
    EXPECT_NEAR(std::sqrt(distance), 1.1 * 26.37, 0.5);
    EXPECT_GT(document.camera.target[0], 0.0);
    EXPECT_LT(document.camera.target[0], 18.0);
}

TEST(StepHostDocument, AFaceWithoutTriangulationHasNoDisplayMesh) {
    Design design;
    design.documentName = "unmeshed";
    design.components.resize(1);
    design.components[0].name = "part";
    design.components[0].bodies.resize(1);
    design.components[0].bodies[0].name = "Body1";
    design.components[0].bodies[0].faces.resize(2);
    design.components[0].bodies[0].faces[1].mesh = {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {}, {}, {0, 1, 2}};
    const host::DocumentData document = steploader::toHostDocument(design);
    const host::BodyData& body = document.products.at(0).design->components.at(0).bodies.at(0);
    EXPECT_TRUE(body.faces.at(0).meshes.empty());
    ASSERT_EQ(body.faces.at(1).meshes.size(), 1u);
    EXPECT_NO_THROW(host::validateDocument(document));
}

}  // namespace
