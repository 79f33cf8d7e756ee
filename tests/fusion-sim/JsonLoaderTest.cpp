// The JSON design format: every field, its defaults, and each error with its place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/Fusion.h"
#include "host/Session.h"
#include "tools/fusion-sim/DesignLoader.h"
#include "tools/fusion-sim/JsonDesignLoader.h"

using fusionsim::DesignError;
using fusionsim::JsonDesignLoader;

namespace {

const char* kLamp = R"json({
  "format": "design/1",
  "document": { "name": "Desk Lamp v3", "saved": true, "version": "v3", "creationId": "5f1c" },
  "units": "mm",
  "modelingOrientation": "z-up",
  "camera": { "type": "perspective-with-ortho-faces", "eye": [40, 30, 40], "target": [1, 2, 3],
              "up": [0, 0, 1], "perspectiveAngle": 0.7 },
  "appearances": [
    { "id": "Prism-147", "name": "Paint - Enamel Glossy (Red)",
      "properties": [
        { "id": "opaque_albedo", "type": "color", "value": [200, 30, 30, 255] },
        { "id": "opaque_albedo_map", "type": "color", "value": null,
          "texture": { "properties": [
            { "id": "unifiedbitmap_Bitmap", "type": "filename", "value": "textures/grain.png" },
            { "id": "second", "type": "filename", "value": "/abs/other.png" } ] } },
        { "id": "surface_roughness", "type": "float", "value": 0.3 },
        { "id": "mode", "type": "choice", "value": "x" } ] },
    { "id": "Prism-200", "name": "Blue", "properties": [] } ],
  "components": [
    { "id": "lamp", "name": "Lamp",
      "physicalProperties": { "area": 812.5, "volume": 920.0 },
      "bodies": [
        { "name": "Base", "visible": true, "appearance": "Prism-147",
          "shape": { "type": "cylinder", "radius": 8, "height": 2, "segments": 48, "axis": "y" },
          "faceAppearances": [null, "Prism-200"] },
        { "name": "Plate", "visible": false, "faces": [
          { "appearance": "Prism-200",
            "meshes": [ { "coordinates": [0,0,0, 1,0,0, 0,1,0], "normals": [0,0,1, 0,0,1, 0,0,1],
                          "textureCoordinates": [0,0, 1,0, 0,1], "indices": [0,1,2] },
                        { "coordinates": [0,0,0, 1,0], "indices": [0,1,2,3] } ] },
          { } ] } ],
      "occurrences": [
        { "component": "arm", "visible": false, "appearance": "Prism-147",
          "transform": [[0,-1,0,1],[1,0,0,12.5],[0,0,1,-3],[0,0,0,1]] },
        { "component": "arm" } ] },
    { "id": "arm", "name": "Arm", "bodies": [ { "shape": { "type": "box", "size": [1, 2, 3] } } ],
      "occurrences": [] } ],
  "root": "lamp"
})json";

class JsonLoader : public ::testing::Test {
  protected:
    void SetUp() override { host::resetApplication(); }

    host::DocumentData load(const std::string& text) {
        return JsonDesignLoader().loadText(text, "lamp.json", "/designs");
    }

    // The message of a refused design.
    std::string refusal(const std::string& text) {
        try {
            load(text);
        } catch (const DesignError& e) {
            return e.what();
        }
        return "accepted";
    }
};

// A lamp with one spoiled part: text replaced in the sample.
std::string spoiled(const std::string& from, const std::string& to) {
    std::string text = kLamp;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

}  // namespace

TEST_F(JsonLoader, EveryFieldReachesTheHost) {
    using namespace adsk::core;
    using namespace adsk::fusion;
    Ptr<Document> doc = host::openDocument(load(kLamp));
    EXPECT_EQ(doc->name(), "Desk Lamp v3");
    EXPECT_EQ(doc->version(), "v3");
    EXPECT_EQ(doc->creationId(), "5f1c");
    Ptr<Application> app = Application::get();
    EXPECT_EQ(app->preferences()->generalPreferences()->defaultModelingOrientation(),
              ZUpModelingOrientation);
    Ptr<Camera> camera = app->activeViewport()->camera();
    EXPECT_EQ(camera->cameraType(), PerspectiveWithOrthoFacesCameraType);
    EXPECT_EQ(camera->target()->asArray(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(camera->upVector()->asArray(), (std::vector<double>{0, 0, 1}));
    EXPECT_DOUBLE_EQ(camera->perspectiveAngle(), 0.7);

    Ptr<Design> design = doc->products()->item(0);
    EXPECT_EQ(design->unitsManager()->defaultLengthUnits(), "mm");
    Ptr<Appearance> red = design->appearances()->itemById("Prism-147");
    EXPECT_EQ(red->name(), "Paint - Enamel Glossy (Red)");
    Ptr<Properties> props = red->appearanceProperties();
    ASSERT_EQ(props->count(), 4u);
    EXPECT_EQ(props->item(0)->cast<ColorProperty>()->value()->green(), 30);
    Ptr<ColorProperty> map = props->item(1);
    EXPECT_FALSE(map->value());
    Ptr<Properties> texture = map->connectedTexture()->properties();
    EXPECT_EQ(texture->item(0)->cast<FilenameProperty>()->value(), "/designs/textures/grain.png");
    EXPECT_EQ(texture->item(1)->cast<FilenameProperty>()->value(), "/abs/other.png");
    EXPECT_DOUBLE_EQ(props->item(2)->cast<FloatProperty>()->value(), 0.3);
    EXPECT_STREQ(props->item(3)->objectType(), "adsk::core::Property");

    Ptr<Component> lamp = design->rootComponent();
    EXPECT_DOUBLE_EQ(lamp->physicalProperties()->area(), 812.5);
    Ptr<BRepBody> base = lamp->bRepBodies()->item(0);
    ASSERT_EQ(base->faces()->count(), 3u);
    EXPECT_FALSE(base->faces()->item(0)->appearance());
    EXPECT_EQ(base->faces()->item(1)->appearance()->id(), "Prism-200");
    EXPECT_FALSE(base->faces()->item(2)->appearance());
    Ptr<BRepBody> plate = lamp->bRepBodies()->item(1);
    EXPECT_FALSE(plate->isVisible());
    Ptr<TriangleMeshList> meshes = plate->faces()->item(0)->meshManager()->displayMeshes();
    ASSERT_EQ(meshes->count(), 2u);
    EXPECT_EQ(meshes->item(0)->textureCoordinatesAsFloat().size(), 6u);
    EXPECT_EQ(meshes->item(1)->nodeCoordinatesAsFloat().size(), 5u);  // taken as given
    EXPECT_TRUE(meshes->item(1)->normalVectorsAsFloat().empty());
    EXPECT_EQ(meshes->item(1)->nodeIndices().size(), 4u);
    EXPECT_EQ(plate->faces()->item(1)->meshManager()->displayMeshes()->count(), 0u);

    Ptr<Occurrence> hidden = lamp->occurrences()->item(0);
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(hidden->appearance()->id(), "Prism-147");
    Ptr<Matrix3D> m = hidden->transform();
    EXPECT_DOUBLE_EQ(m->getCell(0, 1), -1);  // rows as written
    EXPECT_DOUBLE_EQ(m->getCell(1, 3), 12.5);
    EXPECT_DOUBLE_EQ(m->getCell(2, 3), -3);
    Ptr<Occurrence> plain = lamp->occurrences()->item(1);
    EXPECT_TRUE(plain->isVisible());
    EXPECT_FALSE(plain->appearance());
    EXPECT_EQ(plain->transform()->asArray(), Matrix3D::create()->asArray());

    Ptr<Component> arm = plain->component();
    EXPECT_EQ(arm->name(), "Arm");
    Ptr<BRepBody> box = arm->bRepBodies()->item(0);
    EXPECT_EQ(box->name(), "Body1");
    EXPECT_EQ(box->faces()->count(), 6u);
    // Measured from the generated box.
    EXPECT_NEAR(arm->physicalProperties()->volume(), 6, 1e-9);
    EXPECT_NEAR(arm->physicalProperties()->area(), 22, 1e-9);
}

TEST_F(JsonLoader, DefaultsOfAMinimalDesign) {
    host::DocumentData d = JsonDesignLoader().loadText(R"({"format":"design/1",
        "components":[{"name":"Only"}]})",
                                                       "/x/Gear v2.json", "/x");
    EXPECT_EQ(d.name, "Gear v2");  // the file's name without extension
    EXPECT_TRUE(d.saved);
    EXPECT_EQ(d.modelingOrientation, adsk::core::YUpModelingOrientation);
    EXPECT_EQ(d.camera.type, adsk::core::PerspectiveCameraType);
    ASSERT_EQ(d.products.size(), 1u);
    const host::DesignData& design = *d.products[0].design;
    EXPECT_EQ(design.units, "cm");
    EXPECT_EQ(design.components[0].id, "Only");
    ASSERT_TRUE(design.components[0].physical);
    EXPECT_EQ(design.components[0].physical->area, 0);
    host::openDocument(d);
    EXPECT_EQ(adsk::core::Application::get()
                  ->activeDocument()
                  ->products()
                  ->item(0)
                  ->cast<adsk::fusion::Design>()
                  ->rootComponent()
                  ->name(),
              "Only");
}

TEST_F(JsonLoader, NeverSavedDocumentsDropTheirVersion) {
    host::DocumentData d = load(spoiled(R"("saved": true)", R"("saved": false)"));
    EXPECT_FALSE(d.saved);
    EXPECT_EQ(d.version, "");
}

TEST_F(JsonLoader, ProductsListDesignsAndOtherProducts) {
    host::DocumentData d = load(R"({"format":"design/1", "document": {"name": "Multi"},
        "products": [ {"type": "CAMProductType"},
                      {"units": "in", "components": [{"id": "a", "name": "A"}]} ]})");
    ASSERT_EQ(d.products.size(), 2u);
    EXPECT_FALSE(d.products[0].design);
    EXPECT_EQ(d.products[0].productType, "CAMProductType");
    EXPECT_EQ(d.products[1].design->units, "in");

    EXPECT_EQ(refusal(R"({"format":"design/1", "products": [{}, {"components": [
                 {"name": "A", "occurrences": [{"component": "B"}]}]}]})"),
              "lamp.json: products[1].components[0].occurrences[0].component: unknown component id "
              "\"B\"");
    EXPECT_EQ(
        refusal(R"({"format":"design/1", "units": "mm", "products": []})"),
        "lamp.json: units: cannot stand beside \"products\" (each product holds its own design)");
}

TEST_F(JsonLoader, ErrorsNameTheFileThePlaceAndTheCause) {
    struct Case {
        std::string from, to, message;
    };
    const std::vector<Case> cases = {
        {R"("format": "design/1")", R"("format": "design/2")",
         "format: unsupported format \"design/2\" (expected \"design/1\")"},
        {R"("format": "design/1",)", "", "format: missing (expected \"design/1\")"},
        {R"("modelingOrientation": "z-up")", R"("modelingOrientation": "x-up")",
         "modelingOrientation: unknown orientation \"x-up\" (expected y-up or z-up)"},
        {R"("type": "perspective-with-ortho-faces")", R"("type": "fisheye")",
         "camera.type: unknown camera type \"fisheye\" (expected orthographic, perspective or "
         "perspective-with-ortho-faces)"},
        {R"("up": [0, 0, 1])", R"("up": [0, 1])", "camera.up: expected 3 numbers, found 2"},
        {"[200, 30, 30, 255]", "[200, 30, 300, 255]",
         "appearances[0].properties[0].value[2]: must be between 0 and 255"},
        {"[200, 30, 30, 255]", "[200, 30, 30]",
         "appearances[0].properties[0].value: expected red, green, blue and opacity (4 whole "
         "numbers "
         "from 0 to 255)"},
        {R"("value": "textures/grain.png")", R"("value": 7)",
         "appearances[0].properties[1].texture.properties[0].value: expected a string, found "
         "number"},
        {R"("appearance": "Prism-200",
            "meshes")",
         R"("appearance": "Prism-999",
            "meshes")",
         "components[0].bodies[1].faces[0].appearance: unknown appearance id \"Prism-999\""},
        {"[0,0,0, 1,0,0, 0,1,0]", R"([0,0,0, 1,"x",0, 0,1,0])",
         "components[0].bodies[1].faces[0].meshes[0].coordinates[4]: expected a number, found "
         "string"},
        {"[0,1,2]", "[0,1.5,2]",
         "components[0].bodies[1].faces[0].meshes[0].indices[1]: expected a whole number, found "
         "1.5"},
        {R"({ "coordinates": [0,0,0, 1,0], "indices": [0,1,2,3] })",
         R"({ "coordinates": [0,0,0, 1,0] })",
         "components[0].bodies[1].faces[0].meshes[1].indices: missing"},
        {R"("faceAppearances": [null, "Prism-200"])",
         R"("faceAppearances": [null, "Prism-200", null, null])",
         "components[0].bodies[0].faceAppearances: 4 appearances for 3 faces"},
        {R"("faceAppearances": [null, "Prism-200"])", R"("faceAppearances": ["Gold"])",
         "components[0].bodies[0].faces[0].appearance: unknown appearance id \"Gold\""},
        {R"("type": "cylinder")", R"("type": "cone")",
         "components[0].bodies[0].shape.type: unknown shape \"cone\" (expected box, cylinder or "
         "sphere)"},
        {R"("axis": "y")", R"("axis": "w")",
         "components[0].bodies[0].shape.axis: unknown axis \"w\" (expected x, y or z)"},
        {R"("radius": 8)", R"("radius": -8)",
         "components[0].bodies[0].shape.radius: must be greater than 0"},
        {R"("segments": 48)", R"("segments": 2)",
         "components[0].bodies[0].shape.segments: must be between 3 and 2048"},
        {R"("size": [1, 2, 3])", R"("size": [1, 0, 3])",
         "components[1].bodies[0].shape.size[1]: must be greater than 0"},
        {R"("name": "Plate", "visible": false, "faces": [)",
         R"("name": "Plate", "shape": {"type": "box"}, "faces": [)",
         "components[0].bodies[1].shape: a body has either faces or a shape, not both"},
        {R"("visible": true, "appearance": "Prism-147",)",
         R"("visible": "yes", "appearance": "Prism-147",)",
         "components[0].bodies[0].visible: expected true or false, found string"},
        {"[[0,-1,0,1],[1,0,0,12.5],[0,0,1,-3],[0,0,0,1]]", "[[0,-1,0,1],[1,0,0,12.5],[0,0,1,-3]]",
         "components[0].occurrences[0].transform: expected 4 rows of 4 numbers"},
        {"[[0,-1,0,1],[1,0,0,12.5],[0,0,1,-3],[0,0,0,1]]",
         "[[0,-1,0,1],[1,0,0],[0,0,1,-3],[0,0,0,1]]",
         "components[0].occurrences[0].transform[1]: expected a row of 4 numbers"},
        {"[[0,-1,0,1],[1,0,0,12.5],[0,0,1,-3],[0,0,0,1]]",
         "[[0,-1,0,1],[1,0,0,12.5],[0,0,1,null],[0,0,0,1]]",
         "components[0].occurrences[0].transform[2][3]: expected a number, found null"},
        {R"({ "component": "arm" })", R"({ "component": "leg" })",
         "components[0].occurrences[1].component: unknown component id \"leg\""},
        {R"("occurrences": [] })", R"("occurrences": [{"component": "lamp"}] })",
         "components[1].occurrences[0].component: occurrence of \"lamp\" makes a cycle of "
         "occurrences"},
        {R"({ "id": "arm", "name": "Arm")", R"({ "id": "lamp", "name": "Arm")",
         "components[1].id: component id \"lamp\" is used twice"},
        {R"({ "id": "Prism-200")", R"({ "id": "Prism-147")",
         "appearances[1].id: appearance id \"Prism-147\" is used twice"},
        {R"("root": "lamp")", R"("root": "base")", "root: unknown component id \"base\""},
        {R"("physicalProperties": { "area": 812.5, "volume": 920.0 })",
         R"("physicalProperties": { "area": 812.5 })",
         "components[0].physicalProperties.volume: missing"},
        {R"("creationId": "5f1c")", R"("creationID": "5f1c")",
         "document.creationID: unknown field"},
        {R"("units": "mm",)", R"("units": 10,)", "units: expected a string, found number"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(refusal(spoiled(c.from, c.to)), "lamp.json: " + c.message)
            << c.from << " -> " << c.to;
}

TEST_F(JsonLoader, UnreadableOrMalformedFilesAndUnknownKinds) {
    EXPECT_EQ(refusal("[1, 2"),
              "lamp.json: not JSON: parse error at line 1, column 6: syntax error while "
              "parsing array - unexpected end of input; expected ']'");
    EXPECT_EQ(refusal("[]"), "lamp.json: expected an object, found array");
    const std::string missing = "/nonexistent/lamp.json";
    try {
        fusionsim::loadDesign(missing);
        ADD_FAILURE();
    } catch (const DesignError& e) {
        EXPECT_EQ(std::string(e.what()), missing + ": cannot read: No such file or directory");
    }
    EXPECT_THROW(fusionsim::loaderFor("lamp.obj"), DesignError);
    EXPECT_NO_THROW(fusionsim::loaderFor("LAMP.JSON"));
}

TEST_F(JsonLoader, TexturePathsAreTakenFromTheDesignFilesFolder) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("fusion-sim-json-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "sub");
    const auto file = folder / "sub" / "lamp.json";
    std::ofstream(file) << spoiled("textures/grain.png", "../tex/grain.png");
    host::DocumentData d = fusionsim::loadDesign(file.string());
    const host::PropertyData& texture =
        d.products[0].design->appearances[0].properties[1].textureProperties[0];
    EXPECT_EQ(texture.filename, (folder / "tex" / "grain.png").string());
    std::filesystem::remove_all(folder);
}
