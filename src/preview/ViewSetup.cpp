#include "preview/ViewSetup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace preview {

namespace {

double length(const Vec3& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}
Vec3 normalise(const Vec3& v) {
    const double l = length(v);
    return l > 0 ? Vec3{v[0] / l, v[1] / l, v[2] / l} : Vec3{0, 0, 0};
}
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Completes forward and an up hint into an orthonormal frame; false when degenerate.
bool frame(View& view, const Vec3& forward, const Vec3& upHint) {
    view.forward = normalise(forward);
    view.right = normalise(cross(view.forward, upHint));
    if (length(view.right) == 0) view.right = normalise(cross(view.forward, {0, 0, -1}));
    view.up = cross(view.right, view.forward);
    return length(view.forward) > 0 && std::isfinite(view.forward[0] + view.forward[1] + view.forward[2]);
}

// Corners of the scene's bounding box in metres (a unit cube when it is empty).
std::array<Vec3, 8> boxCorners(const Scene& scene, Vec3& centre) {
    Vec3 low, high;
    if (!boundingBox(scene, low, high)) {
        low = {-1, -1, -1};
        high = {1, 1, 1};
    }
    centre = {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
    std::array<Vec3, 8> corners;
    for (int i = 0; i < 8; ++i)
        corners[i] = {i & 1 ? high[0] : low[0], i & 2 ? high[1] : low[1], i & 4 ? high[2] : low[2]};
    return corners;
}

double along(const Vec3& v, const Vec3& axis) {
    return v[0] * axis[0] + v[1] * axis[1] + v[2] * axis[2];
}

// Places the eye of an oriented view on the line through the box's centre so
// that every corner of the box is inside the picture, with a small margin.
void fitBox(const Scene& scene, View& view, double aspect) {
    Vec3 centre;
    const auto corners = boxCorners(scene, centre);
    const double tanHeight = view.tanHalfFov, tanWidth = view.tanHalfFov * aspect;
    double distance = 0, halfHeight = 1e-9, depth = 1e-9;
    for (const Vec3& corner : corners) {
        const Vec3 offset = {corner[0] - centre[0], corner[1] - centre[1], corner[2] - centre[2]};
        const double x = std::fabs(along(offset, view.right)), y = std::fabs(along(offset, view.up));
        const double z = along(offset, view.forward);  // towards the far side
        distance = std::max({distance, x / tanWidth - z, y / tanHeight - z});
        halfHeight = std::max({halfHeight, y, x / aspect});
        depth = std::max(depth, std::fabs(z));
    }
    constexpr double margin = 1.06;
    halfHeight *= margin;
    if (view.orthographic) distance = 2 * depth + halfHeight;  // from outside the box
    else distance = distance * margin + depth * (margin - 1);
    view.eye = {centre[0] - view.forward[0] * distance, centre[1] - view.forward[1] * distance,
                centre[2] - view.forward[2] * distance};
    view.halfHeight = halfHeight;
}

View fitted(const Scene& scene, const std::string& name, double aspect) {
    Vec3 towardsEye = {1, 1, 1};
    if (name == "front") towardsEye = {0, 0, 1};
    if (name == "back") towardsEye = {0, 0, -1};
    if (name == "left") towardsEye = {-1, 0, 0};
    if (name == "right") towardsEye = {1, 0, 0};
    if (name == "top") towardsEye = {0, 1, 0};
    View view;
    frame(view, {-towardsEye[0], -towardsEye[1], -towardsEye[2]}, name == "top" ? Vec3{0, 0, -1} : Vec3{0, 1, 0});
    view.tanHalfFov = std::tan(35.0 * M_PI / 360.0);
    fitBox(scene, view, aspect);
    return view;
}

}  // namespace

View chooseView(const Scene& scene, const std::string& name, double aspect) {
    const Camera* camera = nullptr;
    for (const auto& candidate : scene.cameras)
        if (name.empty() || candidate.name == name) {
            camera = &candidate;
            break;
        }
    if (!camera) {
        if (name.empty()) return fitted(scene, "iso", aspect);
        if (std::find(std::begin(kFittedViews), std::end(kFittedViews), name) != std::end(kFittedViews))
            return fitted(scene, name, aspect);
        throw std::invalid_argument("no camera or view named \"" + name + "\"");
    }
    const Matrix toMetres = multiply(sceneToMetresYUp(scene), camera->placement);
    Vec3 direction = camera->direction;
    if (camera->hasLookAt) {
        const Vec3 towards = {camera->lookAt[0] - camera->position[0], camera->lookAt[1] - camera->position[1],
                              camera->lookAt[2] - camera->position[2]};
        if (length(towards) > 0) direction = towards;
    }
    View view;
    if (!frame(view, transformVector(toMetres, direction), transformVector(toMetres, camera->up)))
        return fitted(scene, "iso", aspect);
    view.eye = transformPoint(toMetres, camera->position);
    view.orthographic = camera->orthographic;
    const double fov = camera->fovDegrees > 0.1 && camera->fovDegrees < 179 ? camera->fovDegrees : 60;
    view.tanHalfFov = std::tan(fov * M_PI / 360.0);
    if (view.orthographic) {
        const auto& w = camera->window;  // left, right, bottom, top in scene units
        if (w[1] > w[0] && w[3] > w[2] && std::isfinite(w[0] + w[1] + w[2] + w[3])) {
            const double scale = scene.meterScale > 0 ? 1.0 / scene.meterScale : 1.0;
            const Vec3 shift = {(w[0] + w[1]) / 2 * scale, (w[2] + w[3]) / 2 * scale, 0};
            for (int k = 0; k < 3; ++k) view.eye[k] += view.right[k] * shift[0] + view.up[k] * shift[1];
            view.halfHeight = std::max((w[3] - w[2]) / 2, (w[1] - w[0]) / 2 / aspect) * scale;
        } else {
            // Without a window the camera keeps its direction and shows the whole scene.
            fitBox(scene, view, aspect);
        }
    }
    return view;
}

}  // namespace preview
