#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/UserInterface/ToolbarPanel.h>

namespace adsk::core {
class ToolbarPanel;
}  // namespace adsk::core

namespace adsk::core {

class ToolbarPanels : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarPanels", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<ToolbarPanel> item(size_t index) const;
    Ptr<ToolbarPanel> itemById(const std::string& id) const;

  private:
    ToolbarPanels() = default;
    std::vector<Ptr<ToolbarPanel>> items_;
};

}  // namespace adsk::core
