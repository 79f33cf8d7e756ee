// Generated faces: counts, outward unit normals, texture coordinates, closed volumes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/MeshSums.h"
#include "host/Primitives.h"

namespace {

host::MeshSums sumsOf(const std::vector<host::FaceData>& faces) {
    host::MeshSums sums;
    for (const host::FaceData& face : faces)
        for (const host::MeshData& m : face.meshes)
            host::addTriangles(m.coordinates.data(), m.coordinates.size(), m.indices.data(),
                               m.indices.size(), sums);
    return sums;
}

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

TEST(Primitives, FaceCountsAndVolumesOfTheThreeShapes) {
    struct Shape {
        const char* what;
        std::vector<host::FaceData> faces;
        host::Vec3 center;
        size_t faceCount;
        double volume, tolerance;
    };
    const double polygon = 0.5 * 64 * 4 * std::sin(2 * std::numbers::pi / 64);  // inscribed
    const std::vector<Shape> shapes{
        {"box", host::makeBox({2, 4, 6}, {1, 2, 3}), {1, 2, 3}, 6, 48, 1e-9},
        {"cylinder x", host::makeCylinder(2, 10, 64, {0, 5, 0}, host::Axis::X), {0, 5, 0}, 3,
         polygon * 10, 1e-3},
        {"cylinder z", host::makeCylinder(2, 10, 64, {0, 5, 0}, host::Axis::Z), {0, 5, 0}, 3,
         polygon * 10, 1e-3},
        {"sphere", host::makeSphere(3, 48, 24, {-3, 0, 1}), {-3, 0, 1}, 1,
         4.0 / 3 * std::numbers::pi * 27 - 1.1, 1.2}};  // inscribed: a little smaller
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.what);
        ASSERT_EQ(s.faces.size(), s.faceCount);
        expectWellFormed(s.faces, s.center);
        EXPECT_NEAR(std::fabs(sumsOf(s.faces).volume), s.volume, s.tolerance);
    }
    EXPECT_NEAR(sumsOf(shapes[0].faces).area, 88, 1e-9);
    // The top cap of a cylinder along x lies at center + height / 2.
    const auto& top = shapes[1].faces[2].meshes[0].coordinates;
    for (size_t i = 0; i < top.size(); i += 3) EXPECT_FLOAT_EQ(top[i], 5);
    EXPECT_EQ(shapes[3].faces[0].meshes[0].indices.size(), size_t(3 * 48 * (2 * 24 - 2)));
    EXPECT_EQ(host::makeCylinder(1, 1, 1)[1].meshes[0].indices.size(), 9u);  // raised to 3 segments
}
