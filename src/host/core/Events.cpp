#include <Core/CoreAll.h>

#include <algorithm>

#include "host/model/AppState.h"
#include "host/model/HostArray.h"
#include "host/model/ModelAccess.h"

namespace adsk::core {

using host::ModelAccess;
using host::detail::hostText;

char* Event::name_raw() const {
    return hostText(name_);
}

EventHandler::EventHandler() {
    host::detail::liveHandlers().insert(this);
}
EventHandler::~EventHandler() {
    host::detail::liveHandlers().erase(this);
}

namespace {

template <class Handler>
bool addHandler(std::vector<Handler*>& handlers, Handler* handler) {
    if (!handler || std::find(handlers.begin(), handlers.end(), handler) != handlers.end())
        return false;
    handlers.push_back(handler);
    return true;
}

template <class Handler>
bool removeHandler(std::vector<Handler*>& handlers, Handler* handler) {
    auto it = std::find(handlers.begin(), handlers.end(), handler);
    if (it == handlers.end()) return false;
    handlers.erase(it);
    return true;
}

}  // namespace

bool CommandEvent::add(CommandEventHandler* handler) {
    return addHandler(handlers_, handler);
}
bool CommandEvent::remove(CommandEventHandler* handler) {
    return removeHandler(handlers_, handler);
}

bool CommandCreatedEvent::add(CommandCreatedEventHandler* handler) {
    return addHandler(handlers_, handler);
}
bool CommandCreatedEvent::remove(CommandCreatedEventHandler* handler) {
    return removeHandler(handlers_, handler);
}

Ptr<Command> CommandInputs::command() const {
    return Ptr<Command>(command_, false);
}

Command::Command(const CommandDefinition* definition)
    : definition_(definition),
      execute_(ModelAccess::make<CommandEvent>("execute", this)),
      destroy_(ModelAccess::make<CommandEvent>("destroy", this)),
      inputs_(ModelAccess::make<CommandInputs>(this)) {}

Command::~Command() = default;

Ptr<CommandDefinition> Command::parentCommandDefinition() const {
    return Ptr<CommandDefinition>(definition_, false);
}

CommandDefinition::CommandDefinition(std::string id, std::string name, std::string tooltip,
                                     std::string resourceFolder)
    : id_(std::move(id)),
      name_(std::move(name)),
      tooltip_(std::move(tooltip)),
      resourceFolder_(std::move(resourceFolder)),
      created_(ModelAccess::make<CommandCreatedEvent>("commandCreated", this)) {}

char* CommandDefinition::id_raw() const {
    return hostText(id_);
}
char* CommandDefinition::name_raw() const {
    return hostText(name_);
}
char* CommandDefinition::tooltip_raw() const {
    return hostText(tooltip_);
}
char* CommandDefinition::resourceFolder_raw() const {
    return hostText(resourceFolder_);
}

bool CommandDefinition::execute() {
    ModelAccess::runCommand(*this);
    return true;
}

Ptr<CommandDefinition> CommandDefinitions::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<CommandDefinition> CommandDefinitions::itemById(const std::string& id) const {
    for (const auto& d : items_)
        if (d->id() == id) return d;
    return nullptr;
}

Ptr<CommandDefinition> CommandDefinitions::addButtonDefinition(const std::string& id,
                                                               const std::string& name,
                                                               const std::string& tooltip,
                                                               const std::string& resourceFolder) {
    if (id.empty() || itemById(id)) return nullptr;
    Ptr<CommandDefinition> definition =
        ModelAccess::make<CommandDefinition>(id, name, tooltip, resourceFolder);
    items_.push_back(definition);
    return definition;
}

}  // namespace adsk::core
