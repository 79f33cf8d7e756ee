#pragma once

#include <vector>

#include <Core/Base.h>
#include <Core/Application/Event.h>
#include <Core/Application/EventHandler.h>
#include <Core/UserInterface/CommandEventArgs.h>

namespace adsk::core {
class CommandEventArgs;
class Event;
class EventHandler;
}  // namespace adsk::core

namespace adsk::core {

class CommandEventHandler : public EventHandler {
  public:
    virtual void notify(const Ptr<CommandEventArgs>& eventArgs) = 0;
};

class CommandEvent : public Event {
    ADSK_HOST_CLASS("adsk::core::CommandEvent", Event)
  public:
    bool add(CommandEventHandler* handler);
    bool remove(CommandEventHandler* handler);

  private:
    using Event::Event;
    std::vector<CommandEventHandler*> handlers_;
};

}  // namespace adsk::core
