#include "preview/PreviewScene.h"

#include <algorithm>
#include <limits>

namespace preview {

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[r + 4 * k] * b[k + 4 * c];
            out[r + 4 * c] = sum;
        }
    return out;
}

Vec3 transformPoint(const Matrix& m, const Vec3& p) {
    return {m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12],
            m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13],
            m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14]};
}

Vec3 transformVector(const Matrix& m, const Vec3& v) {
    return {m[0] * v[0] + m[4] * v[1] + m[8] * v[2], m[1] * v[0] + m[5] * v[1] + m[9] * v[2],
            m[2] * v[0] + m[6] * v[1] + m[10] * v[2]};
}

Matrix sceneToMetresYUp(const Scene& scene) {
    const double s = scene.meterScale > 0 ? 1.0 / scene.meterScale : 1.0;
    if (scene.upVector == 2)  // Z up: (x, y, z) -> (x, z, -y)
        return {s, 0, 0, 0, 0, 0, -s, 0, 0, s, 0, 0, 0, 0, 0, 1};
    return {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1};
}

bool boundingBox(const Scene& scene, Vec3& low, Vec3& high) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    low = {inf, inf, inf};
    high = {-inf, -inf, -inf};
    const Matrix toMetres = sceneToMetresYUp(scene);
    bool any = false;
    for (const auto& instance : scene.instances) {
        const Mesh& mesh = scene.meshes[instance.mesh];
        if (mesh.triangles.empty()) continue;
        const Matrix m = multiply(toMetres, instance.toWorld);
        for (size_t i = 0; i + 2 < mesh.vertices.size(); i += 3) {
            const Vec3 p = transformPoint(m, {mesh.vertices[i], mesh.vertices[i + 1], mesh.vertices[i + 2]});
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], p[k]);
                high[k] = std::max(high[k], p[k]);
            }
            any = true;
        }
    }
    return any;
}

}  // namespace preview
