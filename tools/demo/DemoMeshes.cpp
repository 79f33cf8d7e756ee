#include "DemoMeshes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace demo {

namespace {

struct MeshData {
    std::vector<float> vertices, normals, uvs;
    std::vector<int32_t> triangles;

    void addVertex(float x, float y, float z, float nx, float ny, float nz, float u, float v) {
        vertices.insert(vertices.end(), {x, y, z});
        normals.insert(normals.end(), {nx, ny, nz});
        uvs.insert(uvs.end(), {u, v});
    }

    std::shared_ptr<orv::TriangleObject> build(std::string name) const {
        auto object = std::make_shared<orv::TriangleObject>(std::move(name));
        object->setVertices(vertices.data(), vertices.size());
        object->setTriangles(triangles.data(), triangles.size());
        object->setNormals(normals.data(), normals.size());
        object->setUvs(uvs.data(), uvs.size());
        return object;
    }
};

}  // namespace

std::shared_ptr<orv::TriangleObject> makeBox(std::string name, float sx, float sy, float sz) {
    const float h[3] = {sx / 2, sy / 2, sz / 2};
    MeshData mesh;
    // For each face: the axis of its normal and the sign of that normal.
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {1.0f, -1.0f}) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            const auto first = static_cast<int32_t>(mesh.vertices.size() / 3);
            const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& c : corners) {
                float p[3], n[3] = {0, 0, 0};
                p[axis] = sign * h[axis];
                p[u] = c[0] * h[u];
                p[v] = c[1] * h[v];
                n[axis] = sign;
                mesh.addVertex(p[0], p[1], p[2], n[0], n[1], n[2], (c[0] + 1) / 2, (c[1] + 1) / 2);
            }
            // Counter-clockwise seen from outside.
            if (sign > 0)
                mesh.triangles.insert(mesh.triangles.end(),
                                      {first, first + 1, first + 2, first, first + 2, first + 3});
            else
                mesh.triangles.insert(mesh.triangles.end(),
                                      {first, first + 2, first + 1, first, first + 3, first + 2});
        }
    }
    return mesh.build(std::move(name));
}

std::shared_ptr<orv::TriangleObject> makeSphere(std::string name, float radius, int rings,
                                                int segments) {
    rings = std::max(rings, 2);
    segments = std::max(segments, 3);
    MeshData mesh;
    const double pi = std::numbers::pi;
    for (int r = 0; r <= rings; ++r) {
        const double theta = pi * r / rings;
        for (int s = 0; s <= segments; ++s) {
            const double phi = 2 * pi * s / segments;
            const auto nx = static_cast<float>(std::sin(theta) * std::cos(phi));
            const auto ny = static_cast<float>(std::cos(theta));
            const auto nz = static_cast<float>(std::sin(theta) * std::sin(phi));
            mesh.addVertex(radius * nx, radius * ny, radius * nz, nx, ny, nz,
                           static_cast<float>(s) / segments, 1.0f - static_cast<float>(r) / rings);
        }
    }
    const int stride = segments + 1;
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const int32_t a = r * stride + s, b = a + stride;
            mesh.triangles.insert(mesh.triangles.end(), {a, a + 1, b, a + 1, b + 1, b});
        }
    }
    return mesh.build(std::move(name));
}

}  // namespace demo
