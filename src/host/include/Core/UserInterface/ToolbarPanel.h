#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/UserInterface/ToolbarControls.h>

namespace adsk::core {
class ToolbarControls;
}  // namespace adsk::core

namespace adsk::core {

class ToolbarPanel : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarPanel", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    Ptr<ToolbarControls> controls() const { return controls_; }

    char* id_raw() const;
    char* name_raw() const;

  private:
    ToolbarPanel(std::string id, std::string name) : id_(std::move(id)), name_(std::move(name)) {}
    std::string id_;
    std::string name_;
    Ptr<ToolbarControls> controls_;
};

}  // namespace adsk::core
