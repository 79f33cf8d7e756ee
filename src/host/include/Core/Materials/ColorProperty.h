#pragma once

#include <string>
#include <array>
#include <optional>

#include <Core/Base.h>
#include <Core/Materials/Property.h>
#include <Core/Application/Color.h>
#include <Core/Materials/AppearanceTexture.h>

namespace adsk::core {
class AppearanceTexture;
class Color;
class Property;
}  // namespace adsk::core

namespace adsk::core {

class ColorProperty : public Property {
    ADSK_HOST_CLASS("adsk::core::ColorProperty", Property)
  public:
    // Null when a texture drives the colour.
    Ptr<Color> value() const;
    bool value(const Ptr<Color>& color);
    bool hasConnectedTexture() const { return bool(texture_); }
    Ptr<AppearanceTexture> connectedTexture() const;

  private:
    ColorProperty(std::string id, std::string name) : Property(std::move(id), std::move(name)) {}
    std::optional<std::array<short, 4>> color_;
    Ptr<AppearanceTexture> texture_;
};

}  // namespace adsk::core
