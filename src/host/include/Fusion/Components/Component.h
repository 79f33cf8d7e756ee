#pragma once

#include <array>
#include <optional>
#include <string>

#include <Core/Base.h>
#include <Fusion/FusionTypeDefs.h>
#include <Fusion/BRep/BRepBodies.h>
#include <Fusion/Components/OccurrenceList.h>
#include <Fusion/Components/Occurrences.h>
#include <Fusion/Fusion/Design.h>
#include <Fusion/Fusion/PhysicalProperties.h>

namespace adsk::fusion {
class BRepBodies;
class Design;
class OccurrenceList;
class Occurrences;
class PhysicalProperties;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class Component : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Component", Base)
  public:
    std::string name() const { return core::detail::takeText(name_raw()); }
    bool name(const std::string& text) {
        name_ = text;
        return true;
    }
    std::string id() const { return core::detail::takeText(id_raw()); }
    Ptr<Occurrences> occurrences() const { return occurrences_; }
    Ptr<BRepBodies> bRepBodies() const { return bodies_; }
    // Every occurrence below this component, each parent before its children;
    // the deeper ones are seen through their parents.
    Ptr<OccurrenceList> allOccurrences() const;
    // Of its bodies and of every occurrence below it, each placed by its
    // transform; the centre of mass in this component's space. Null when the
    // host has no physical properties for the component.
    Ptr<PhysicalProperties> getPhysicalProperties(
        CalculationAccuracy accuracy = LowCalculationAccuracy) const;
    Ptr<PhysicalProperties> physicalProperties() const { return getPhysicalProperties(); }
    Ptr<Design> parentDesign() const;

    char* name_raw() const;
    char* id_raw() const;

  private:
    Component() = default;
    std::string id_;
    std::string name_;
    Ptr<Occurrences> occurrences_;
    Ptr<BRepBodies> bodies_;
    // Measured on first request and kept: the design does not change after.
    struct Totals {
        double area = 0;
        double volume = 0;
        double density = 0;
        std::array<double, 3> centre{};
    };
    const Totals& physicalTotals() const;

    bool hasPhysical_ = false;
    bool recordedPhysical_ = false;  // area_ and volume_ as the saved design recorded them
    double area_ = 0;
    double volume_ = 0;
    double density_ = 0.00785;  // kg/cm³
    mutable std::optional<Totals> totals_;
    const Design* design_ = nullptr;  // the design owns its components
};

}  // namespace adsk::fusion
