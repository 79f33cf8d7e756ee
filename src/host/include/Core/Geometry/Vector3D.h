#pragma once

#include <vector>
#include <array>

#include <Core/Base.h>
#include <Core/Geometry/Point3D.h>

namespace adsk::core {
class Point3D;
}  // namespace adsk::core

namespace adsk::core {

class Vector3D : public Base {
    ADSK_HOST_CLASS("adsk::core::Vector3D", Base)
  public:
    static Ptr<Vector3D> create(double x = 0, double y = 0, double z = 0);

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

    double length() const;
    // In place; false (and unchanged) for a zero-length vector.
    bool normalize();
    bool add(const Ptr<Vector3D>& other);
    bool subtract(const Ptr<Vector3D>& other);
    bool scaleBy(double factor);
    double dotProduct(const Ptr<Vector3D>& other) const;
    Ptr<Vector3D> crossProduct(const Ptr<Vector3D>& other) const;
    bool getData(double& x, double& y, double& z) const;
    bool setWithArray(const std::vector<double>& coordinates);
    std::vector<double> asArray() const { return {v_[0], v_[1], v_[2]}; }
    Ptr<Point3D> asPoint() const;
    Ptr<Vector3D> copy() const;
    bool isEqualTo(const Ptr<Vector3D>& other) const;

  private:
    Vector3D(double x, double y, double z) : v_{x, y, z} {}
    std::array<double, 3> v_;
};

}  // namespace adsk::core
