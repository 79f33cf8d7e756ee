#include "scene/LightCamera.h"

#include <algorithm>

#include "importers/sceneapi/orvSceneapi_oo.h"

namespace orv {

namespace {
constexpr uint32_t fovSingle = 0;
constexpr uint32_t fovFour = 1;
}  // namespace

LightCamera::LightCamera(std::string name) : name(std::move(name)) {}

void LightCamera::define(orvSceneapi_oo&) {}

bool LightCamera::isDefined() const {
    return false;
}

void LightCamera::setFov(float degrees) {
    fov = degrees;
    fovMode = fovSingle;
}

void LightCamera::write(orvSceneapi_oo& oo) {
    orvScene_api* api = oo.api();
    api->beginCamera(name.c_str());
    if (projection == orthographic) {
        oo.setString("projection", "orthographic");
        api->attribute("window", vtFloat4b, window.data());
    } else {
        oo.setString("projection", "perspective");
        if (fovMode == fovSingle) {
            oo.setFloat("fov", fov);
        } else if (fovMode == fovFour) {
            api->attribute("fov4", vtFloat4b, fov4.data());
        }
    }
    const int32_t environment = writeEnvironment(oo);
    api->attribute("reflection map", vtShaderId, &environment);
    oo.setVector("position", position.data());
    oo.setVector("direction", direction.data());
    if (hasLookAt) oo.setVector("look_at", lookAt.data());
    oo.setVector("up", up.data());
    if (nearClip > 0 && farClip > 0 && farClip > nearClip) {
        const float clipping[2] = {nearClip, farClip};
        api->attribute("clipping", vtFloat2, clipping);
    }
    for (const auto& node : nodes) oo.writeNode(*node);
    if (nodes.empty() && hasTransform) oo.transform(transform.data());
    api->endCamera();
}

int32_t LightCamera::writeEnvironment(orvSceneapi_oo& oo) {
    const int32_t id = oo.beginShader("orv_envmap");
    oo.setString("texture", "startup.hdr");
    oo.setInt("format", 3);
    oo.setFloat("radius", 25.0f);
    oo.endShader();
    return id;
}

}  // namespace orv
