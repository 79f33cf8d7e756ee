#pragma once

#include <Core/Base.h>
#include <Core/CoreTypeDefs.h>
#include <Core/Geometry/Point3D.h>
#include <Core/Geometry/Vector3D.h>

namespace adsk::core {
class Point3D;
class Vector3D;
}  // namespace adsk::core

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

}  // namespace adsk::core
