#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/Materials/Property.h>

namespace adsk::core {
class Property;
}  // namespace adsk::core

namespace adsk::core {

class FloatProperty : public Property {
    ADSK_HOST_CLASS("adsk::core::FloatProperty", Property)
  public:
    double value() const { return value_; }
    bool value(double v) {
        value_ = v;
        return true;
    }

  private:
    FloatProperty(std::string id, std::string name) : Property(std::move(id), std::move(name)) {}
    double value_ = 0;
};

}  // namespace adsk::core
