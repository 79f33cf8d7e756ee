#pragma once

#include <array>
#include <string>

#include <Core/Base.h>
#include <Core/Materials/Appearance.h>
#include <Fusion/BRep/BRepFaces.h>
#include <Fusion/Components/Component.h>
#include <Fusion/FusionTypeDefs.h>
#include <Fusion/Fusion/PhysicalProperties.h>
#include <Fusion/MeshData/MeshManager.h>

namespace adsk::core {
class Appearance;
}  // namespace adsk::core

namespace adsk::fusion {
class BRepFaces;
class Component;
class MeshManager;
class PhysicalProperties;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class BRepBody : public Base {
    ADSK_HOST_CLASS("adsk::fusion::BRepBody", Base)
  public:
    std::string name() const { return core::detail::takeText(name_raw()); }
    bool name(const std::string& text) {
        name_ = text;
        return true;
    }
    bool isVisible() const { return visible_; }
    bool isLightBulbOn() const { return visible_; }
    bool isLightBulbOn(bool on) {
        visible_ = on;
        return true;
    }
    Ptr<core::Appearance> appearance() const { return appearance_; }
    Ptr<BRepFaces> faces() const { return faces_; }
    // All faces' display meshes, in face order.
    Ptr<MeshManager> meshManager() const;
    Ptr<Component> parentComponent() const;
    // Measured on the display meshes, with the component's density.
    Ptr<PhysicalProperties> getPhysicalProperties(
        CalculationAccuracy accuracy = LowCalculationAccuracy) const;
    Ptr<PhysicalProperties> physicalProperties() const { return getPhysicalProperties(); }

    char* name_raw() const;

  private:
    BRepBody() = default;
    std::string name_;
    bool visible_ = true;
    Ptr<core::Appearance> appearance_;
    Ptr<BRepFaces> faces_;
    const Component* component_ = nullptr;  // the component owns its bodies
    // Exact area, volume and centre of mass, when the design brought them.
    bool measured_ = false;
    double area_ = 0;
    double volume_ = 0;
    std::array<double, 3> centre_{};
};

}  // namespace adsk::fusion
