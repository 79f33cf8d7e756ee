#pragma once

#include <vector>

#include <Core/Base.h>
#include <Fusion/Components/Component.h>

namespace adsk::fusion {
class Component;
}  // namespace adsk::fusion

namespace adsk::fusion {

using adsk::core::Base;
using adsk::core::Ptr;

class Components : public Base {
    ADSK_HOST_CLASS("adsk::fusion::Components", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Component> item(size_t index) const;

  private:
    Components() = default;
    std::vector<Ptr<Component>> items_;
};

}  // namespace adsk::fusion
