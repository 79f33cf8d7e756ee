#pragma once
// A floating window of the user interface.

#include <string>

#include <Core/Base.h>

namespace adsk::core {

class Palette : public Base {
    ADSK_HOST_CLASS("adsk::core::Palette", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    bool isVisible() const { return visible_; }
    bool isVisible(bool visible) {
        visible_ = visible;
        return true;
    }

    char* id_raw() const;
    char* name_raw() const;

  protected:
    Palette(std::string id, std::string name) : id_(std::move(id)), name_(std::move(name)) {}

  private:
    std::string id_;
    std::string name_;
    bool visible_ = false;
};

}  // namespace adsk::core
