#pragma once

#include <vector>
#include <array>

#include <Core/Base.h>
#include <Core/Geometry/Vector3D.h>

namespace adsk::core {
class Vector3D;
}  // namespace adsk::core

namespace adsk::core {

class Point3D : public Base {
    ADSK_HOST_CLASS("adsk::core::Point3D", Base)
  public:
    static Ptr<Point3D> create(double x = 0, double y = 0, double z = 0);

    double x() const { return v_[0]; }
    double y() const { return v_[1]; }
    double z() const { return v_[2]; }
    bool x(double value) {
        v_[0] = value;
        return true;
    }
    bool y(double value) {
        v_[1] = value;
        return true;
    }
    bool z(double value) {
        v_[2] = value;
        return true;
    }

    bool getData(double& x, double& y, double& z) const;
    bool setWithArray(const std::vector<double>& coordinates);
    std::vector<double> asArray() const { return {v_[0], v_[1], v_[2]}; }
    Ptr<Vector3D> asVector() const;
    Ptr<Point3D> copy() const;
    double distanceTo(const Ptr<Point3D>& other) const;
    bool isEqualTo(const Ptr<Point3D>& other) const;

  private:
    Point3D(double x, double y, double z) : v_{x, y, z} {}
    std::array<double, 3> v_;
};

}  // namespace adsk::core
