#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/Materials/Property.h>

namespace adsk::core {
class Property;
}  // namespace adsk::core

namespace adsk::core {

class Properties : public Base {
    ADSK_HOST_CLASS("adsk::core::Properties", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Property> item(int index) const;
    Ptr<Property> itemById(const std::string& id) const;

  private:
    Properties() = default;
    std::vector<Ptr<Property>> items_;
};

}  // namespace adsk::core
