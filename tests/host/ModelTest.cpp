// Documents built from records, as the add-in reads them.
#include <gtest/gtest.h>

#include "host/Fusion.h"
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
    doc.version = "v3";
    doc.creationId = "5f1c";
    doc.modelingOrientation = ZUpModelingOrientation;
    doc.camera.type = OrthographicCameraType;
    doc.camera.eye = {1, 2, 3};
    host::DesignData& d = doc.addDesign();
    d.units = "mm";
    d.appearances = {
        {"red", "Red", {host::colorProperty("opaque_albedo", 255, 128, 0)}},
        {"wood", "Wood", {host::texturedColorProperty("opaque_albedo", "/t/grain.png")}}};
    d.components = {{.id = "lamp",
                     .name = "Lamp",
                     .physical = host::PhysicalData{812.5, 920},
                     .bodies = {{.name = "Base",
                                 .appearance = "red",
                                 .faces = {{.meshes = {triangle(0), triangle(1)}}}},
                                {.name = "Hidden", .visible = false}},
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

TEST_F(Model, DocumentTextsProductsAndUnits) {
    Ptr<Document> document = host::openDocument(lamp());
    EXPECT_EQ(Application::get()->activeDocument(), document);
    EXPECT_EQ(document->name(), "Desk Lamp v3");
    EXPECT_TRUE(document->isSaved());
    EXPECT_EQ(document->version(), "v3");
    EXPECT_EQ(document->creationId(), "5f1c");
    ASSERT_TRUE(document->dataFile());
    EXPECT_EQ(document->dataFile()->versionNumber(), 3);
    ASSERT_EQ(document->products()->count(), 1u);
    Ptr<Design> design = document->products()->item(0);
    ASSERT_TRUE(design);
    EXPECT_EQ(design->unitsManager()->defaultLengthUnits(), "mm");
    EXPECT_EQ(design->fusionUnitsManager()->defaultLengthUnits(), "mm");
    EXPECT_FALSE(document->products()->item(1));
}

TEST_F(Model, NeverSavedDocumentHasNoDataFileAndNoVersion) {
    host::DocumentData doc = lamp();
    doc.saved = false;
    Ptr<Document> document = host::buildDocument(doc);
    EXPECT_FALSE(document->isSaved());
    EXPECT_FALSE(document->dataFile());
    EXPECT_EQ(document->version(), "");
}

TEST_F(Model, ComponentsOccurrencesAndBodies) {
    Ptr<Design> design = host::buildDocument(lamp())->products()->item(0);
    Ptr<Component> root = design->rootComponent();
    EXPECT_EQ(root->name(), "Lamp");
    ASSERT_TRUE(root->getPhysicalProperties(HighCalculationAccuracy));
    EXPECT_DOUBLE_EQ(root->physicalProperties()->area(), 812.5);
    EXPECT_DOUBLE_EQ(root->physicalProperties()->volume(), 920);

    Ptr<Occurrences> occurrences = root->occurrences();
    ASSERT_EQ(occurrences->count(), 2u);
    Ptr<Occurrence> first = occurrences->item(0);
    Ptr<Occurrence> second = occurrences->item(1);
    EXPECT_EQ(first->name(), "Arm:1");
    EXPECT_EQ(second->name(), "Arm:2");
    EXPECT_EQ(first->component(), second->component());  // one component, two placements
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(first->appearance());
    EXPECT_EQ(second->appearance()->id(), "wood");
    Ptr<Matrix3D> m = first->transform();
    EXPECT_DOUBLE_EQ(m->getCell(0, 3), 1);
    EXPECT_DOUBLE_EQ(m->getCell(1, 3), 2);
    EXPECT_DOUBLE_EQ(m->getCell(2, 3), 3);
    EXPECT_DOUBLE_EQ(m->getCell(3, 3), 1);
    m->setCell(0, 3, 50);  // a copy: the occurrence keeps its placement
    EXPECT_DOUBLE_EQ(first->transform2()->getCell(0, 3), 1);
    EXPECT_FALSE(second->transform());

    Ptr<Component> arm = first->component();
    EXPECT_FALSE(arm->getPhysicalProperties());  // none given
    EXPECT_EQ(arm->parentDesign(), design);

    Ptr<BRepBodies> bodies = root->bRepBodies();
    ASSERT_EQ(bodies->count(), 2u);
    EXPECT_EQ(bodies->item(0)->appearance()->name(), "Red");
    EXPECT_FALSE(bodies->item(1)->isVisible());
    EXPECT_FALSE(bodies->item(1)->isLightBulbOn());
    EXPECT_EQ(bodies->item(0)->parentComponent(), root);
    EXPECT_FALSE(bodies->item(2));
}

TEST_F(Model, FacesMeshesAndTheirArrays) {
    Ptr<Design> design = host::buildDocument(lamp())->products()->item(0);
    Ptr<BRepBody> base = design->rootComponent()->bRepBodies()->item(0);
    Ptr<BRepFace> face = base->faces()->item(0);
    EXPECT_FALSE(face->appearance());
    EXPECT_EQ(face->body(), base);
    Ptr<TriangleMeshList> meshes = face->meshManager()->displayMeshes();
    ASSERT_EQ(meshes->count(), 2u);
    Ptr<TriangleMesh> mesh = meshes->item(1);
    EXPECT_EQ(mesh->nodeCount(), 3);
    EXPECT_EQ(mesh->triangleCount(), 1);
    EXPECT_EQ(mesh->nodeCoordinatesAsFloat(), (std::vector<float>{0, 0, 1, 1, 0, 1, 0, 1, 1}));
    EXPECT_EQ(mesh->nodeCoordinatesAsDouble()[2], 1.0);
    EXPECT_EQ(mesh->normalVectorsAsFloat().size(), 9u);
    EXPECT_EQ(mesh->textureCoordinatesAsFloat(), (std::vector<float>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(mesh->nodeIndices(), (std::vector<int>{0, 1, 2}));
    std::vector<Ptr<Point3D>> points = mesh->nodeCoordinates();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_DOUBLE_EQ(points[1]->x(), 1);
    EXPECT_EQ(points[1]->refcount(), 1);
    // Reading again gives the same values: the model's arrays are not used up.
    EXPECT_EQ(mesh->nodeCoordinatesAsFloat()[2], 1.0f);
    EXPECT_TRUE(meshes->bestMesh());
    EXPECT_EQ(base->meshManager()->displayMeshes()->count(), 2u);

    Ptr<BRepBody> rod =
        design->rootComponent()->occurrences()->item(0)->component()->bRepBodies()->item(0);
    Ptr<BRepFace> bare = rod->faces()->item(0);
    EXPECT_EQ(bare->appearance()->id(), "wood");
    EXPECT_EQ(bare->meshManager()->displayMeshes()->count(), 0u);
    EXPECT_FALSE(bare->meshManager()->displayMeshes()->bestMesh());
}

TEST_F(Model, MeshArraysOfAnyLengthAreKeptAsGiven) {
    host::DocumentData doc;
    host::MeshData odd{{0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 1}, {}, {0, 1, 2, 5}};
    doc.addDesign().components = {
        {.name = "C",
         .bodies = {{.name = "B", .faces = {{.meshes = {odd}}, {.hasMeshManager = false}}}}}};
    Ptr<Design> design = host::buildDocument(doc)->products()->item(0);
    Ptr<BRepFaces> faces = design->rootComponent()->bRepBodies()->item(0)->faces();
    Ptr<TriangleMesh> mesh = faces->item(0)->meshManager()->displayMeshes()->item(0);
    EXPECT_EQ(mesh->nodeCoordinatesAsFloat().size(), 8u);
    EXPECT_EQ(mesh->normalVectorsAsFloat().size(), 3u);
    EXPECT_TRUE(mesh->textureCoordinatesAsFloat().empty());
    EXPECT_EQ(mesh->nodeIndices().size(), 4u);
    EXPECT_FALSE(faces->item(1)->meshManager());
}

TEST_F(Model, AppearancePropertiesAndTextures) {
    Ptr<Design> design = host::buildDocument(lamp())->products()->item(0);
    Ptr<Appearance> red = design->appearances()->itemById("red");
    EXPECT_FALSE(red->hasTexture());
    Ptr<ColorProperty> color = red->appearanceProperties()->item(0);
    ASSERT_TRUE(color);
    EXPECT_EQ(color->id(), "opaque_albedo");
    EXPECT_FALSE(color->hasConnectedTexture());
    EXPECT_FALSE(color->connectedTexture());
    short r = 0, g = 0, b = 0, o = 0;
    color->value()->getColor(r, g, b, o);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 128);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(o, 255);
    EXPECT_FALSE(red->appearanceProperties()->item(-1));
    EXPECT_FALSE(red->appearanceProperties()->item(1));

    Ptr<Appearance> wood = design->appearances()->itemByName("Wood");
    EXPECT_TRUE(wood->hasTexture());
    Ptr<ColorProperty> mapped = wood->appearanceProperties()->itemById("opaque_albedo");
    EXPECT_FALSE(mapped->value());  // a texture drives it
    Ptr<Property> file = mapped->connectedTexture()->properties()->item(0);
    EXPECT_STREQ(file->objectType(), "adsk::core::FilenameProperty");
    EXPECT_EQ(file->cast<FilenameProperty>()->value(), "/t/grain.png");
}

TEST_F(Model, ProductsThatAreNotDesignsAndDesignsWithoutComponents) {
    host::DocumentData doc;
    doc.products.push_back({std::nullopt, "CAMProductType"});
    doc.addDesign();
    Ptr<Document> document = host::buildDocument(doc);
    ASSERT_EQ(document->products()->count(), 2u);
    Ptr<Product> other = document->products()->item(0);
    EXPECT_EQ(other->productType(), "CAMProductType");
    EXPECT_FALSE(other->cast<Design>());
    Ptr<Design> empty = document->products()->item(1);
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->rootComponent());
    EXPECT_EQ(empty->unitsManager()->defaultLengthUnits(), "cm");
}

TEST_F(Model, BadReferencesNameTheirPlace) {
    struct Case {
        const char* what;
        std::function<void(host::DesignData&)> spoil;
        size_t product;
        std::string path;
    };
    const std::vector<Case> cases = {
        {"face appearance", [](auto& d) { d.components[0].bodies[0].faces[0].appearance = "nope"; },
         1, "components[0].bodies[0].faces[0].appearance"},
        {"body appearance", [](auto& d) { d.components[1].bodies[0].appearance = "nope"; }, 1,
         "components[1].bodies[0].appearance"},
        {"occurrence component", [](auto& d) { d.components[0].occurrences[1].component = "leg"; },
         1, "components[0].occurrences[1].component"},
        {"override", [](auto& d) { d.components[0].occurrences[0].appearance = "gold"; }, 1,
         "components[0].occurrences[0].appearance"},
        {"root", [](auto& d) { d.root = "base"; }, 1, "root"},
        {"duplicate component", [](auto& d) { d.components[1].id = "lamp"; }, 1,
         "components[1].id"},
        {"duplicate appearance", [](auto& d) { d.appearances[1].id = "red"; }, 1,
         "appearances[1].id"},
        {"cycle", [](auto& d) { d.components[1].occurrences.push_back({.component = "lamp"}); }, 1,
         "components[1].occurrences[0].component"},
        {"self", [](auto& d) { d.components[1].occurrences.push_back({.component = "arm"}); }, 1,
         "components[1].occurrences[0].component"},
    };
    for (const Case& c : cases) {
        host::DocumentData doc = lamp();
        doc.products.insert(doc.products.begin(), {std::nullopt, "Other"});
        c.spoil(*doc.products[1].design);
        try {
            host::openDocument(doc);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const host::BuildError& e) {
            EXPECT_EQ(e.product, c.product) << c.what;
            EXPECT_EQ(e.path, c.path) << c.what;
            EXPECT_FALSE(e.cause.empty());
        }
    }
    EXPECT_FALSE(Application::get()->activeDocument());  // nothing was opened
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

TEST_F(Model, VectorsNormaliseAndSubtractInPlace) {
    Ptr<Vector3D> v = Point3D::create(4, 6, 3)->asVector();
    ASSERT_TRUE(v->subtract(Vector3D::create(1, 2, 3)));
    EXPECT_DOUBLE_EQ(v->length(), 5);
    ASSERT_TRUE(v->normalize());
    EXPECT_EQ(v->asArray(), (std::vector<double>{0.6, 0.8, 0}));
    Ptr<Vector3D> zero = Vector3D::create();
    EXPECT_FALSE(zero->normalize());
    EXPECT_EQ(zero->asArray(), (std::vector<double>{0, 0, 0}));
}

TEST_F(Model, MeasuresOfAClosedMesh) {
    host::BodyData box{.name = "B", .faces = host::makeBox({2, 3, 4}, {10, -5, 7})};
    host::PhysicalData m = host::measureMeshes({box});
    EXPECT_NEAR(m.area, 2 * (6 + 12 + 8), 1e-9);
    EXPECT_NEAR(m.volume, 24, 1e-9);  // independent of where the box sits
    EXPECT_EQ(host::measureMeshes({}).area, 0);
}

TEST_F(Model, BuildingFromMovedRecordsEmptiesTheirMeshesOnly) {
    host::DocumentData doc = lamp();
    Ptr<Document> document = host::openDocument(std::move(doc));
    EXPECT_TRUE(
        doc.products[0].design->components[0].bodies[0].faces[0].meshes[0].coordinates.empty());
    EXPECT_EQ(doc.name, "Desk Lamp v3");
    Ptr<Design> design = document->products()->item(0);
    Ptr<TriangleMesh> mesh = design->rootComponent()
                                 ->bRepBodies()
                                 ->item(0)
                                 ->faces()
                                 ->item(0)
                                 ->meshManager()
                                 ->displayMeshes()
                                 ->item(1);
    EXPECT_EQ(mesh->nodeCoordinatesAsFloat(), (std::vector<float>{0, 0, 1, 1, 0, 1, 0, 1, 1}));
    // The camera of the moved records still reached the viewport.
    EXPECT_EQ(Application::get()->activeViewport()->camera()->cameraType(), OrthographicCameraType);
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
