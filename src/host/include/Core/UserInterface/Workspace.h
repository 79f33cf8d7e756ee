#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/UserInterface/ToolbarPanels.h>

namespace adsk::core {
class ToolbarPanels;
}  // namespace adsk::core

namespace adsk::core {

class Workspace : public Base {
    ADSK_HOST_CLASS("adsk::core::Workspace", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    Ptr<ToolbarPanels> toolbarPanels() const { return panels_; }

    char* id_raw() const;
    char* name_raw() const;

  private:
    Workspace(std::string id, std::string name) : id_(std::move(id)), name_(std::move(name)) {}
    std::string id_;
    std::string name_;
    Ptr<ToolbarPanels> panels_;
};

}  // namespace adsk::core
