#pragma once

#include <array>

#include <Core/Base.h>
#include <Core/Geometry/Point3D.h>
#include <Fusion/FusionTypeDefs.h>

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class PhysicalProperties : public Base {
    ADSK_HOST_CLASS("adsk::fusion::PhysicalProperties", Base)
  public:
    double area() const { return area_; }
    double volume() const { return volume_; }
    // kg and kg/cm³.
    double mass() const { return volume_ * density_; }
    double density() const { return density_; }
    CalculationAccuracy accuracy() const { return accuracy_; }
    // cm, in the space of the component that holds the bodies.
    Ptr<core::Point3D> centerOfMass() const {
        return core::Point3D::create(centre_[0], centre_[1], centre_[2]);
    }

  private:
    PhysicalProperties(double area, double volume, double density, CalculationAccuracy accuracy,
                       std::array<double, 3> centre = {0, 0, 0})
        : area_(area), volume_(volume), density_(density), accuracy_(accuracy), centre_(centre) {}
    double area_;
    double volume_;
    double density_;
    CalculationAccuracy accuracy_;
    std::array<double, 3> centre_;
};

}  // namespace adsk::fusion
