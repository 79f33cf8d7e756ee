#pragma once

#include <Core/Base.h>
#include <Core/Application/Event.h>

namespace adsk::core {
class Event;
}  // namespace adsk::core

namespace adsk::core {

class EventArgs : public Base {
    ADSK_HOST_CLASS("adsk::core::EventArgs", Base)
  public:
    Ptr<Event> firingEvent() const { return firingEvent_; }

  protected:
    explicit EventArgs(Ptr<Event> firingEvent) : firingEvent_(std::move(firingEvent)) {}

  private:
    Ptr<Event> firingEvent_;
};

}  // namespace adsk::core
