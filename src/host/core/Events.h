#pragma once
// Commands, their definitions, events and the handler classes an add-in derives from.
// The add-in owns its handlers; events keep raw pointers to them.

#include <string>
#include <vector>

#include "host/core/Base.h"

namespace adsk::core {

class Command;
class CommandCreatedEventArgs;
class CommandEventArgs;
class CommandDefinition;

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

class EventArgs : public Base {
    ADSK_HOST_CLASS("adsk::core::EventArgs", Base)
  public:
    Ptr<Event> firingEvent() const { return firingEvent_; }

  protected:
    explicit EventArgs(Ptr<Event> firingEvent) : firingEvent_(std::move(firingEvent)) {}

  private:
    Ptr<Event> firingEvent_;
};

// Base of the add-in's handlers. The host library provides construction and
// destruction; a destroyed handler is never called again.
class EventHandler {
  public:
    EventHandler();
    EventHandler(const EventHandler&) = delete;
    EventHandler& operator=(const EventHandler&) = delete;
    virtual ~EventHandler();
};

class CommandCreatedEventHandler : public EventHandler {
  public:
    virtual void notify(const Ptr<CommandCreatedEventArgs>& eventArgs) = 0;
};

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

// One run of a command, made when the user clicks a control.
class Command : public Base {
    ADSK_HOST_CLASS("adsk::core::Command", Base)
  public:
    // The execute event; handlers added to it run when the command executes.
    Ptr<CommandEvent> execute() const { return execute_; }
    Ptr<CommandEvent> destroy() const { return destroy_; }
    Ptr<CommandInputs> commandInputs() const { return inputs_; }
    Ptr<CommandDefinition> parentCommandDefinition() const;
    bool isOKButtonVisible() const { return true; }

  private:
    explicit Command(const CommandDefinition* definition);
    ~Command() override;
    const CommandDefinition* definition_;  // definitions live as long as the host
    Ptr<CommandEvent> execute_;
    Ptr<CommandEvent> destroy_;
    Ptr<CommandInputs> inputs_;
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

class CommandCreatedEventArgs : public EventArgs {
    ADSK_HOST_CLASS("adsk::core::CommandCreatedEventArgs", EventArgs)
  public:
    Ptr<Command> command() const { return command_; }

  private:
    CommandCreatedEventArgs(Ptr<Event> firingEvent, Ptr<Command> command)
        : EventArgs(std::move(firingEvent)), command_(std::move(command)) {}
    Ptr<Command> command_;
};

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
