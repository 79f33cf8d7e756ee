#include "host/Primitives.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace host {
namespace {

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

void addNode(MeshData& m, const Vec3& p, const Vec3& n, double u, double v) {
    for (int i = 0; i < 3; ++i) m.coordinates.push_back(float(p[i]));
    for (int i = 0; i < 3; ++i) m.normals.push_back(float(n[i]));
    m.textureCoordinates.push_back(float(u));
    m.textureCoordinates.push_back(float(v));
}

void addTriangle(MeshData& m, int a, int b, int c) {
    m.indices.push_back(a);
    m.indices.push_back(b);
    m.indices.push_back(c);
}

// Sizes every array once: a generated mesh can be large, and growing it
// copies every array again on the way.
void reserve(MeshData& m, size_t nodes, size_t triangles) {
    m.coordinates.reserve(3 * nodes);
    m.normals.reserve(3 * nodes);
    m.textureCoordinates.reserve(2 * nodes);
    m.indices.reserve(3 * triangles);
}

FaceData faceOf(MeshData mesh) {
    FaceData face;
    face.meshes.push_back(std::move(mesh));
    return face;
}

// Point at center + a*u + b*v + c*w.
Vec3 at(const Vec3& center, const Vec3& u, const Vec3& v, const Vec3& w, double a, double b,
        double c) {
    return {center[0] + a * u[0] + b * v[0] + c * w[0], center[1] + a * u[1] + b * v[1] + c * w[1],
            center[2] + a * u[2] + b * v[2] + c * w[2]};
}

}  // namespace

std::vector<FaceData> makeBox(const Vec3& size, const Vec3& center) {
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::vector<FaceData> faces;
    for (int axis = 0; axis < 3; ++axis) {
        for (double sign : {-1.0, 1.0}) {
            const Vec3 n = {sign * axes[axis][0], sign * axes[axis][1], sign * axes[axis][2]};
            const int sAxis = (axis + 1) % 3;
            const Vec3& s = axes[sAxis];
            const Vec3 t = cross(n, s);  // s x t = n: counter-clockwise seen from outside
            const int tAxis = (axis + 2) % 3;
            const double hn = size[axis] / 2, hs = size[sAxis] / 2, ht = size[tAxis] / 2;
            MeshData m;
            const double corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& corner : corners)
                addNode(m, at(center, n, s, t, hn, corner[0] * hs, corner[1] * ht), n,
                        (corner[0] + 1) / 2, (corner[1] + 1) / 2);
            addTriangle(m, 0, 1, 2);
            addTriangle(m, 0, 2, 3);
            faces.push_back(faceOf(std::move(m)));
        }
    }
    return faces;
}

std::vector<FaceData> makeCylinder(double radius, double height, int segments, const Vec3& center,
                                   Axis axis) {
    segments = std::max(segments, 3);
    // u x v = w, w along the axis.
    Vec3 u{1, 0, 0}, v{0, 1, 0}, w{0, 0, 1};
    if (axis == Axis::X) u = {0, 1, 0}, v = {0, 0, 1}, w = {1, 0, 0};
    if (axis == Axis::Y) u = {0, 0, 1}, v = {1, 0, 0}, w = {0, 1, 0};
    const double h = height / 2;
    const double step = 2 * std::numbers::pi / segments;

    MeshData side;
    reserve(side, 2 * size_t(segments + 1), 2 * size_t(segments));
    for (int j = 0; j <= segments; ++j) {
        const double c = std::cos(j * step), s = std::sin(j * step);
        const Vec3 n = at({0, 0, 0}, u, v, w, c, s, 0);
        addNode(side, at(center, u, v, w, radius * c, radius * s, -h), n, double(j) / segments, 0);
        addNode(side, at(center, u, v, w, radius * c, radius * s, h), n, double(j) / segments, 1);
    }
    for (int j = 0; j < segments; ++j) {
        const int a = 2 * j, b = 2 * (j + 1), c = b + 1, d = a + 1;
        addTriangle(side, a, b, c);
        addTriangle(side, a, c, d);
    }

    auto cap = [&](double sign) {
        MeshData m;
        reserve(m, size_t(segments) + 1, size_t(segments));
        const Vec3 n = {sign * w[0], sign * w[1], sign * w[2]};
        addNode(m, at(center, u, v, w, 0, 0, sign * h), n, 0.5, 0.5);
        for (int j = 0; j < segments; ++j) {
            const double c = std::cos(j * step), s = std::sin(j * step);
            addNode(m, at(center, u, v, w, radius * c, radius * s, sign * h), n, 0.5 + 0.5 * c,
                    0.5 + 0.5 * s);
        }
        for (int j = 0; j < segments; ++j) {
            const int k = 1 + j, next = 1 + (j + 1) % segments;
            if (sign > 0)
                addTriangle(m, 0, k, next);
            else
                addTriangle(m, 0, next, k);
        }
        return m;
    };

    std::vector<FaceData> faces;
    faces.push_back(faceOf(std::move(side)));
    faces.push_back(faceOf(cap(-1)));
    faces.push_back(faceOf(cap(1)));
    return faces;
}

std::vector<FaceData> makeSphere(double radius, int segments, int rings, const Vec3& center) {
    segments = std::max(segments, 3);
    rings = std::max(rings, 2);
    MeshData m;
    const int columns = segments + 1;  // the seam is doubled for the texture
    reserve(m, size_t(rings + 1) * columns, 2 * size_t(segments) * (rings - 1));
    // The angles' sines and cosines, once per ring and once per column.
    std::vector<double> sinTheta(rings + 1), cosTheta(rings + 1), sinPhi(columns), cosPhi(columns);
    for (int i = 0; i <= rings; ++i) {
        const double theta = std::numbers::pi * i / rings;
        sinTheta[i] = std::sin(theta);
        cosTheta[i] = std::cos(theta);
    }
    for (int j = 0; j <= segments; ++j) {
        const double phi = 2 * std::numbers::pi * j / segments;
        sinPhi[j] = std::sin(phi);
        cosPhi[j] = std::cos(phi);
    }
    for (int i = 0; i <= rings; ++i) {
        for (int j = 0; j <= segments; ++j) {
            const Vec3 n = {sinTheta[i] * cosPhi[j], sinTheta[i] * sinPhi[j], cosTheta[i]};
            addNode(
                m,
                {center[0] + radius * n[0], center[1] + radius * n[1], center[2] + radius * n[2]},
                n, double(j) / segments, 1.0 - double(i) / rings);
        }
    }
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < segments; ++j) {
            const int a = i * columns + j, d = a + 1, b = a + columns, c = b + 1;
            if (i != 0) addTriangle(m, a, b, d);          // not at the north pole
            if (i != rings - 1) addTriangle(m, d, b, c);  // not at the south pole
        }
    }
    std::vector<FaceData> faces;
    faces.push_back(faceOf(std::move(m)));
    return faces;
}

}  // namespace host
