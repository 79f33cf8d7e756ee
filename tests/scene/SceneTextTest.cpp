// Scene nodes written through the wrapper into the file writer: each scene
// below gives the checked-in text of tests/data/scene/<name>.bip.
#include <gtest/gtest.h>

#include <functional>

#include "scene/LightCamera.h"
#include "scene/LightModule.h"
#include "scene/Material.h"
#include "scene/MemoryScene.h"
#include "scene/OrvGroup.h"
#include "scene/TriangleObject.h"
#include "support/Files.h"

namespace orv {
namespace {

const std::vector<float> corners = {0, 0, 0, 1, 0, 0, 0, 1, 0};
const std::vector<int32_t> triangle = {0, 1, 2};
const std::vector<float> threeFloats = {0, 0, 1};

std::shared_ptr<TriangleObject> makeTriangle(const char* name = "tri") {
    auto object = std::make_shared<TriangleObject>(name);
    object->setVertices(corners.data(), corners.size());
    object->setTriangles(triangle.data(), triangle.size());
    return object;
}

using Write = std::function<void(orvSceneapi_oo&)>;

const std::pair<const char*, Write> kScenes[] = {
    {"group-empty",
     [](orvSceneapi_oo& oo) {
         OrvGroup group("g");
         group.setFlags(3);
         group.setFlags(0);
         group.addNode(nullptr);
         group.addChild(nullptr);
         oo.writeNode(group);
     }},
    {"group-order",  // flags, transform, own nodes, then child groups
     [](orvSceneapi_oo& oo) {
         OrvGroup root("root");
         auto child = root.addGroup("child");  // added before the node on purpose
         child->addNode(std::make_shared<OrvGroup>("inner"));
         root.addNode(std::make_shared<OrvGroup>("own"));
         root.addChild(std::make_shared<OrvGroup>("last"));
         root.setFlags(8);
         const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
         root.setTransform(m);
         oo.writeNode(root);
     }},
    {"module-defaults", [](orvSceneapi_oo& oo) {
         DefaultRTModule module;
         oo.writeNode(module);
         module.setUseCamera("Active Camera");
         module.setUseCamera("");  // an empty camera name drops the option again
         oo.writeNode(module);
     }},
    {"module-changed",
     [](orvSceneapi_oo& oo) {
         DefaultRTModule module;
         module.setUpVector(1);
         module.setMeterScale(39.37008f);
         module.setKeepOriginal(true);
         module.setCenterGeometry(false);
         module.setSnapToGround(true);
         module.setAdjustCamera(false);
         module.setAdjustEnvironment(false);
         module.setUseCamera("Active Camera");
         oo.writeNode(module);
     }},
    {"triangles",  // with its own default material, without one, a shared textured one
     [](orvSceneapi_oo& oo) {
         oo.writeNode(*makeTriangle());
         auto bare = makeTriangle("bare");
         bare->setMaterial(nullptr);
         oo.writeNode(*bare);
         auto shared = std::make_shared<FusionMaterial>();
         shared->setTexture("t.png");
         OrvGroup group("g");
         for (const char* name : {"a", "b"}) {
             auto object = makeTriangle(name);
             object->setMaterial(shared);
             group.addNode(object);
         }
         oo.writeNode(group);
     }},
    {"triangle-findings",  // each finding still writes the object, then the error
     [](orvSceneapi_oo& oo) {
         auto normals = makeTriangle("normals");
         normals->setNormals(threeFloats.data(), 3);
         oo.writeNode(*normals);
         auto uvs = makeTriangle("uvs");
         uvs->setUvs(corners.data(), 4);
         oo.writeNode(*uvs);
         TriangleObject bad("no triangles");  // findings in order, then no object
         const std::vector<float> quad(12, 0.5f), nineUvs(9, 0.5f);
         bad.setVertices(quad.data(), quad.size());
         bad.setNormals(threeFloats.data(), 3);
         bad.setUvs(nineUvs.data(), nineUvs.size());
         oo.writeNode(bad);
     }},
    {"materials",
     [](orvSceneapi_oo& oo) {
         Diffuse painted("painted");
         painted.setColor(0.1f, 0.2f, 0.3f);
         oo.writeNode(painted);
         FusionMaterial untextured;  // white, no flags
         oo.writeNode(untextured);
     }},
    {"cameras",  // perspective, orthographic; the environment's shader id follows the materials
     [](orvSceneapi_oo& oo) {
         LightCamera perspective("Cam");
         oo.writeNode(perspective);
         LightCamera orthographic("Ortho");
         orthographic.setFov(30);
         orthographic.setProjection(LightCamera::orthographic);
         oo.writeNode(orthographic);
         FusionMaterial textured;
         textured.setTexture("t.png");
         oo.writeNode(textured);
         LightCamera after("After");
         after.setFov(45);
         oo.writeNode(after);
     }},
};

TEST(SceneText, EachSceneGivesItsCheckedInText) {
    for (const auto& [name, write] : kScenes) {
        test::MemoryScene scene;
        write(scene.oo);
        const auto file = support::dataPath(std::string("scene/") + name + ".bip");
        EXPECT_EQ(scene.text(), support::readFile(file)) << name;
    }
}

TEST(TriangleObject, FourVerticesTakeEightUvFloats) {
    TriangleObject object("quad");
    const std::vector<float> quad(12, 0.5f), eightUvs(8, 0.5f);
    object.setVertices(quad.data(), quad.size());
    object.setUvs(eightUvs.data(), eightUvs.size());
    object.setTriangles(triangle.data(), triangle.size());
    EXPECT_TRUE(object.validate());
    EXPECT_EQ(object.getMessage(), "");
}

TEST(TriangleObject, ArraysReachTheWriterWithoutCopy) {
    test::MemoryScene scene;
    auto object = makeTriangle();
    object->setNormals(corners.data(), corners.size());
    scene.oo.writeNode(*object);
    EXPECT_EQ(scene.writer.arrayData,
              (std::vector<const void*>{object->getVertices().data(), object->getTriangles().data(),
                                        object->getNormals().data()}));
}

}  // namespace
}  // namespace orv
