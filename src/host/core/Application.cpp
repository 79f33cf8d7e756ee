#include <Core/CoreAll.h>

#include "host/model/AppState.h"
#include "host/model/HostArray.h"
#include "host/model/ModelAccess.h"

namespace adsk::core {

using host::detail::appState;

Ptr<Camera> Camera::create() {
    return Ptr<Camera>(new Camera());
}

Ptr<Point3D> Camera::eye() const {
    return Point3D::create(eye_[0], eye_[1], eye_[2]);
}
Ptr<Point3D> Camera::target() const {
    return Point3D::create(target_[0], target_[1], target_[2]);
}
Ptr<Vector3D> Camera::upVector() const {
    return Vector3D::create(up_[0], up_[1], up_[2]);
}

bool Camera::eye(const Ptr<Point3D>& point) {
    if (!point) return false;
    point->getData(eye_[0], eye_[1], eye_[2]);
    return true;
}

bool Camera::target(const Ptr<Point3D>& point) {
    if (!point) return false;
    point->getData(target_[0], target_[1], target_[2]);
    return true;
}

bool Camera::upVector(const Ptr<Vector3D>& vector) {
    if (!vector) return false;
    vector->getData(up_[0], up_[1], up_[2]);
    return true;
}

Ptr<Camera> Camera::copy() const {
    Ptr<Camera> c = create();
    c->type_ = type_;
    for (int i = 0; i < 3; ++i) {
        c->eye_[i] = eye_[i];
        c->target_[i] = target_[i];
        c->up_[i] = up_[i];
    }
    c->angle_ = angle_;
    return c;
}

Ptr<Camera> Viewport::camera() const {
    Ptr<Camera> c = Camera::create();
    host::ModelAccess::setCamera(*c, appState().camera);
    return c;
}

bool Viewport::camera(const Ptr<Camera>& camera) {
    if (!camera) return false;
    host::CameraData& data = appState().camera;
    data.type = camera->cameraType();
    camera->eye()->getData(data.eye[0], data.eye[1], data.eye[2]);
    camera->target()->getData(data.target[0], data.target[1], data.target[2]);
    camera->upVector()->getData(data.up[0], data.up[1], data.up[2]);
    data.perspectiveAngle = camera->perspectiveAngle();
    return true;
}

DefaultModelingOrientations GeneralPreferences::defaultModelingOrientation() const {
    return appState().orientation;
}

bool GeneralPreferences::defaultModelingOrientation(DefaultModelingOrientations orientation) {
    appState().orientation = orientation;
    return true;
}

Ptr<GeneralPreferences> Preferences::generalPreferences() const {
    const auto& state = appState();
    return state.availability.generalPreferences ? state.generalPreferences : nullptr;
}

Ptr<Application> Application::get() {
    const auto& state = appState();
    return state.availability.application ? state.application : nullptr;
}

Ptr<UserInterface> Application::userInterface() const {
    const auto& state = appState();
    return state.availability.userInterface ? state.userInterface : nullptr;
}

Ptr<Documents> Application::documents() const {
    return appState().documentList;
}
Ptr<Document> Application::activeDocument() const {
    return appState().activeDocument;
}

Ptr<Product> Application::activeProduct() const {
    Ptr<Document> document = activeDocument();
    if (!document || !document->products()) return nullptr;
    Ptr<Products> products = document->products();
    return products->count() ? products->item(0) : nullptr;
}

Ptr<Viewport> Application::activeViewport() const {
    const auto& state = appState();
    return state.availability.activeViewport ? state.viewport : nullptr;
}

Ptr<Preferences> Application::preferences() const {
    const auto& state = appState();
    return state.availability.preferences ? state.preferences : nullptr;
}

char* Application::version_raw() const {
    return host::detail::hostText("2.0.host-stand-in");
}

}  // namespace adsk::core
