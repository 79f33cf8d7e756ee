// Material blocks and shader numbering, the camera block and its environment.
#include <gtest/gtest.h>

#include <algorithm>

#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightCamera.h"
#include "scene/Material.h"
#include "scene/OrvGroup.h"
#include "scene/RecordingSceneApi.h"
#include "scene/TriangleObject.h"

namespace orv {
namespace {

using Calls = std::vector<std::string>;

struct Recorded {
    test::RecordingFactory factory;
    orvSceneapi_oo oo{factory};
    Calls written() const {
        const Calls& all = factory.recorder.calls;
        return Calls(all.begin() + 2, all.end());
    }
};

TEST(Diffuse, VertexColorShaderFeedsTheDiffuseShader) {
    Recorded r;
    Diffuse material("painted");
    material.setVertexColor(true);
    material.setColor(0.1f, 0.2f, 0.3f);
    r.oo.writeNode(material);
    EXPECT_EQ(r.written(),
              (Calls{"beginMaterial painted", "defineShader 1 vertex_color",
                     "default_color f3 0.8 0.8 0.8", "endShader", "defineShader 2 orv_diffuse",
                     "diffuse f3 0.1 0.2 0.3", "diffuse ! 1", "endShader", "bindShaderId 0 2",
                     "flags 4096", "endMaterial"}));
}

TEST(FusionMaterial, WithoutAppearanceIsWhiteUntexturedGenericMaterial) {
    Recorded r;
    FusionMaterial material;
    r.oo.writeNode(material);
    EXPECT_EQ(r.written(),
              (Calls{"beginMaterial Generic material", "defineShader 1 orv_diffuse",
                     "diffuse f3 1 1 1", "endShader", "bindShaderId 0 1", "endMaterial"}));
}

TEST(FusionMaterial, TextureShaderComesFirstAndFeedsDiffuse) {
    Recorded r;
    FusionMaterial material;
    material.setName("Oak");
    material.setColor(1.0f, 0.5f, 0.0f);
    material.setTexture("C:\\textures\\oak.png");
    r.oo.writeNode(material);
    EXPECT_EQ(r.written(),
              (Calls{"beginMaterial Oak", "defineShader 1 texture2_rgb", "uv_projection i 4",
                     "uv_flags i 44", "texture s C:\\textures\\oak.png", "endShader",
                     "defineShader 2 orv_diffuse", "diffuse f3 1 0.5 0", "diffuse ! 1", "endShader",
                     "bindShaderId 0 2", "endMaterial"}));
}

TEST(Material, SharedMaterialIsWrittenInEachObjectWithFreshShaderIds) {
    Recorded r;
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
    r.oo.writeNode(group);
    Calls shaders;
    for (const auto& call : r.written())
        if (call.starts_with("defineShader") || call.starts_with("bindShaderId") ||
            call.starts_with("diffuse !"))
            shaders.push_back(call);
    EXPECT_EQ(shaders, (Calls{"defineShader 1 texture2_rgb", "defineShader 2 orv_diffuse",
                              "diffuse ! 1", "bindShaderId 0 2", "defineShader 3 texture2_rgb",
                              "defineShader 4 orv_diffuse", "diffuse ! 3", "bindShaderId 0 4"}));
}

TEST(Material, DefinedMaterialIsWrittenAsReference) {
    Recorded r;
    Diffuse material("default");
    material.define(r.oo);
    EXPECT_TRUE(material.isDefined());
    EXPECT_EQ(r.written().front(), "beginMaterial default define");
    Recorded again;
    again.oo.writeNode(material);
    EXPECT_EQ(again.written(), (Calls{"useMaterial default"}));
}

const Calls environment = {
    "defineShader 1 orv_envmap", "texture s startup.hdr", "format i 3", "radius f 25", "endShader",
    "reflection map shader 1"};

Calls cameraCalls(const Calls& projection, const Calls& tail) {
    Calls calls = {"beginCamera Cam"};
    calls.insert(calls.end(), projection.begin(), projection.end());
    calls.insert(calls.end(), environment.begin(), environment.end());
    calls.insert(calls.end(), {"position d3 0 0 0", "direction d3 0 0 -1"});
    calls.insert(calls.end(), tail.begin(), tail.end());
    calls.push_back("endCamera");
    return calls;
}

TEST(LightCamera, DefaultCameraIsPerspectiveWithSixtyDegreesAndEnvironment) {
    Recorded r;
    LightCamera camera("Cam");
    r.oo.writeNode(camera);
    EXPECT_EQ(r.written(), cameraCalls({"projection s perspective", "fov f 60"}, {"up d3 0 1 0"}));
}

TEST(LightCamera, OrthographicWritesWindowAndNoFieldOfView) {
    Recorded r;
    LightCamera camera("Cam");
    camera.setProjection(LightCamera::orthographic);
    camera.setWindow(-1, 1, -2, 2);
    r.oo.writeNode(camera);
    EXPECT_EQ(r.written(),
              cameraCalls({"projection s orthographic", "window f4 -1 1 -2 2"}, {"up d3 0 1 0"}));
}

TEST(LightCamera, FovModesAndSetFovReturningToSingleValue) {
    LightCamera camera("Cam");
    camera.setFov4(1, 2, 3, 4);
    Recorded four;
    four.oo.writeNode(camera);
    EXPECT_EQ(four.written()[2], "fov4 f4 1 2 3 4");
    camera.setFov(45);
    Recorded single;
    single.oo.writeNode(camera);
    EXPECT_EQ(single.written()[2], "fov f 45");
}

TEST(LightCamera, ClippingOnlyWhenBothPositiveAndFarBeyondNear) {
    struct Case {
        float nearClip, farClip;
        bool written;
    };
    for (const Case c :
         {Case{0.1f, 0.1f, false}, Case{0.1f, 100.0f, true}, Case{0.0f, 100.0f, false},
          Case{0.1f, -1.0f, false}, Case{100.0f, 0.1f, false}}) {
        SCOPED_TRACE(std::to_string(c.nearClip) + " " + std::to_string(c.farClip));
        Recorded r;
        LightCamera camera("Cam");
        camera.setClipping(c.nearClip, c.farClip);
        r.oo.writeNode(camera);
        const Calls calls = r.written();
        const bool found =
            std::find(calls.begin(), calls.end(), "clipping f2 0.1 100") != calls.end();
        EXPECT_EQ(found, c.written);
        const Calls plain = cameraCalls({"projection s perspective", "fov f 60"}, {"up d3 0 1 0"});
        EXPECT_EQ(calls.size(), plain.size() + (c.written ? 1 : 0));
    }
}

TEST(LightCamera, LookAtAndNodesSuppressTransform) {
    const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    LightCamera camera("Cam");
    camera.setPosition(1, 2, 3);
    camera.setLookAt(0, 0, 0);
    camera.setTransform(m);
    Recorded alone;
    alone.oo.writeNode(camera);
    EXPECT_EQ(alone.written(),
              (Calls{"beginCamera Cam", "projection s perspective", "fov f 60",
                     "defineShader 1 orv_envmap", "texture s startup.hdr", "format i 3",
                     "radius f 25", "endShader", "reflection map shader 1", "position d3 1 2 3",
                     "direction d3 0 0 -1", "look_at d3 0 0 0", "up d3 0 1 0",
                     "transform 1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1", "endCamera"}));

    camera.addNode(std::make_shared<OrvGroup>("inside"));
    Recorded withNodes;
    withNodes.oo.writeNode(camera);
    const Calls calls = withNodes.written();
    EXPECT_EQ(Calls(calls.end() - 3, calls.end()),
              (Calls{"beginGroup inside", "endGroup", "endCamera"}));
}

TEST(LightCamera, EnvironmentShaderIdContinuesAfterMaterials) {
    Recorded r;
    Diffuse plain("a");
    plain.setVertexColor(true);
    FusionMaterial textured;
    textured.setTexture("t.png");
    r.oo.writeNode(plain);     // shaders 1, 2
    r.oo.writeNode(textured);  // shaders 3, 4
    LightCamera camera("Cam");
    r.oo.writeNode(camera);
    const Calls calls = r.written();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "defineShader 5 orv_envmap"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "reflection map shader 5"), calls.end());
}

}  // namespace
}  // namespace orv
