#pragma once

#include <vector>
#include <array>

#include <Core/Base.h>
#include <Core/Geometry/Point3D.h>
#include <Core/Geometry/Vector3D.h>

namespace adsk::core {
class Point3D;
class Vector3D;
}  // namespace adsk::core

namespace adsk::core {

// Row-major cells; translation in column 3.
class Matrix3D : public Base {
    ADSK_HOST_CLASS("adsk::core::Matrix3D", Base)
  public:
    // The identity.
    static Ptr<Matrix3D> create();

    double getCell(int row, int column) const;
    bool setCell(int row, int column, double value);
    std::vector<double> asArray() const { return {cells_.begin(), cells_.end()}; }
    bool setWithArray(const std::vector<double>& cells);
    bool setToIdentity();
    Ptr<Vector3D> translation() const;
    bool translation(const Ptr<Vector3D>& offset);
    // The translation as origin and the first three columns as axes.
    void getAsCoordinateSystem(Ptr<Point3D>& origin, Ptr<Vector3D>& xAxis, Ptr<Vector3D>& yAxis,
                               Ptr<Vector3D>& zAxis) const;
    bool transformBy(const Ptr<Matrix3D>& other);
    Ptr<Matrix3D> copy() const;

  private:
    Matrix3D();
    std::array<double, 16> cells_;
};

}  // namespace adsk::core
