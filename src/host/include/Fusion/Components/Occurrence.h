#pragma once

#include <string>
#include <array>

#include <Core/Base.h>
#include <Core/Geometry/Matrix3D.h>
#include <Core/Materials/Appearance.h>
#include <Fusion/Components/Component.h>

namespace adsk::core {
class Appearance;
class Matrix3D;
}  // namespace adsk::core

namespace adsk::fusion {
class Component;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class Occurrence : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Occurrence", Base)
  public:
    // "Component:1" style.
    std::string name() const { return core::detail::takeText(name_raw()); }
    Ptr<Component> component() const { return component_; }
    bool isVisible() const { return visible_; }
    bool isLightBulbOn() const { return visible_; }
    bool isLightBulbOn(bool on) {
        visible_ = on;
        return true;
    }
    // The appearance override; null when there is none.
    Ptr<core::Appearance> appearance() const { return appearance_; }
    // A copy of the placement in the parent (row-major, translation in column 3).
    Ptr<core::Matrix3D> transform() const;
    Ptr<core::Matrix3D> transform2() const { return transform(); }

    char* name_raw() const;

  private:
    Occurrence() = default;
    std::string name_;
    Ptr<Component> component_;
    bool visible_ = true;
    Ptr<core::Appearance> appearance_;
    bool hasTransform_ = true;
    std::array<double, 16> transform_{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

}  // namespace adsk::fusion
