// Material blocks and shader numbering, the camera block and its environment.
#include <gtest/gtest.h>

#include "scene/LightCamera.h"
#include "scene/Material.h"
#include "scene/MemoryScene.h"
#include "scene/OrvGroup.h"
#include "scene/TriangleObject.h"

namespace orv {
namespace {

TEST(Diffuse, VertexColorShaderComesFirstAndFeedsDiffuse) {
    test::MemoryScene scene;
    Diffuse material("painted");
    material.setVertexColor(true);
    material.setColor(0.1f, 0.2f, 0.3f);
    scene.oo.writeNode(material);
    EXPECT_EQ(scene.text(),
              "material \"painted\" {\n #define shader 1 vertex_color {\n"
              "  \"default_color\" 0.8 0.8 0.8,\n }\n"
              " #define shader 2 orv_diffuse {\n  \"diffuse\" 0.1 0.2 0.3,\n  \"diffuse\" ! 1,\n"
              " }\n"
              " surface 2\n flags 4096\n"
              "}\n");
}

TEST(FusionMaterial, WithoutAppearanceIsWhiteUntexturedAndWritesNoFlags) {
    test::MemoryScene scene;
    FusionMaterial material;
    scene.oo.writeNode(material);
    EXPECT_EQ(scene.text(),
              "material \"Generic material\" {\n #define shader 1 orv_diffuse {\n"
              "  \"diffuse\" 1 1 1,\n }\n"
              " surface 1\n"
              "}\n");
}

TEST(Material, SharedMaterialIsWrittenInEachObjectWithFreshShaderIds) {
    test::MemoryScene scene;
    auto shared = std::make_shared<FusionMaterial>();
    shared->setTexture("t.png");
    OrvGroup group("g");
    const float vertices[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const int32_t triangle[] = {0, 1, 2};
    for (const char* name : {"a", "b"}) {
        auto object = std::make_shared<TriangleObject>(name);
        object->setVertices(vertices, 9);
        object->setTriangles(triangle, 3);
        object->setMaterial(shared);
        group.addNode(object);
    }
    scene.oo.writeNode(group);
    const std::string text = scene.text();
    const auto second = text.find("object \"b\"");
    ASSERT_NE(second, std::string::npos);
    const std::string first = text.substr(0, second), rest = text.substr(second);
    for (const char* piece : {"#define shader 1 texture2_rgb", "#define shader 2 orv_diffuse",
                              "\"diffuse\" ! 1,", "surface 2\n"})
        EXPECT_NE(first.find(piece), std::string::npos) << piece;
    for (const char* piece : {"#define shader 3 texture2_rgb", "#define shader 4 orv_diffuse",
                              "\"diffuse\" ! 3,", "surface 4\n"})
        EXPECT_NE(rest.find(piece), std::string::npos) << piece;
}

TEST(Material, DefinedMaterialIsWrittenAsReference) {
    test::MemoryScene scene;
    Diffuse material("m");
    material.define(scene.oo);
    EXPECT_TRUE(material.isDefined());
    scene.oo.writeNode(material);
    EXPECT_EQ(scene.text(),
              "\n#define material \"m\" {\n #define shader 1 orv_diffuse {\n"
              "  \"diffuse\" 0.75 0.5 0.5,\n }\n"
              " surface 1\n flags 4096\n}\n"
              "material \"m\"\n");
}

// The camera block with the given projection lines and the lines after "up".
std::string cameraText(const std::string& projection, const std::string& tail = "",
                       int environment = 1) {
    const std::string id = std::to_string(environment);
    return "\ncamera \"Cam\" {\n" + projection + " #define shader " + id +
           " orv_envmap {\n  \"texture\" \"startup.hdr\",\n  \"format\" 3,\n  \"radius\" 25,\n }\n"
           " reflection map " +
           id +
           "\n"
           " position 0 0 0\n"
           " direction 0 0 -1\n"
           " up 0 1 0\n" +
           tail + "}\n";
}

const std::string perspective = " projection \"perspective\"\n fov 60\n";

TEST(LightCamera, ProjectionLines) {
    struct Row {
        const char* label;
        void (*setup)(LightCamera&);
        std::string lines;
    };
    const Row rows[] = {
        {"default: perspective, sixty degrees", [](LightCamera&) {}, perspective},
        {"orthographic writes the window and no field of view",
         [](LightCamera& c) {
             c.setFov(30);
             c.setProjection(LightCamera::orthographic);
             c.setWindow(-1, 1, -2, 2);
         },
         " projection \"orthographic\"\n window -1 1 -2 2\n"},
        {"four-value field of view", [](LightCamera& c) { c.setFov4(1, 2, 3, 4); },
         " projection \"perspective\"\n fov4 1 2 3 4\n"},
        {"setFov after the four values",
         [](LightCamera& c) {
             c.setFov4(1, 2, 3, 4);
             c.setFov(45);
         },
         " projection \"perspective\"\n fov 45\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        test::MemoryScene scene;
        LightCamera camera("Cam");
        row.setup(camera);
        scene.oo.writeNode(camera);
        EXPECT_EQ(scene.text(), cameraText(row.lines));
    }
}

TEST(LightCamera, ClippingOnlyWhenBothPositiveAndFarBeyondNear) {
    struct Case {
        float nearClip, farClip;
        const char* line;
    };
    for (const Case c : {Case{0.1f, 0.1f, ""}, Case{0.1f, 100.0f, " clipping 0.1 100\n"},
                         Case{0.0f, 100.0f, ""}, Case{0.1f, -1.0f, ""}, Case{100.0f, 0.1f, ""}}) {
        SCOPED_TRACE(std::to_string(c.nearClip) + " " + std::to_string(c.farClip));
        test::MemoryScene scene;
        LightCamera camera("Cam");
        camera.setClipping(c.nearClip, c.farClip);
        scene.oo.writeNode(camera);
        EXPECT_EQ(scene.text(), cameraText(perspective, c.line));
    }
}

TEST(LightCamera, LookAtAndTransformUnlessTheCameraCarriesNodes) {
    const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    LightCamera camera("Cam");
    camera.setPosition(1, 2, 3);
    camera.setLookAt(0, 0, 0);
    camera.setTransform(m);
    test::MemoryScene alone;
    alone.oo.writeNode(camera);
    const std::string text = alone.text();
    EXPECT_NE(text.find(" position 1 2 3\n direction 0 0 -1\n look_at 0 0 0\n up 0 1 0\n"
                        " transform 1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1\n}\n"),
              std::string::npos)
        << text;

    camera.addNode(std::make_shared<OrvGroup>("inside"));
    test::MemoryScene withNodes;
    withNodes.oo.writeNode(camera);
    EXPECT_TRUE(withNodes.text().ends_with(" up 0 1 0\n\n group \"inside\" {\n }\n}\n"))
        << withNodes.text();
}

TEST(LightCamera, EnvironmentShaderIdContinuesAfterMaterials) {
    test::MemoryScene scene;
    Diffuse plain("a");
    plain.setVertexColor(true);
    FusionMaterial textured;
    textured.setTexture("t.png");
    scene.oo.writeNode(plain);     // shaders 1 and 2
    scene.oo.writeNode(textured);  // shaders 3 and 4
    const std::string materials = scene.text();
    LightCamera camera("Cam");
    scene.oo.writeNode(camera);
    EXPECT_EQ(scene.text().substr(materials.size()), cameraText(perspective, "", 5));
}

}  // namespace
}  // namespace orv
