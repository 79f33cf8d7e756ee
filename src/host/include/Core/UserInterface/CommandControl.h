#pragma once

#include <Core/Base.h>
#include <Core/UserInterface/ToolbarControl.h>
#include <Core/UserInterface/CommandDefinition.h>

namespace adsk::core {
class CommandDefinition;
class ToolbarControl;
}  // namespace adsk::core

namespace adsk::core {

// A button that runs a command definition; its id is the definition's id.
class CommandControl : public ToolbarControl {
    ADSK_HOST_CLASS("adsk::core::CommandControl", ToolbarControl)
  public:
    Ptr<CommandDefinition> commandDefinition() const { return definition_; }

  private:
    explicit CommandControl(Ptr<CommandDefinition> definition);
    Ptr<CommandDefinition> definition_;
};

}  // namespace adsk::core
