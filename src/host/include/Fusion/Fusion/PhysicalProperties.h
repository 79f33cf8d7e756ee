#pragma once

#include <Core/Base.h>
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

  private:
    PhysicalProperties(double area, double volume, double density, CalculationAccuracy accuracy)
        : area_(area), volume_(volume), density_(density), accuracy_(accuracy) {}
    double area_;
    double volume_;
    double density_;
    CalculationAccuracy accuracy_;
};

}  // namespace adsk::fusion
