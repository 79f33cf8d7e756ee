// Bodies: one sub-group per appearance in id byte order, one object per display
// mesh, meshes scaled to design units, inconsistent arrays dropped.
#include <gtest/gtest.h>

#include "ConvertFixtures.h"

using namespace fixtures;
using adsk::core::Ptr;

namespace {

// The host objects of the last built document stay alive until the next one is
// built.
Ptr<adsk::fusion::Component> builtRoot(const host::DocumentData& data) {
    static Ptr<adsk::core::Document> keep;
    keep = host::buildDocument(data);
    return rootOf(keep);
}

Ptr<adsk::fusion::BRepBody> firstBody(const host::DocumentData& data) {
    return builtRoot(data)->bRepBodies()->item(0);
}

host::DocumentData oneBody(host::BodyData b, std::vector<host::AppearanceData> appearances) {
    return document({component("Part", {std::move(b)})}, std::move(appearances));
}

// The one display mesh of a one-face body, converted at the given scale.
std::shared_ptr<orv::TriangleObject> convertOnly(const host::MeshData& m, float scale = 1.0f) {
    host::FaceData f;
    f.meshes = {m};
    auto b = firstBody(oneBody(body("Part", std::nullopt, {f}), {}));
    return makeConverter(scale)->convertMesh(
        b->faces()->item(0)->meshManager()->displayMeshes()->item(0));
}

}  // namespace

TEST(BodyConversion, GroupsFacesByAppearanceIdInByteOrder) {
    // Face order: b, B, a, b, ab. Byte order of ids: "B" < "a" < "ab" < "b".
    auto data = oneBody(body("Shell", std::nullopt,
                             {face("b", {1, 0, 0}), face("B", {2, 0, 0}), face("a", {3, 0, 0}),
                              face("b", {4, 0, 0}), face("ab", {5, 0, 0})}),
                        {appearance("a"), appearance("ab"), appearance("b"), appearance("B")});
    auto converter = makeConverter();
    auto shell = converter->convertBody(firstBody(data), nullptr, true);
    EXPECT_EQ(shell->getName(), "Shell");
    EXPECT_EQ(shell->getFlags(), 0x0400u);
    EXPECT_TRUE(shell->getNodes().empty());
    EXPECT_EQ(materialNames(*shell), (std::vector<std::string>{"Appearance B", "Appearance a",
                                                               "Appearance ab", "Appearance b"}));
    for (const auto& child : shell->getChildren()) {
        auto sub = group(child);
        EXPECT_EQ(sub->getName(), "Shell");
        EXPECT_EQ(sub->getFlags(), 0x10000u);
        EXPECT_TRUE(sub->getChildren().empty());
    }
    // Faces keep host order inside their group; every object carries the body's
    // name.
    auto bGroup = group(shell->getChildren()[3]);
    ASSERT_EQ(bGroup->getNodes().size(), 2u);
    EXPECT_EQ(mesh(bGroup->getNodes()[0])->getVertices()[0], 1.0f);
    EXPECT_EQ(mesh(bGroup->getNodes()[1])->getVertices()[0], 4.0f);
    EXPECT_EQ(mesh(bGroup->getNodes()[1])->getName(), "Shell");
    // One material per group, shared by its objects.
    EXPECT_EQ(mesh(bGroup->getNodes()[0])->getMaterial(),
              mesh(bGroup->getNodes()[1])->getMaterial());
}

TEST(BodyConversion, FaceAppearanceBeatsBodyAppearanceWhichBeatsOverride) {
    auto data = oneBody(body("Part", "Body", {face(), face("Face")}),
                        {appearance("Body"), appearance("Face"), appearance("Over")});
    auto overrideDoc =
        host::buildDocument(oneBody(body("X", "Over", {face()}), {appearance("Over")}));
    auto override = rootOf(overrideDoc)->bRepBodies()->item(0)->appearance();
    ASSERT_TRUE(override);
    auto converter = makeConverter();
    auto withBody = converter->convertBody(firstBody(data), override, true);
    EXPECT_EQ(materialNames(*withBody),
              (std::vector<std::string>{"Appearance Body", "Appearance Face"}));

    auto bare = oneBody(body("Part", std::nullopt, {face(), face("Face")}), {appearance("Face")});
    auto withOverride = converter->convertBody(firstBody(bare), override, true);
    EXPECT_EQ(materialNames(*withOverride),
              (std::vector<std::string>{"Appearance Face", "Appearance Over"}));
}

TEST(BodyConversion, FaceWithoutAppearanceMayOnlyStandAlone) {
    auto converter = makeConverter();
    auto single = converter->convertBody(
        firstBody(oneBody(body("Lone", std::nullopt, {face()}), {})), nullptr, true);
    EXPECT_EQ(materialNames(*single), std::vector<std::string>{"Generic material"});

    const std::vector<std::vector<host::FaceData>> failing{
        {face(), face("A")}, {face("A"), face()}, {face(), face()}};
    for (const auto& faces : failing) {
        auto b = firstBody(oneBody(body("Mixed", std::nullopt, faces), {appearance("A")}));
        EXPECT_THROW(converter->convertBody(b, nullptr, true), std::exception);
    }
}

TEST(BodyConversion, HiddenOrFacelessBodyIsAnEmptyGroup) {
    auto converter = makeConverter();
    const std::vector<std::pair<std::vector<host::FaceData>, bool>> rows{
        {{face(), face()}, false},  // hidden
        {{}, true},                 // visible without faces
    };
    for (const auto& [faces, visible] : rows) {
        auto b = firstBody(oneBody(body("Shell", "A", faces), {appearance("A")}));
        auto converted = converter->convertBody(b, nullptr, visible);
        EXPECT_EQ(converted->getFlags(), 0x8401u) << faces.size();
        EXPECT_TRUE(converted->getChildren().empty()) << faces.size();
    }
}

TEST(BodyConversion, EveryDisplayMeshOfAFaceBecomesAnObject) {
    auto twoMeshes = face("A");
    twoMeshes.meshes.push_back(triangle({7, 7, 7}));
    auto converter = makeConverter();
    auto part = converter->convertBody(
        firstBody(oneBody(body("Part", std::nullopt, {twoMeshes}), {appearance("A")})), nullptr,
        true);
    auto sub = group(part->getChildren()[0]);
    ASSERT_EQ(sub->getNodes().size(), 2u);
    EXPECT_EQ(mesh(sub->getNodes()[1])->getVertices()[0], 7.0f);
}

TEST(BodyConversion, MissingMeshManagerEndsTheConversion) {
    auto f = face("A");
    f.hasMeshManager = false;
    auto converter = makeConverter();
    auto b = firstBody(oneBody(body("Part", std::nullopt, {f}), {appearance("A")}));
    EXPECT_THROW(converter->convertBody(b, nullptr, true), std::exception);
}

TEST(BodyConversion, TwoBodiesWithOneAppearanceGetSeparateMaterials) {
    auto data =
        document({component("Part", {body("One", "A", {face()}), body("Two", "A", {face()})})},
                 {appearance("A", 255)});
    auto bodies = builtRoot(data)->bRepBodies();
    auto converter = makeConverter();
    auto one = converter->convertBody(bodies->item(0), nullptr, true);
    auto two = converter->convertBody(bodies->item(1), nullptr, true);
    auto m1 = materialOf(group(one->getChildren()[0])->getNodes()[0]);
    auto m2 = materialOf(group(two->getChildren()[0])->getNodes()[0]);
    EXPECT_NE(m1, m2);
    EXPECT_EQ(m1->getName(), m2->getName());
    EXPECT_EQ(m1->getColor(), m2->getColor());
}

TEST(MeshConversion, ScalesVerticesOnlyAndKeepsIndices) {
    host::MeshData m;
    m.coordinates = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    m.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    m.textureCoordinates = {0, 0, 1, 0, 0, 1};
    m.indices = {2, 1, 0};
    auto node = convertOnly(m, 10.0f);
    EXPECT_EQ(node->getName(), "");
    EXPECT_EQ(node->getVertices(), (std::vector<float>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(node->getNormals(), m.normals);
    EXPECT_EQ(node->getUvs(), m.textureCoordinates);
    EXPECT_EQ(node->getTriangles(), (std::vector<int32_t>{2, 1, 0}));
}

TEST(MeshConversion, DropsNormalsAndUvsOfUnexpectedLength) {
    struct Case {
        size_t coordinates, normals, uvs;
        bool keepsNormals, keepsUvs;
    };
    const std::vector<Case> cases{
        {9, 9, 6, true, true},    {9, 6, 6, false, true},  {9, 12, 6, false, true},
        {9, 9, 4, true, false},   {9, 9, 8, true, false},  {10, 10, 6, true, true},
        {11, 11, 4, true, false}, {11, 11, 6, true, true}, {9, 0, 0, false, false}};
    for (const auto& c : cases) {
        host::MeshData m;
        m.coordinates.assign(c.coordinates, 0.5f);
        m.normals.assign(c.normals, 1.0f);
        m.textureCoordinates.assign(c.uvs, 0.25f);
        m.indices = {0, 1, 2};
        auto node = convertOnly(m);
        SCOPED_TRACE(testing::Message() << c.coordinates << "/" << c.normals << "/" << c.uvs);
        EXPECT_EQ(node->getVertices().size(), c.coordinates);
        EXPECT_EQ(node->getNormals().size(), c.keepsNormals ? c.normals : 0u);
        EXPECT_EQ(node->getUvs().size(), c.keepsUvs ? c.uvs : 0u);
    }
}
