#include "preview/ViewSetup.h"

#include <algorithm>
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

View fitted(const Scene& scene, const std::string& name, double aspect) {
    Vec3 low, high;
    if (!boundingBox(scene, low, high)) {
        low = {-1, -1, -1};
        high = {1, 1, 1};
    }
    const Vec3 centre = {(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2};
    const double radius = std::max(length({high[0] - low[0], high[1] - low[1], high[2] - low[2]}) / 2, 1e-6);
    Vec3 towardsEye = {1, 1, 1};
    if (name == "front") towardsEye = {0, 0, 1};
    if (name == "back") towardsEye = {0, 0, -1};
    if (name == "left") towardsEye = {-1, 0, 0};
    if (name == "right") towardsEye = {1, 0, 0};
    if (name == "top") towardsEye = {0, 1, 0};
    View view;
    frame(view, {-towardsEye[0], -towardsEye[1], -towardsEye[2]}, name == "top" ? Vec3{0, 0, -1} : Vec3{0, 1, 0});
    view.tanHalfFov = std::tan(35.0 * M_PI / 360.0);
    // The bounding sphere inside the narrower of the two fields of view.
    const double tanNarrow = view.tanHalfFov * std::min(1.0, aspect);
    const double distance = radius * 1.08 * std::sqrt(1 + tanNarrow * tanNarrow) / tanNarrow;
    const Vec3 away = normalise(towardsEye);
    view.eye = {centre[0] + away[0] * distance, centre[1] + away[1] * distance, centre[2] + away[2] * distance};
    view.halfHeight = radius * 1.08 / std::min(1.0, aspect);
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
    const Matrix toMetres = sceneToMetresYUp(scene);
    View view;
    if (!frame(view, transformVector(toMetres, camera->direction), transformVector(toMetres, camera->up)))
        return fitted(scene, "iso", aspect);
    view.eye = transformPoint(toMetres, camera->position);
    view.orthographic = camera->orthographic;
    const double fov = camera->fovDegrees > 0.1 && camera->fovDegrees < 179 ? camera->fovDegrees : 60;
    view.tanHalfFov = std::tan(fov * M_PI / 360.0);
    if (view.orthographic) {
        // The writer leaves the window empty: fit the bounding box instead.
        const View fit = fitted(scene, "iso", aspect);
        view.halfHeight = fit.halfHeight;
    }
    return view;
}

}  // namespace preview
