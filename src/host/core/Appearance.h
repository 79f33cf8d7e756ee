#pragma once
// Appearances and their properties: colours, file names and connected textures.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "host/core/Base.h"

namespace adsk::core {

// Red, green, blue and opacity, 0 to 255.
class Color : public Base {
    ADSK_HOST_CLASS("adsk::core::Color", Base)
  public:
    static Ptr<Color> create(short red, short green, short blue, short opacity);

    short red() const { return rgba_[0]; }
    short green() const { return rgba_[1]; }
    short blue() const { return rgba_[2]; }
    short opacity() const { return rgba_[3]; }
    bool red(short value) {
        rgba_[0] = value;
        return true;
    }
    bool green(short value) {
        rgba_[1] = value;
        return true;
    }
    bool blue(short value) {
        rgba_[2] = value;
        return true;
    }
    bool opacity(short value) {
        rgba_[3] = value;
        return true;
    }
    bool getColor(short& red, short& green, short& blue, short& opacity) const;
    bool setColor(short red, short green, short blue, short opacity);

  private:
    Color(short red, short green, short blue, short opacity) : rgba_{red, green, blue, opacity} {}
    short rgba_[4];
};

// A property of an appearance or texture. Plain properties (neither colour nor
// file name) are instances of this class itself.
class Property : public Base {
    ADSK_HOST_CLASS("adsk::core::Property", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    bool isReadOnly() const { return false; }

    char* id_raw() const;
    char* name_raw() const;

  protected:
    Property(std::string id, std::string name) : id_(std::move(id)), name_(std::move(name)) {}

  private:
    std::string id_;
    std::string name_;
};

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

class AppearanceTexture : public Base {
    ADSK_HOST_CLASS("adsk::core::AppearanceTexture", Base)
  public:
    Ptr<Properties> properties() const { return properties_; }

  private:
    AppearanceTexture() = default;
    Ptr<Properties> properties_;
};

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

class Appearances : public Base {
    ADSK_HOST_CLASS("adsk::core::Appearances", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Appearance> item(size_t index) const;
    Ptr<Appearance> itemById(const std::string& id) const;
    Ptr<Appearance> itemByName(const std::string& name) const;

  private:
    Appearances() = default;
    std::vector<Ptr<Appearance>> items_;
};

}  // namespace adsk::core
