#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/UserInterface/CommandDefinition.h>

namespace adsk::core {
class CommandDefinition;
}  // namespace adsk::core

namespace adsk::core {

class CommandDefinitions : public Base {
    ADSK_HOST_CLASS("adsk::core::CommandDefinitions", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<CommandDefinition> item(size_t index) const;
    Ptr<CommandDefinition> itemById(const std::string& id) const;
    // Null when the id is empty or already defined.
    Ptr<CommandDefinition> addButtonDefinition(const std::string& id, const std::string& name,
                                               const std::string& tooltip,
                                               const std::string& resourceFolder = "");

  private:
    CommandDefinitions() = default;
    std::vector<Ptr<CommandDefinition>> items_;
};

}  // namespace adsk::core
