// Triangle meshes: validation texts, which findings still write the object,
// define followed by instance writes, and arrays reaching the writer uncopied.
#include <gtest/gtest.h>

#include <algorithm>

#include "importers/sceneapi/orvSceneapi_oo.h"
#include "scene/Material.h"
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

const std::vector<float> quad = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};  // 4 vertices
const std::vector<int32_t> twoTriangles = {0, 1, 2, 0, 2, 3};

TriangleObject makeQuad() {
    TriangleObject object("quad");
    object.setVertices(quad.data(), quad.size());
    object.setTriangles(twoTriangles.data(), twoTriangles.size());
    return object;
}

TEST(TriangleObject, PlainMeshWritesObjectWithDefaultMaterialAndNoError) {
    Recorded r;
    TriangleObject object = makeQuad();
    r.oo.writeNode(object);
    EXPECT_EQ(r.written(),
              (Calls{"beginObject quad", "flags 0", "beginGeometry triangles",
                     "vertices f3[4] 0 0 0 1 0 0 1 1 0 0 1 0", "triangles i[6] 0 1 2 0 2 3",
                     "endGeometry", "beginMaterial default", "defineShader 1 orv_diffuse",
                     "diffuse f3 0.75 0.5 0.5", "endShader", "bindShaderId 0 1", "flags 4096",
                     "endMaterial", "endObject"}));
    EXPECT_EQ(object.getMessage(), "");
}

TEST(TriangleObject, OptionalArraysInTheirOrder) {
    Recorded r;
    TriangleObject object = makeQuad();
    const std::vector<float> uvs = {0, 0, 1, 0, 1, 1, 0, 1, 0.5f};
    object.setUvs(uvs.data(), uvs.size());
    object.setUvIndices(twoTriangles.data(), twoTriangles.size());
    object.setNormals(quad.data(), quad.size());
    object.setNormalIndices(twoTriangles.data(), twoTriangles.size());
    object.setVertexColors(quad.data(), quad.size());
    object.setFlags(2);
    r.oo.writeNode(object);
    Calls names;
    for (const auto& call : r.written()) names.push_back(call.substr(0, call.find(' ')));
    EXPECT_EQ(Calls(names.begin(), names.begin() + 10),
              (Calls{"beginObject", "flags", "beginGeometry", "vertices", "triangles",
                     "triangles_uv", "uv_tex", "triangles_norm", "normals", "vcolors"}));
    EXPECT_EQ(r.written()[1], "flags 2");
    EXPECT_EQ(object.getMessage(), "");  // indexed uvs need not match the vertex count
}

// One setup per validation finding, with the text it must produce.
struct Finding {
    const char* name;
    void (*setup)(TriangleObject&);
    std::string text;
};

const std::vector<float> threeFloats = {1, 2, 3};
const std::vector<int32_t> threeIndices = {0, 1, 2};

const Finding findings[] = {
    {"normals", [](TriangleObject& o) { o.setNormals(threeFloats.data(), 3); },
     "Number of normals does not equal number of vertices"},
    {"normalIndices",
     [](TriangleObject& o) {
         o.setNormals(threeFloats.data(), 3);
         o.setNormalIndices(threeIndices.data(), 3);
     },
     "Normals count does not match number of triangles 3 vs 6"},
    {"normalsMissing", [](TriangleObject& o) { o.setNormalIndices(threeIndices.data(), 3); },
     "No normals defined for index"},
    {"uvIndices",
     [](TriangleObject& o) {
         o.setUvs(threeFloats.data(), 3);
         o.setUvIndices(threeIndices.data(), 3);
     },
     "UV index count does not match triangle count"},
    {"uvs",
     [](TriangleObject& o) {
         const std::vector<float> nine(9, 0.5f);
         o.setUvs(nine.data(), nine.size());
     },
     "Number of uvs(9)  does not match vertex count(12)"},
    {"uvsMissing", [](TriangleObject& o) { o.setUvIndices(twoTriangles.data(), 6); },
     "No uvs defined for index"},
    {"vertexColors", [](TriangleObject& o) { o.setVertexColors(threeFloats.data(), 3); },
     "VetexColor count does not match number of vertices"},
};

TEST(TriangleObject, EachFindingAloneStillWritesTheObjectThenTheError) {
    for (const Finding& finding : findings) {
        SCOPED_TRACE(finding.name);
        Recorded r;
        TriangleObject object = makeQuad();
        finding.setup(object);
        r.oo.writeNode(object);
        const Calls calls = r.written();
        EXPECT_EQ(calls.front(), "beginObject quad");
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2], "endObject");
        EXPECT_EQ(calls.back(), "error " + finding.text);
    }
}

TEST(TriangleObject, AllFindingsConcatenateInOrderAndNoTrianglesSuppressesTheObject) {
    Recorded r;
    TriangleObject object("bad");
    object.setVertices(quad.data(), quad.size());
    object.setNormals(threeFloats.data(), 3);
    object.setUvs(threeFloats.data(), 3);
    object.setVertexColors(threeFloats.data(), 3);
    r.oo.writeNode(object);
    const std::string expected =
        "Number of normals does not equal number of vertices"
        "Number of uvs(3)  does not match vertex count(12)"
        "VetexColor count does not match number of vertices"
        "No triangles defined";
    EXPECT_EQ(r.written(), (Calls{"error " + expected}));
    EXPECT_EQ(object.getMessage(), expected);

    // Fixing the data clears the stored message on the next write.
    object.setTriangles(twoTriangles.data(), twoTriangles.size());
    object.setNormals(quad.data(), quad.size());
    object.setUvs(nullptr, 0);
    object.setVertexColors(quad.data(), quad.size());
    EXPECT_TRUE(object.validate());
    EXPECT_EQ(object.getMessage(), "");
}

TEST(TriangleObject, DefineThenWriteRefersToTheDefinitionById) {
    Recorded r;
    TriangleObject first = makeQuad();
    TriangleObject second = makeQuad();
    first.setNormals(threeFloats.data(), 3);  // define does not validate
    first.define(r.oo);
    second.define(r.oo);
    EXPECT_TRUE(second.isDefined());
    EXPECT_EQ(second.objectId(), 2);
    EXPECT_TRUE(second.getVertices().empty() && second.getTriangles().empty() &&
                second.getNormals().empty());
    const Calls defined = r.written();
    EXPECT_EQ(Calls(defined.begin(), defined.begin() + 3),
              (Calls{"beginObject quad define", "id 1", "flags 0"}));
    EXPECT_EQ(std::count(defined.begin(), defined.end(),
                         "error Number of normals does not "
                         "equal number of vertices"),
              0);

    Recorded instance;
    second.write(instance.oo);
    const Calls written = instance.written();
    EXPECT_EQ(Calls(written.begin(), written.begin() + 6),
              (Calls{"beginObject quad", "flags 0", "beginGeometry instance", "id i 2",
                     "endGeometry", "beginMaterial default"}));
    EXPECT_EQ(written.back(), "endObject");
}

TEST(TriangleObject, DefineWithoutTrianglesWritesEmptyArraysAndNoError) {
    Recorded r;
    TriangleObject object("empty");
    object.define(r.oo);
    EXPECT_EQ(r.written(),
              (Calls{"beginObject empty define", "id 1", "flags 0", "beginGeometry triangles",
                     "vertices f3[0]", "triangles i[0]", "endGeometry", "endObject"}));
}

TEST(TriangleObject, ArraysReachTheWriterWithoutCopy) {
    Recorded r;
    TriangleObject object = makeQuad();
    object.setNormals(quad.data(), quad.size());
    r.oo.writeNode(object);
    const auto& seen = r.factory.recorder.arrayData;
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], object.getVertices().data());
    EXPECT_EQ(seen[1], object.getTriangles().data());
    EXPECT_EQ(seen[2], object.getNormals().data());
}

TEST(TriangleObject, MissingMaterialWritesObjectWithoutMaterial) {
    Recorded r;
    TriangleObject object = makeQuad();
    object.setMaterial(nullptr);
    r.oo.writeNode(object);
    const Calls written = r.written();
    EXPECT_EQ(written.back(), "endObject");
    EXPECT_EQ(std::count_if(written.begin(), written.end(),
                            [](const std::string& c) { return c.starts_with("beginMaterial"); }),
              0);
}

}  // namespace
}  // namespace orv
