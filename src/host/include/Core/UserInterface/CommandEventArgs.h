#pragma once

#include <Core/Base.h>
#include <Core/Application/EventArgs.h>
#include <Core/Application/Event.h>
#include <Core/UserInterface/Command.h>

namespace adsk::core {
class Command;
class Event;
class EventArgs;
}  // namespace adsk::core

namespace adsk::core {

class CommandEventArgs : public EventArgs {
    ADSK_HOST_CLASS("adsk::core::CommandEventArgs", EventArgs)
  public:
    Ptr<Command> command() const { return command_; }
    bool executeFailed() const { return executeFailed_; }
    bool executeFailed(bool failed) {
        executeFailed_ = failed;
        return true;
    }

  private:
    CommandEventArgs(Ptr<Event> firingEvent, Ptr<Command> command)
        : EventArgs(std::move(firingEvent)), command_(std::move(command)) {}
    Ptr<Command> command_;
    bool executeFailed_ = false;
};

}  // namespace adsk::core
