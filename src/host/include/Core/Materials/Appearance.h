#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/Materials/Properties.h>

namespace adsk::core {
class Properties;
}  // namespace adsk::core

namespace adsk::core {

class Appearance : public Base {
    ADSK_HOST_CLASS("adsk::core::Appearance", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    bool name(const std::string& text);
    // True when a colour property has a connected texture.
    bool hasTexture() const;
    Ptr<Properties> appearanceProperties() const { return properties_; }

    char* id_raw() const;
    char* name_raw() const;

  private:
    Appearance() = default;
    std::string id_;
    std::string name_;
    Ptr<Properties> properties_;
};

}  // namespace adsk::core
