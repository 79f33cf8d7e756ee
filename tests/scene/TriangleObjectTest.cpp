// Triangle meshes: validation texts, which findings still write the object,
// define followed by instance writes, and arrays reaching the writer uncopied.
#include <gtest/gtest.h>

#include "scene/Material.h"
#include "scene/MemoryScene.h"
#include "scene/TriangleObject.h"

namespace orv {
namespace {

const std::vector<float> corners = {0, 0, 0, 1, 0, 0, 0, 1, 0};
const std::vector<int32_t> triangle = {0, 1, 2};
const std::vector<int32_t> sixIndices = {0, 1, 2, 0, 1, 2};
const std::vector<float> threeFloats = {0, 0, 1};

TriangleObject makeTriangle() {
    TriangleObject object("tri");
    object.setVertices(corners.data(), corners.size());
    object.setTriangles(triangle.data(), triangle.size());
    return object;
}

const std::string defaultMaterial =
    " material \"default\" {\n  #define shader 1 orv_diffuse {\n   \"diffuse\" 0.75 0.5 0.5,\n"
    "  }\n  surface 1\n  flags 4096\n }\n";
const std::string vertexLine = "  \"vertices\" [ 0 0 0,1 0 0,0 1 0 ] ,\n";
const std::string triangleLine = "  \"triangles\" [ 0,1,2 ] ,\n";

// The object block of "tri" with the given flags, geometry lines and material.
std::string objectText(int flags, const std::string& geometry,
                       const std::string& material = defaultMaterial) {
    return "object \"tri\" {\n flags " + std::to_string(flags) + "\n geometry \"triangles\" {\n" +
           geometry + " }\n" + material + "}\n";
}

TEST(TriangleObject, PlainMeshWritesObjectWithItsOwnDefaultMaterialOrNone) {
    for (bool withMaterial : {true, false}) {
        test::MemoryScene scene;
        TriangleObject object = makeTriangle();
        if (!withMaterial) object.setMaterial(nullptr);
        scene.oo.writeNode(object);
        EXPECT_EQ(scene.text(),
                  objectText(0, vertexLine + triangleLine, withMaterial ? defaultMaterial : ""));
        EXPECT_EQ(object.getMessage(), "");
    }
}

TEST(TriangleObject, OptionalArraysInTheirOrderWhenConsistent) {
    test::MemoryScene scene;
    TriangleObject object = makeTriangle();
    const std::vector<float> uvs = {0, 0, 1, 0, 0, 1};
    const std::vector<int32_t> zeros = {0, 0, 0};
    const std::vector<float> colors = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    object.setUvs(uvs.data(), uvs.size());
    object.setUvIndices(triangle.data(), triangle.size());
    object.setNormals(threeFloats.data(), threeFloats.size());
    object.setNormalIndices(zeros.data(), zeros.size());
    object.setVertexColors(colors.data(), colors.size());
    object.setFlags(2);
    scene.oo.writeNode(object);
    EXPECT_EQ(scene.text(),
              objectText(2, vertexLine + triangleLine +
                                "  \"triangles_uv\" [ 0,1,2 ] ,\n  \"uv_tex\" [ 0,0,1,0,0,1 ] ,\n"
                                "  \"triangles_norm\" [ 0,0,0 ] ,\n  \"normals\" [ 0 0 1 ] ,\n"
                                "  \"vcolors\" [ 1 0 0,0 1 0,0 0 1 ] ,\n"));
}

struct Finding {
    const char* name;
    void (*setup)(TriangleObject&);
    std::string text;
};

const Finding findings[] = {
    {"normals", [](TriangleObject& o) { o.setNormals(threeFloats.data(), 3); },
     "Number of normals does not equal number of vertices"},
    {"normalIndices",
     [](TriangleObject& o) {
         o.setNormals(threeFloats.data(), 3);
         o.setNormalIndices(sixIndices.data(), 6);
     },
     "Normals count does not match number of triangles 6 vs 3"},
    {"normalsMissing", [](TriangleObject& o) { o.setNormalIndices(triangle.data(), 3); },
     "No normals defined for index"},
    {"uvIndices",
     [](TriangleObject& o) {
         o.setUvs(corners.data(), 6);
         o.setUvIndices(sixIndices.data(), 6);
     },
     "UV index count does not match triangle count"},
    {"uvs", [](TriangleObject& o) { o.setUvs(corners.data(), 4); },
     "Number of uvs(4)  does not match vertex count(9)"},
    {"uvsMissing", [](TriangleObject& o) { o.setUvIndices(triangle.data(), 3); },
     "No uvs defined for index"},
    {"vertexColors", [](TriangleObject& o) { o.setVertexColors(threeFloats.data(), 3); },
     "VetexColor count does not match number of vertices"},
};

TEST(TriangleObject, EachFindingAloneStillWritesTheObjectFollowedByTheError) {
    for (const Finding& finding : findings) {
        SCOPED_TRACE(finding.name);
        test::MemoryScene scene;
        TriangleObject object = makeTriangle();
        finding.setup(object);
        scene.oo.writeNode(object);
        const std::string text = scene.text();
        EXPECT_TRUE(text.starts_with("object \"tri\" {\n")) << text;
        EXPECT_TRUE(text.ends_with("}\n#error \"" + finding.text + "\"\n")) << text;
        EXPECT_EQ(object.getMessage(), finding.text);
    }
}

TEST(TriangleObject, FindingsConcatenateInOrderAndNoTrianglesWritesOnlyTheError) {
    test::MemoryScene scene;
    TriangleObject object("bad");
    const std::vector<float> quad(12, 0.5f), nineUvs(9, 0.5f);
    object.setVertices(quad.data(), quad.size());
    object.setNormals(threeFloats.data(), 3);
    object.setUvs(nineUvs.data(), nineUvs.size());
    object.setVertexColors(threeFloats.data(), 3);
    scene.oo.writeNode(object);
    EXPECT_EQ(scene.text(),
              "#error \"Number of normals does not equal number of vertices"
              "Number of uvs(9)  does not match vertex count(12)"
              "VetexColor count does not match number of vertices"
              "No triangles defined\"\n");

    // 4 vertices take exactly 8 uv floats; a clean validation clears the message.
    const std::vector<float> eightUvs(8, 0.5f);
    object.setUvs(eightUvs.data(), eightUvs.size());
    object.setNormals(nullptr, 0);
    object.setVertexColors(quad.data(), quad.size());
    object.setTriangles(triangle.data(), triangle.size());
    EXPECT_TRUE(object.validate());
    EXPECT_EQ(object.getMessage(), "");
}

TEST(TriangleObject, DefineThenWriteRefersToTheDefinitionById) {
    test::MemoryScene scene;
    TriangleObject object = makeTriangle();
    object.setNormals(threeFloats.data(), 3);  // define does not validate
    auto material = std::make_shared<FusionMaterial>();
    material->setTexture("C:/maps/wood.png");
    object.setMaterial(material);
    object.define(scene.oo);
    EXPECT_TRUE(object.isDefined());
    EXPECT_EQ(object.objectId(), 1);
    EXPECT_TRUE(object.getVertices().empty() && object.getTriangles().empty() &&
                object.getNormals().empty());
    object.write(scene.oo);
    EXPECT_EQ(scene.text(),
              "#define object \"tri\" {\n id 1\n flags 0\n geometry \"triangles\" {\n" +
                  vertexLine + triangleLine +
                  "  \"normals\" [ 0 0 1 ] ,\n }\n}\n"
                  "object \"tri\" {\n flags 0\n geometry \"instance\" {\n  \"id\" 1,\n }\n"
                  " material \"Generic material\" {\n  #define shader 1 texture2_rgb {\n"
                  "   \"uv_projection\" 4,\n   \"uv_flags\" 44,\n"
                  "   \"texture\" \"C:/maps/wood.png\",\n  }\n  #define shader 2 orv_diffuse {\n"
                  "   \"diffuse\" 1 1 1,\n   \"diffuse\" ! 1,\n  }\n  surface 2\n }\n"
                  "}\n");
}

TEST(TriangleObject, DefineWithoutTrianglesWritesEmptyArraysAndNoError) {
    test::MemoryScene scene;
    TriangleObject first("first"), empty("empty");
    first.define(scene.oo);
    empty.define(scene.oo);
    EXPECT_EQ(empty.objectId(), 2);
    const std::string text = scene.text();
    EXPECT_TRUE(
        text.ends_with("#define object \"empty\" {\n"
                       " id 2\n flags 0\n geometry \"triangles\" {\n  \"vertices\" [ ] ,\n"
                       "  \"triangles\" [ ] ,\n }\n"
                       "}\n"))
        << text;
    EXPECT_EQ(text.find("#error"), std::string::npos);
}

TEST(TriangleObject, ArraysReachTheWriterWithoutCopy) {
    test::MemoryScene scene;
    TriangleObject object = makeTriangle();
    object.setNormals(corners.data(), corners.size());
    scene.oo.writeNode(object);
    EXPECT_EQ(scene.writer.arrayData,
              (std::vector<const void*>{object.getVertices().data(), object.getTriangles().data(),
                                        object.getNormals().data()}));
}

}  // namespace
}  // namespace orv
