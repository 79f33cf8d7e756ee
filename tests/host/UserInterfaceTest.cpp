// Command definitions, controls, clicks with their events, dialogs and message boxes.
#include <gtest/gtest.h>

#include <memory>

#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>
#include "host/Session.h"

using namespace adsk::core;

namespace {

// Records what a click does, in order.
struct Log {
    std::vector<std::string> lines;
};

class Executed : public CommandEventHandler {
  public:
    explicit Executed(Log& log) : log_(log) {}
    void notify(const Ptr<CommandEventArgs>& args) override {
        Ptr<Command> sender = args->firingEvent()->sender();
        log_.lines.push_back("execute " + sender->parentCommandDefinition()->id() +
                             (sender == args->command() ? " by its command" : ""));
        if (throwText) throw std::runtime_error(throwText);
    }
    const char* throwText = nullptr;

  private:
    Log& log_;
};

class Created : public CommandCreatedEventHandler {
  public:
    Created(Log& log, CommandEventHandler* executed) : log_(log), executed_(executed) {}
    void notify(const Ptr<CommandCreatedEventArgs>& args) override {
        Ptr<Command> command = args->command();
        log_.lines.push_back("created " + command->parentCommandDefinition()->id());
        EXPECT_TRUE(command->commandInputs());
        command->execute()->add(executed_);
    }

  private:
    Log& log_;
    CommandEventHandler* executed_;
};

class UserInterfaceTest : public ::testing::Test {
  protected:
    void SetUp() override { host::resetApplication(); }

    Ptr<UserInterface> ui() { return Application::get()->userInterface(); }

    Ptr<CommandDefinition> define(const std::string& id) {
        return ui()->commandDefinitions()->addButtonDefinition(id, id + " name", "tip", "./res");
    }

    Ptr<ToolbarControls> qat() { return ui()->toolbars()->itemById("QAT")->controls(); }
    Ptr<ToolbarControls> renderPanel() {
        return ui()
            ->workspaces()
            ->itemById("FusionRenderEnvironment")
            ->toolbarPanels()
            ->itemById("RenderPanel")
            ->controls();
    }

    Log log;
    Executed executed{log};
    Created created{log, &executed};
};

}  // namespace

TEST_F(UserInterfaceTest, DefinitionsAreNotDefinedTwice) {
    Ptr<CommandDefinition> d = define("a");
    EXPECT_FALSE(define("a"));
    EXPECT_EQ(ui()->commandDefinitions()->itemById("a"), d);
    EXPECT_EQ(ui()->commandDefinitions()->count(), 1u);
}

TEST_F(UserInterfaceTest, ControlsArePlacedInOrderAndListed) {
    Ptr<ToolbarControls> controls = qat();
    Ptr<CommandControl> a = controls->addCommand(define("a"));
    ASSERT_TRUE(a);
    EXPECT_FALSE(a->isVisible());
    EXPECT_TRUE(a->isVisible(true));
    controls->addCommand(define("b"), "a", true);
    controls->addCommand(define("c"), "a", false);
    controls->addCommand(define("d"), "unknown");
    EXPECT_FALSE(
        controls->addCommand(ui()->commandDefinitions()->itemById("a")));  // already placed
    EXPECT_FALSE(controls->addCommand(nullptr));
    ASSERT_EQ(controls->count(), 4u);
    std::string order;
    for (size_t i = 0; i < controls->count(); ++i) order += controls->item(i)->id();
    EXPECT_EQ(order, "bacd");
    Ptr<ToolbarControl> asControl = a;
    EXPECT_TRUE(asControl);
    EXPECT_EQ(controls->itemById("c")->cast<CommandControl>()->commandDefinition()->id(), "c");

    renderPanel()->addCommand(define("e"));
    std::vector<host::PlacedControl> placed = host::placedControls();
    ASSERT_EQ(placed.size(), 5u);
    EXPECT_EQ(placed[1].place(), "toolbar QAT");
    EXPECT_EQ(placed[1].commandId, "a");
    EXPECT_TRUE(placed[1].visible);
    EXPECT_FALSE(placed[0].visible);
    EXPECT_EQ(placed[4].place(), "panel FusionRenderEnvironment/RenderPanel");
    EXPECT_EQ(placed[4].commandId, "e");
}

TEST_F(UserInterfaceTest, AClickFiresCreatedThenExecuteWithTheCommandAsSender) {
    Ptr<CommandDefinition> d = define("a");
    EXPECT_TRUE(d->commandCreated()->add(&created));
    EXPECT_FALSE(d->commandCreated()->add(&created));
    EXPECT_FALSE(d->commandCreated()->add(nullptr));
    renderPanel()->addCommand(d);
    EXPECT_TRUE(host::clickControl("a"));
    EXPECT_TRUE(host::clickControl("a"));  // every click makes a new command
    EXPECT_EQ(log.lines, (std::vector<std::string>{"created a", "execute a by its command",
                                                   "created a", "execute a by its command"}));
    EXPECT_FALSE(host::clickControl("b"));
    EXPECT_TRUE(d->commandCreated()->remove(&created));
    EXPECT_FALSE(d->commandCreated()->remove(&created));
    log.lines.clear();
    EXPECT_TRUE(host::clickControl("a"));
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(UserInterfaceTest, ExceptionsOfHandlersLeaveTheClick) {
    Ptr<CommandDefinition> d = define("a");
    d->commandCreated()->add(&created);
    qat()->addCommand(d);
    executed.throwText = "boom";
    EXPECT_THROW(host::clickControl("a"), std::runtime_error);
    EXPECT_EQ(log.lines.size(), 2u);
}

TEST_F(UserInterfaceTest, DestroyedHandlersAreNotCalled) {
    Ptr<CommandDefinition> d = define("a");
    qat()->addCommand(d);
    {
        auto gone = std::make_unique<Created>(log, &executed);
        d->commandCreated()->add(gone.get());
    }
    EXPECT_TRUE(host::clickControl("a"));
    EXPECT_TRUE(log.lines.empty());
}

