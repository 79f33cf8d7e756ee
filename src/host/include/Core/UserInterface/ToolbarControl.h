#pragma once

#include <string>

#include <Core/Base.h>

namespace adsk::core {

class ToolbarControl : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarControl", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    bool isVisible() const { return visible_; }
    bool isVisible(bool visible) {
        visible_ = visible;
        return true;
    }

    char* id_raw() const;

  protected:
    explicit ToolbarControl(std::string id) : id_(std::move(id)) {}

  private:
    std::string id_;
    bool visible_ = false;
};

}  // namespace adsk::core
