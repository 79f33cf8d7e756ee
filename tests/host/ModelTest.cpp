// Documents built from records, as the add-in reads them.
#include <gtest/gtest.h>

#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>
#include "host/Primitives.h"
#include "host/Session.h"

using namespace adsk::core;
using namespace adsk::fusion;

namespace {

host::MeshData triangle(float z) {
    return {
        {0, 0, z, 1, 0, z, 0, 1, z}, {0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 0, 1, 0, 0, 1}, {0, 1, 2}};
}

// A lamp with an arm used twice; the second arm is hidden and overridden.
host::DocumentData lamp() {
    host::DocumentData doc;
    doc.name = "Desk Lamp v3";
    doc.modelingOrientation = ZUpModelingOrientation;
    doc.camera.type = OrthographicCameraType;
    doc.camera.eye = {1, 2, 3};
    host::DesignData& d = doc.addDesign();
    d.appearances = {
        {"red", "Red", {host::colorProperty("opaque_albedo", 255, 128, 0)}},
        {"wood", "Wood", {host::texturedColorProperty("opaque_albedo", "/t/grain.png")}}};
    d.components = {{.id = "lamp",
                     .name = "Lamp",
                     .bodies = {{.name = "Base",
                                 .appearance = "red",
                                 .faces = {{.meshes = {triangle(0), triangle(1)}}}}},
                     .occurrences = {{.component = "arm", .transform = host::translation(1, 2, 3)},
                                     {.component = "arm",
                                      .visible = false,
                                      .appearance = "wood",
                                      .transform = std::nullopt}}},
                    {.id = "arm",
                     .name = "Arm",
                     .bodies = {{.name = "Rod", .faces = {{.appearance = "wood"}}}}}};
    d.root = "lamp";
    return doc;
}

class Model : public ::testing::Test {
  protected:
    void SetUp() override { host::resetApplication(); }
};

}  // namespace

TEST_F(Model, OccurrencesShareComponentsAndHandOutCopies) {
    Ptr<Design> design = host::buildDocument(lamp())->products()->item(0);
    Ptr<Occurrences> occurrences = design->rootComponent()->occurrences();
    ASSERT_EQ(occurrences->count(), 2u);
    Ptr<Occurrence> first = occurrences->item(0);
    EXPECT_EQ(first->name(), "Arm:1");
    EXPECT_EQ(occurrences->item(1)->name(), "Arm:2");
    EXPECT_EQ(first->component(), occurrences->item(1)->component());  // one component, two placements
    Ptr<Matrix3D> m = first->transform();
    EXPECT_DOUBLE_EQ(m->getCell(1, 3), 2);
    m->setCell(0, 3, 50);  // a copy: the occurrence keeps its placement
    EXPECT_DOUBLE_EQ(first->transform2()->getCell(0, 3), 1);
    EXPECT_FALSE(occurrences->item(1)->transform());

    // Mesh arrays are copies too: reading again gives the same values.
    Ptr<TriangleMesh> mesh = design->rootComponent()->bRepBodies()->item(0)->faces()->item(0)
                                 ->meshManager()->displayMeshes()->item(1);
    EXPECT_EQ(mesh->nodeCoordinatesAsFloat(), (std::vector<float>{0, 0, 1, 1, 0, 1, 0, 1, 1}));
    EXPECT_EQ(mesh->nodeCoordinatesAsFloat()[2], 1.0f);
    EXPECT_EQ(mesh->nodeCoordinates()[1]->refcount(), 1);
}

// The places of the refusals are checked through the JSON loader (tests/data/json).
TEST_F(Model, BadReferenceNamesItsProductAndOpensNothing) {
    host::DocumentData doc = lamp();
    doc.products.insert(doc.products.begin(), {std::nullopt, "Other"});
    doc.products[1].design->components[0].occurrences[1].component = "leg";
    try {
        host::openDocument(doc);
        ADD_FAILURE() << "accepted";
    } catch (const host::BuildError& e) {
        EXPECT_EQ(e.product, 1u);
        EXPECT_EQ(e.path, "components[0].occurrences[1].component");
    }
    EXPECT_FALSE(Application::get()->activeDocument());
    EXPECT_EQ(Application::get()->documents()->count(), 0u);
}

TEST_F(Model, ActiveDocumentBringsItsCameraAndOrientation) {
    Ptr<Document> first = host::openDocument(lamp());
    host::DocumentData later = lamp();
    later.name = "Desk Lamp v4";
    later.modelingOrientation = YUpModelingOrientation;
    later.camera = {};
    Ptr<Document> second = host::openDocument(later);
    Ptr<Application> app = Application::get();
    EXPECT_EQ(app->activeDocument(), second);
    EXPECT_TRUE(second->isActive());
    EXPECT_EQ(app->documents()->count(), 2u);
    EXPECT_EQ(app->preferences()->generalPreferences()->defaultModelingOrientation(),
              YUpModelingOrientation);
    EXPECT_EQ(app->activeViewport()->camera()->cameraType(), PerspectiveCameraType);

    first->activate();
    EXPECT_EQ(app->activeDocument(), first);
    EXPECT_EQ(app->preferences()->generalPreferences()->defaultModelingOrientation(),
              ZUpModelingOrientation);
    Ptr<Camera> camera = app->activeViewport()->camera();
    EXPECT_EQ(camera->cameraType(), OrthographicCameraType);
    EXPECT_DOUBLE_EQ(camera->eye()->z(), 3);
    camera->cameraType(PerspectiveCameraType);  // a copy
    EXPECT_EQ(app->activeViewport()->camera()->cameraType(), OrthographicCameraType);

    host::deactivateDocuments();
    EXPECT_FALSE(app->activeDocument());
}

TEST_F(Model, DeepAssembliesAreCheckedWithoutRecursion) {
    const size_t depth = 200000;
    host::DocumentData doc;
    host::DesignData& d = doc.addDesign();
    d.components.resize(depth);
    for (size_t i = 0; i < depth; ++i) {
        d.components[i].name = "c" + std::to_string(i);
        if (i + 1 < depth)
            d.components[i].occurrences.push_back({.component = "c" + std::to_string(i + 1)});
    }
    EXPECT_NO_THROW(host::validateDocument(doc));
    d.components.back().occurrences.push_back({.component = "c0"});
    try {
        host::validateDocument(doc);
        ADD_FAILURE() << "cycle accepted";
    } catch (const host::BuildError& e) {
        EXPECT_EQ(e.path, "components[199999].occurrences[0].component");
    }
}
