#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/Materials/Property.h>

namespace adsk::core {
class Property;
}  // namespace adsk::core

namespace adsk::core {

class FilenameProperty : public Property {
    ADSK_HOST_CLASS("adsk::core::FilenameProperty", Property)
  public:
    std::string value() const { return detail::takeText(value_raw()); }
    bool value(const std::string& path);

    char* value_raw() const;

  private:
    FilenameProperty(std::string id, std::string name) : Property(std::move(id), std::move(name)) {}
    std::string value_;
};

}  // namespace adsk::core
