#include "addin/ActiveCamera.h"

#include "convert/ConversionFailure.h"
#include "scene/LightCamera.h"

using adsk::core::Ptr;

namespace {

constexpr double kOneOverPi = 0.3183098861837907;

}  // namespace

void writeActiveCamera(DesignConverter& converter) {
    Ptr<adsk::core::Camera> camera;
    {
        Ptr<adsk::core::Viewport> viewport = required(converter.application)->activeViewport();
        camera = required(required(viewport)->camera());
    }
    // The host's orthographic camera; every other kind is sent as a perspective view.
    if (camera->cameraType() == adsk::core::OrthographicCameraType) return;

    Ptr<adsk::core::Point3D> eye = required(camera->eye());
    Ptr<adsk::core::Point3D> target = required(camera->target());
    Ptr<adsk::core::Vector3D> up = required(camera->upVector());

    orv::LightCamera node(kActiveCameraName);
    const float f = converter.unitsPerCentimetre;
    node.setPosition(static_cast<float>(eye->x() * f), static_cast<float>(eye->y() * f),
                     static_cast<float>(eye->z() * f));

    Ptr<adsk::core::Vector3D> direction = required(target->asVector());
    Ptr<adsk::core::Vector3D> eyeVector = eye->asVector();
    // An eye on the target has no viewing direction: the scene then has no camera block.
    if (!direction->subtract(eyeVector) || !direction->normalize()) return;

    const std::vector<double> d = direction->asArray();
    node.setDirection(static_cast<float>(d[0]), static_cast<float>(d[1]), static_cast<float>(d[2]));
    node.setUp(static_cast<float>(up->x()), static_cast<float>(up->y()),
               static_cast<float>(up->z()));
    node.setProjection(orv::LightCamera::perspective);
    node.setFov(static_cast<float>(camera->perspectiveAngle() * 180.0 * kOneOverPi));
    node.write(*converter.wrapper);
}
