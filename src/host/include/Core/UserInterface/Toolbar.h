#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/UserInterface/ToolbarControls.h>

namespace adsk::core {
class ToolbarControls;
}  // namespace adsk::core

namespace adsk::core {

class Toolbar : public Base {
    ADSK_HOST_CLASS("adsk::core::Toolbar", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    Ptr<ToolbarControls> controls() const { return controls_; }

    char* id_raw() const;

  private:
    explicit Toolbar(std::string id) : id_(std::move(id)) {}
    std::string id_;
    Ptr<ToolbarControls> controls_;
};

}  // namespace adsk::core
