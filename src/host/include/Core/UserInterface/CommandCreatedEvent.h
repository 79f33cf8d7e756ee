#pragma once

#include <vector>

#include <Core/Base.h>
#include <Core/Application/Event.h>
#include <Core/Application/EventHandler.h>
#include <Core/UserInterface/CommandCreatedEventArgs.h>

namespace adsk::core {
class CommandCreatedEventArgs;
class Event;
class EventHandler;
}  // namespace adsk::core

namespace adsk::core {

class CommandCreatedEventHandler : public EventHandler {
  public:
    virtual void notify(const Ptr<CommandCreatedEventArgs>& eventArgs) = 0;
};

class CommandCreatedEvent : public Event {
    ADSK_HOST_CLASS("adsk::core::CommandCreatedEvent", Event)
  public:
    bool add(CommandCreatedEventHandler* handler);
    bool remove(CommandCreatedEventHandler* handler);

  private:
    using Event::Event;
    std::vector<CommandCreatedEventHandler*> handlers_;
};

}  // namespace adsk::core
