#pragma once

#include <Core/Base.h>
#include <Core/UserInterface/CommandDefinition.h>
#include <Core/UserInterface/CommandEvent.h>
#include <Core/UserInterface/CommandInputs.h>

namespace adsk::core {
class CommandDefinition;
class CommandEvent;
class CommandInputs;
}  // namespace adsk::core

namespace adsk::core {

// One run of a command, made when the user clicks a control.
class Command : public Base {
    ADSK_HOST_CLASS("adsk::core::Command", Base)
  public:
    // The execute event; handlers added to it run when the command executes.
    Ptr<CommandEvent> execute() const { return execute_; }
    Ptr<CommandEvent> destroy() const { return destroy_; }
    Ptr<CommandInputs> commandInputs() const { return inputs_; }
    Ptr<CommandDefinition> parentCommandDefinition() const;
    bool isOKButtonVisible() const { return true; }

  private:
    explicit Command(const CommandDefinition* definition);
    ~Command() override;
    const CommandDefinition* definition_;  // definitions live as long as the host
    Ptr<CommandEvent> execute_;
    Ptr<CommandEvent> destroy_;
    Ptr<CommandInputs> inputs_;
};

}  // namespace adsk::core
