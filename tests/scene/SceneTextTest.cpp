// Exact scene text written by the nodes through the wrapper and the file writer,
// with indentation and text arrays on, as the export writes it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "importers/sceneapi/orvScene_api_file.h"
#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/LightCamera.h"
#include "scene/LightFactory.h"
#include "scene/LightModule.h"
#include "scene/Material.h"
#include "scene/OrvGroup.h"
#include "scene/TriangleObject.h"

namespace orv {
namespace {

// Writes into memory; text() returns what the nodes wrote after the wrapper's
// opening lines.
class MemoryScene : public LightFactory {
  public:
    MemoryScene() : stream(open_memstream(&buffer, &size)), writer(stream, false), oo(*this) {
        writer.setFlags(1);
        std::fflush(stream);
        opening = size;
    }
    ~MemoryScene() override {
        std::fclose(stream);
        std::free(buffer);
    }
    orvScene_api* getSceneApi() override { return &writer; }
    void writeHeader(orvSceneapi_oo&) override {}
    void close() override {}

    std::string text() {
        std::fflush(stream);
        return std::string(buffer + opening, size - opening);
    }

  private:
    char* buffer = nullptr;
    size_t size = 0;
    size_t opening = 0;
    FILE* stream;
    orvScene_api_file writer;

  public:
    orvSceneapi_oo oo;
};

const float triangle[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
const int32_t corners[] = {0, 1, 2};

TEST(SceneText, ModuleAndGroupTreeWithObject) {
    MemoryScene scene;
    DefaultRTModule module;
    module.setMeterScale(1000);
    scene.oo.writeNode(module);
    OrvGroup root("root");
    root.setFlags(8);
    const double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    auto child = root.addGroup("child");
    child->setTransform(m);
    auto object = std::make_shared<TriangleObject>("tri");
    object->setVertices(triangle, 9);
    object->setTriangles(corners, 3);
    root.addNode(object);
    scene.oo.writeNode(root);
    EXPECT_EQ(scene.text(),
              "load \"orvrtopt.so\" {\n"
              " \"import_mode\" on,\n"
              " \"import_merge_groups\" on,\n"
              " \"import_merge_objects\" on,\n"
              " \"import_up_vector\" 0,\n"
              " \"meter_scale\" 1000,\n"
              " \"import_keep_original\" off,\n"
              " \"import_center_geometry\" on,\n"
              " \"import_snap_to_ground\" off,\n"
              " \"import_adjust_camera\" on,\n"
              " \"import_adjust_environment\" on,\n"
              " \"ext\" on,\n"
              "}\n"
              "\n"
              "group \"root\" {\n"
              " flags 8\n"
              " object \"tri\" {\n"
              "  flags 0\n"
              "  geometry \"triangles\" {\n"
              "   \"vertices\" [ 0 0 0,1 0 0,0 1 0 ] ,\n"
              "   \"triangles\" [ 0,1,2 ] ,\n"
              "  }\n"
              "  material \"default\" {\n"
              "   #define shader 1 orv_diffuse {\n"
              "    \"diffuse\" 0.75 0.5 0.5,\n"
              "   }\n"
              "   surface 1\n"
              "   flags 4096\n"
              "  }\n"
              " }\n"
              "\n"
              " group \"child\" {\n"
              "  transform 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
              " }\n"
              "}\n");
}

TEST(SceneText, InconsistentObjectIsFollowedByErrorAndEmptyOneIsOnlyAnError) {
    MemoryScene scene;
    TriangleObject empty("empty");
    empty.setVertices(triangle, 9);
    empty.setNormals(triangle, 6);
    scene.oo.writeNode(empty);
    EXPECT_EQ(scene.text(),
              "#error \"Number of normals does not equal number of verticesNo triangles "
              "defined\"\n");
}

TEST(SceneText, DefinitionThenInstanceWithTexturedMaterial) {
    MemoryScene scene;
    TriangleObject object("tri");
    object.setVertices(triangle, 9);
    object.setTriangles(corners, 3);
    auto material = std::make_shared<FusionMaterial>();
    material->setTexture("C:/maps/wood.png");
    object.setMaterial(material);
    object.define(scene.oo);
    object.write(scene.oo);
    EXPECT_EQ(scene.text(),
              "#define object \"tri\" {\n"
              " id 1\n"
              " flags 0\n"
              " geometry \"triangles\" {\n"
              "  \"vertices\" [ 0 0 0,1 0 0,0 1 0 ] ,\n"
              "  \"triangles\" [ 0,1,2 ] ,\n"
              " }\n"
              "}\n"
              "object \"tri\" {\n"
              " flags 0\n"
              " geometry \"instance\" {\n"
              "  \"id\" 1,\n"
              " }\n"
              " material \"Generic material\" {\n"
              "  #define shader 1 texture2_rgb {\n"
              "   \"uv_projection\" 4,\n"
              "   \"uv_flags\" 44,\n"
              "   \"texture\" \"C:/maps/wood.png\",\n"
              "  }\n"
              "  #define shader 2 orv_diffuse {\n"
              "   \"diffuse\" 1 1 1,\n"
              "   \"diffuse\" ! 1,\n"
              "  }\n"
              "  surface 2\n"
              " }\n"
              "}\n");
}

TEST(SceneText, DefaultCameraAfterAMaterial) {
    MemoryScene scene;
    Diffuse material("m");
    material.define(scene.oo);
    LightCamera camera("Active Camera");
    camera.setClipping(0.1f, 100.0f);
    scene.oo.writeNode(material);
    scene.oo.writeNode(camera);
    EXPECT_EQ(scene.text(),
              "\n#define material \"m\" {\n"
              " #define shader 1 orv_diffuse {\n"
              "  \"diffuse\" 0.75 0.5 0.5,\n"
              " }\n"
              " surface 1\n"
              " flags 4096\n"
              "}\n"
              "material \"m\"\n"
              "\n"
              "camera \"Active Camera\" {\n"
              " projection \"perspective\"\n"
              " fov 60\n"
              " #define shader 2 orv_envmap {\n"
              "  \"texture\" \"startup.hdr\",\n"
              "  \"format\" 3,\n"
              "  \"radius\" 25,\n"
              " }\n"
              " reflection map 2\n"
              " position 0 0 0\n"
              " direction 0 0 -1\n"
              " up 0 1 0\n"
              " clipping 0.1 100\n"
              "}\n");
}

}  // namespace
}  // namespace orv
