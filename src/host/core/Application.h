#pragma once
// The application: entry to the user interface, documents, viewport and preferences.

#include "host/core/Appearance.h"
#include "host/core/Base.h"
#include "host/core/Document.h"
#include "host/core/Enums.h"
#include "host/core/Events.h"
#include "host/core/Geometry.h"
#include "host/core/UserInterface.h"

namespace adsk::core {

class Camera : public Base {
    ADSK_HOST_CLASS("adsk::core::Camera", Base)
  public:
    static Ptr<Camera> create();

    CameraTypes cameraType() const { return type_; }
    bool cameraType(CameraTypes type) {
        type_ = type;
        return true;
    }
    Ptr<Point3D> eye() const;
    bool eye(const Ptr<Point3D>& point);
    Ptr<Point3D> target() const;
    bool target(const Ptr<Point3D>& point);
    Ptr<Vector3D> upVector() const;
    bool upVector(const Ptr<Vector3D>& vector);
    // Radians.
    double perspectiveAngle() const { return angle_; }
    bool perspectiveAngle(double radians) {
        angle_ = radians;
        return true;
    }
    bool isSmoothTransition() const { return false; }
    Ptr<Camera> copy() const;

  private:
    Camera() = default;
    CameraTypes type_ = PerspectiveCameraType;
    double eye_[3] = {40, 30, 40};
    double target_[3] = {0, 0, 0};
    double up_[3] = {0, 1, 0};
    double angle_ = 0.5;
};

class Viewport : public Base {
    ADSK_HOST_CLASS("adsk::core::Viewport", Base)
  public:
    // A copy of the viewport's camera.
    Ptr<Camera> camera() const;
    bool camera(const Ptr<Camera>& camera);
    int width() const { return 1280; }
    int height() const { return 720; }

  private:
    Viewport() = default;
};

class GeneralPreferences : public Base {
    ADSK_HOST_CLASS("adsk::core::GeneralPreferences", Base)
  public:
    DefaultModelingOrientations defaultModelingOrientation() const;
    bool defaultModelingOrientation(DefaultModelingOrientations orientation);

  private:
    GeneralPreferences() = default;
};

class Preferences : public Base {
    ADSK_HOST_CLASS("adsk::core::Preferences", Base)
  public:
    Ptr<GeneralPreferences> generalPreferences() const;

  private:
    Preferences() = default;
};

class Application : public Base {
    ADSK_HOST_CLASS("adsk::core::Application", Base)
  public:
    // The one application of this process; null only when the host program says so.
    static Ptr<Application> get();

    Ptr<UserInterface> userInterface() const;
    Ptr<Documents> documents() const;
    Ptr<Document> activeDocument() const;
    Ptr<Product> activeProduct() const;
    Ptr<Viewport> activeViewport() const;
    Ptr<Preferences> preferences() const;
    std::string version() const { return detail::takeText(version_raw()); }

    char* version_raw() const;

  private:
    Application() = default;
};

}  // namespace adsk::core
