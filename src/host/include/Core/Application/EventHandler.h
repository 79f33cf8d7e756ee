#pragma once

#include <Core/Base.h>

namespace adsk::core {

// Base of the add-in's handlers. The host library provides construction and
// destruction; a destroyed handler is never called again.
class EventHandler {
  public:
    EventHandler();
    EventHandler(const EventHandler&) = delete;
    EventHandler& operator=(const EventHandler&) = delete;
    virtual ~EventHandler();
};

}  // namespace adsk::core
