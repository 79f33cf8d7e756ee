// Generated faces: counts, outward unit normals, texture coordinates, closed volumes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/Primitives.h"

namespace {

// Every mesh carries one normal and one uv per node, valid indices, unit normals
// that point away from center.
void expectWellFormed(const std::vector<host::FaceData>& faces, const host::Vec3& center) {
    for (const host::FaceData& face : faces) {
        ASSERT_EQ(face.meshes.size(), 1u);
        const host::MeshData& m = face.meshes[0];
        const size_t nodes = m.coordinates.size() / 3;
        ASSERT_EQ(m.coordinates.size(), nodes * 3);
        ASSERT_EQ(m.normals.size(), m.coordinates.size());
        ASSERT_EQ(m.textureCoordinates.size(), nodes * 2);
        ASSERT_EQ(m.indices.size() % 3, 0u);
        ASSERT_FALSE(m.indices.empty());
        for (int i : m.indices) ASSERT_TRUE(i >= 0 && size_t(i) < nodes);
        for (size_t n = 0; n < nodes; ++n) {
            const float* p = &m.coordinates[3 * n];
            const float* v = &m.normals[3 * n];
            EXPECT_NEAR(std::hypot(v[0], v[1], v[2]), 1.0, 1e-6);
            const double outward =
                (p[0] - center[0]) * v[0] + (p[1] - center[1]) * v[1] + (p[2] - center[2]) * v[2];
            EXPECT_GT(outward, 0);
        }
        for (float uv : m.textureCoordinates) {
            EXPECT_GE(uv, 0.0f);
            EXPECT_LE(uv, 1.0f);
        }
    }
}

}  // namespace

TEST(Primitives, BoxHasSixFacesOfTwoTriangles) {
    const host::Vec3 center{1, 2, 3};
    auto faces = host::makeBox({2, 4, 6}, center);
    ASSERT_EQ(faces.size(), 6u);
    expectWellFormed(faces, center);
    for (const auto& f : faces) EXPECT_EQ(f.meshes[0].indices.size(), 6u);
    // The first face is -x: every node at x = 1 - 1.
    for (size_t i = 0; i < faces[0].meshes[0].coordinates.size(); i += 3)
        EXPECT_FLOAT_EQ(faces[0].meshes[0].coordinates[i], 0);
    host::PhysicalData m = host::measureMeshes({{.name = "b", .faces = faces}});
    EXPECT_NEAR(m.volume, 48, 1e-9);
    EXPECT_NEAR(m.area, 2 * (8 + 24 + 12), 1e-9);
}

TEST(Primitives, CylinderHasSideAndTwoCapsAlongItsAxis) {
    const host::Vec3 center{0, 5, 0};
    for (host::Axis axis : {host::Axis::X, host::Axis::Y, host::Axis::Z}) {
        auto faces = host::makeCylinder(2, 10, 64, center, axis);
        ASSERT_EQ(faces.size(), 3u);
        expectWellFormed(faces, center);
        const int along = axis == host::Axis::X ? 0 : axis == host::Axis::Y ? 1 : 2;
        // The top cap lies at center + height / 2 along the axis.
        const auto& top = faces[2].meshes[0].coordinates;
        for (size_t i = along; i < top.size(); i += 3)
            EXPECT_FLOAT_EQ(top[i], float(center[along] + 5));
        host::PhysicalData m = host::measureMeshes({{.name = "c", .faces = faces}});
        const double polygon =
            0.5 * 64 * 4 * std::sin(2 * std::numbers::pi / 64);  // inscribed area
        EXPECT_NEAR(m.volume, polygon * 10, 1e-3);
    }
    EXPECT_EQ(host::makeCylinder(1, 1, 1)[1].meshes[0].indices.size(), 9u);  // raised to 3 segments
}

TEST(Primitives, SphereIsOneClosedFace) {
    const host::Vec3 center{-3, 0, 1};
    auto faces = host::makeSphere(3, 48, 24, center);
    ASSERT_EQ(faces.size(), 1u);
    expectWellFormed(faces, center);
    EXPECT_EQ(faces[0].meshes[0].indices.size(),
              size_t(3 * 48 * (2 * 24 - 2)));  // no degenerate triangle
    host::PhysicalData m = host::measureMeshes({{.name = "s", .faces = faces}});
    EXPECT_NEAR(m.volume, 4.0 / 3 * std::numbers::pi * 27, 0.02 * 113);
    EXPECT_NEAR(m.area, 4 * std::numbers::pi * 9, 0.02 * 113);
    EXPECT_LT(m.volume, 4.0 / 3 * std::numbers::pi * 27);  // inscribed
}
