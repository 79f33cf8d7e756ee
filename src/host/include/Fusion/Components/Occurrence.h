#pragma once

#include <string>
#include <array>

#include <Core/Base.h>
#include <Core/Geometry/Matrix3D.h>
#include <Core/Materials/Appearance.h>
#include <Fusion/Components/Component.h>
#include <Fusion/Components/OccurrenceList.h>

namespace adsk::core {
class Appearance;
class Matrix3D;
}  // namespace adsk::core

namespace adsk::fusion {
class Component;
class OccurrenceList;
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
    // Its light bulb and those of the occurrences it is seen through.
    bool isVisible() const;
    bool isLightBulbOn() const { return visible_; }
    bool isLightBulbOn(bool on) {
        visible_ = on;
        return true;
    }
    // The appearance override; null when there is none.
    Ptr<core::Appearance> appearance() const { return appearance_; }
    // A copy of the placement (row-major, translation in column 3) in the parent
    // component, or for an occurrence seen through others, in the top component.
    Ptr<core::Matrix3D> transform() const;
    Ptr<core::Matrix3D> transform2() const { return transform(); }

    // The occurrences of its component, seen through this one.
    Ptr<OccurrenceList> childOccurrences() const;
    // The names from the top of the assembly down to this one, joined by "+".
    std::string fullPathName() const { return core::detail::takeText(fullPathName_raw()); }
    // The occurrence this one is seen through; null for a top-level one.
    Ptr<Occurrence> assemblyContext() const { return context_; }
    // The occurrence in its own parent component; null when this is that one.
    Ptr<Occurrence> nativeObject() const { return native_; }

    char* name_raw() const;
    char* fullPathName_raw() const;

  private:
    Occurrence() = default;
    std::string name_;
    Ptr<Component> component_;
    bool visible_ = true;
    Ptr<core::Appearance> appearance_;
    bool hasTransform_ = true;
    std::array<double, 16> transform_{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    Ptr<Occurrence> context_;  // set on an occurrence seen through another
    Ptr<Occurrence> native_;
};

}  // namespace adsk::fusion
