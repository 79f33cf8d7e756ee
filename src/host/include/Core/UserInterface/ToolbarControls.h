#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/UserInterface/CommandControl.h>
#include <Core/UserInterface/CommandDefinition.h>
#include <Core/UserInterface/ToolbarControl.h>

namespace adsk::core {
class CommandControl;
class CommandDefinition;
class ToolbarControl;
}  // namespace adsk::core

namespace adsk::core {

class ToolbarControls : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarControls", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<ToolbarControl> item(size_t index) const;
    Ptr<ToolbarControl> itemById(const std::string& id) const;
    // Places a button before (or after) the control positionID, or at the end when
    // positionID is empty or unknown. Null when a control with that id exists.
    Ptr<CommandControl> addCommand(const Ptr<CommandDefinition>& definition,
                                   const std::string& positionID = "", bool isBefore = true);

  private:
    ToolbarControls() = default;
    std::vector<Ptr<ToolbarControl>> items_;
};

}  // namespace adsk::core
