#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/UserInterface/CommandCreatedEvent.h>

namespace adsk::core {
class CommandCreatedEvent;
}  // namespace adsk::core

namespace adsk::core {

class CommandDefinition : public Base {
    ADSK_HOST_CLASS("adsk::core::CommandDefinition", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    std::string tooltip() const { return detail::takeText(tooltip_raw()); }
    std::string resourceFolder() const { return detail::takeText(resourceFolder_raw()); }
    Ptr<CommandCreatedEvent> commandCreated() const { return created_; }
    // Runs the command as a click does: created handlers, then execute handlers.
    bool execute();

    char* id_raw() const;
    char* name_raw() const;
    char* tooltip_raw() const;
    char* resourceFolder_raw() const;

  private:
    CommandDefinition(std::string id, std::string name, std::string tooltip,
                      std::string resourceFolder);
    std::string id_;
    std::string name_;
    std::string tooltip_;
    std::string resourceFolder_;
    Ptr<CommandCreatedEvent> created_;
};

}  // namespace adsk::core
