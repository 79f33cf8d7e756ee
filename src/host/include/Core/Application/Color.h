#pragma once

#include <Core/Base.h>

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

}  // namespace adsk::core
