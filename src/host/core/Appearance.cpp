#include <Core/CoreAll.h>

#include "host/model/HostArray.h"

namespace adsk::core {

using host::detail::hostText;

Ptr<Color> Color::create(short red, short green, short blue, short opacity) {
    return Ptr<Color>(new Color(red, green, blue, opacity));
}

bool Color::getColor(short& red, short& green, short& blue, short& opacity) const {
    red = rgba_[0];
    green = rgba_[1];
    blue = rgba_[2];
    opacity = rgba_[3];
    return true;
}

bool Color::setColor(short red, short green, short blue, short opacity) {
    rgba_[0] = red;
    rgba_[1] = green;
    rgba_[2] = blue;
    rgba_[3] = opacity;
    return true;
}

char* Property::id_raw() const {
    return hostText(id_);
}
char* Property::name_raw() const {
    return hostText(name_);
}

Ptr<Property> Properties::item(int index) const {
    if (index < 0 || size_t(index) >= items_.size()) return nullptr;
    return items_[index];
}

Ptr<Property> Properties::itemById(const std::string& id) const {
    for (const auto& p : items_)
        if (p->id() == id) return p;
    return nullptr;
}

Ptr<Color> ColorProperty::value() const {
    if (!color_) return nullptr;
    const auto& c = *color_;
    return Color::create(c[0], c[1], c[2], c[3]);
}

bool ColorProperty::value(const Ptr<Color>& color) {
    if (!color) return false;
    color_ = std::array<short, 4>{color->red(), color->green(), color->blue(), color->opacity()};
    return true;
}

Ptr<AppearanceTexture> ColorProperty::connectedTexture() const {
    return texture_;
}

char* FilenameProperty::value_raw() const {
    return hostText(value_);
}

bool FilenameProperty::value(const std::string& path) {
    value_ = path;
    return true;
}

char* Appearance::id_raw() const {
    return hostText(id_);
}
char* Appearance::name_raw() const {
    return hostText(name_);
}

bool Appearance::name(const std::string& text) {
    name_ = text;
    return true;
}

bool Appearance::hasTexture() const {
    if (!properties_) return false;
    for (size_t i = 0; i < properties_->count(); ++i) {
        Ptr<ColorProperty> color = properties_->item(int(i));
        if (color && color->hasConnectedTexture()) return true;
    }
    return false;
}

Ptr<Appearance> Appearances::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<Appearance> Appearances::itemById(const std::string& id) const {
    for (const auto& a : items_)
        if (a->id() == id) return a;
    return nullptr;
}

Ptr<Appearance> Appearances::itemByName(const std::string& name) const {
    for (const auto& a : items_)
        if (a->name() == name) return a;
    return nullptr;
}

}  // namespace adsk::core
