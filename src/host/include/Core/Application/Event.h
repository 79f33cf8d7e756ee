#pragma once

#include <string>

#include <Core/Base.h>

namespace adsk::core {

class Event : public Base {
    ADSK_HOST_CLASS("adsk::core::Event", Base)
  public:
    std::string name() const { return detail::takeText(name_raw()); }
    // The object that fires the event (for a command's execute event, the command).
    Ptr<Base> sender() const { return Ptr<Base>(sender_, false); }

    char* name_raw() const;

  protected:
    Event(std::string name, const Base* sender) : name_(std::move(name)), sender_(sender) {}

  private:
    std::string name_;
    const Base* sender_;  // the sender owns its events
};

}  // namespace adsk::core
