// The JSON design format: every field, its defaults, and each error with its place.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>
#include "host/Session.h"
#include "support/Files.h"
#include "tools/fusion-sim/DesignLoader.h"
#include "tools/fusion-sim/JsonDesignLoader.h"

using fusionsim::DesignError;
using fusionsim::JsonDesignLoader;

namespace {

using support::readFile;

const std::filesystem::path kData = support::dataPath("json");
const std::string kLamp = readFile(kData / "lamp.json");

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

// What an export shows of a design (names, units, appearances, textures,
// bodies, occurrences, placements) is pinned by the golden designs; these are
// the fields an export does not write.
TEST_F(JsonLoader, EveryFieldReachesTheHost) {
    using namespace adsk::core;
    using namespace adsk::fusion;
    Ptr<Document> doc = host::openDocument(load(kLamp));
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
    Ptr<Properties> props = design->appearances()->itemById("Prism-147")->appearanceProperties();
    ASSERT_EQ(props->count(), 4u);
    Ptr<Properties> texture = props->item(1)->cast<ColorProperty>()->connectedTexture()->properties();
    EXPECT_EQ(texture->item(0)->cast<FilenameProperty>()->value(), "/designs/textures/grain.png");
    EXPECT_DOUBLE_EQ(props->item(2)->cast<FloatProperty>()->value(), 0.3);
    EXPECT_STREQ(props->item(3)->objectType(), "adsk::core::Property");

    Ptr<Component> lamp = design->rootComponent();
    EXPECT_DOUBLE_EQ(lamp->physicalProperties()->area(), 812.5);
    Ptr<TriangleMeshList> meshes =
        lamp->bRepBodies()->item(1)->faces()->item(0)->meshManager()->displayMeshes();
    ASSERT_EQ(meshes->count(), 2u);
    EXPECT_EQ(meshes->item(1)->nodeCoordinatesAsFloat().size(), 5u);  // taken as given
    EXPECT_EQ(meshes->item(1)->nodeIndices().size(), 4u);
    // Measured from the generated box.
    Ptr<Component> arm = lamp->occurrences()->item(1)->component();
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
    EXPECT_TRUE(design.components[0].physical->fromBodies);
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

TEST_F(JsonLoader, ErrorsNameTheFileThePlaceAndTheCause) {
    std::istringstream table(readFile(kData / "refusals.tsv"));
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        ASSERT_NE(tab2, std::string::npos) << line;
        const std::string from = line.substr(0, tab1);
        const std::string to = line.substr(tab1 + 1, tab2 - tab1 - 1);
        EXPECT_EQ(refusal(spoiled(from, to)), "lamp.json: " + line.substr(tab2 + 1)) << from;
        ++rows;
    }
    EXPECT_GT(rows, 30);
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
    const support::TempFolder folder;
    std::filesystem::create_directories(folder / "sub");
    support::writeFile(folder / "sub" / "lamp.json", spoiled("textures/grain.png", "../tex/grain.png"));
    host::DocumentData d = fusionsim::loadDesign((folder / "sub" / "lamp.json").string());
    const host::PropertyData& texture =
        d.products[0].design->appearances[0].properties[1].textureProperties[0];
    EXPECT_EQ(texture.filename, (folder / "tex" / "grain.png").string());
}
