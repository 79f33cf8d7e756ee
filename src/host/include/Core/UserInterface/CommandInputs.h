#pragma once

#include <Core/Base.h>
#include <Core/UserInterface/Command.h>

namespace adsk::core {
class Command;
}  // namespace adsk::core

namespace adsk::core {

class CommandInputs : public Base {
    ADSK_HOST_CLASS("adsk::core::CommandInputs", Base)
  public:
    size_t count() const { return 0; }
    Ptr<Base> item(size_t) const { return nullptr; }
    Ptr<Command> command() const;

  private:
    explicit CommandInputs(const Command* command) : command_(command) {}
    const Command* command_;  // the command owns its inputs
};

}  // namespace adsk::core
