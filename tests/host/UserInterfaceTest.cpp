// Command definitions and the handlers a click reaches.
#include <gtest/gtest.h>

#include <memory>

#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>
#include "host/Session.h"

using namespace adsk::core;

namespace {

// Notes each command it is told was created.
class Created : public CommandCreatedEventHandler {
  public:
    explicit Created(std::vector<std::string>& log) : log_(log) {}
    void notify(const Ptr<CommandCreatedEventArgs>& args) override {
        log_.push_back("created " + args->command()->parentCommandDefinition()->id());
    }

  private:
    std::vector<std::string>& log_;
};

class UserInterfaceTest : public ::testing::Test {
  protected:
    void SetUp() override { host::resetApplication(); }

    Ptr<UserInterface> ui() { return Application::get()->userInterface(); }

    Ptr<CommandDefinition> define(const std::string& id) {
        return ui()->commandDefinitions()->addButtonDefinition(id, id + " name", "tip", "./res");
    }

    Ptr<ToolbarControls> qat() { return ui()->toolbars()->itemById("QAT")->controls(); }

    std::vector<std::string> log;
};

}  // namespace

TEST_F(UserInterfaceTest, DefinitionsAreNotDefinedTwice) {
    Ptr<CommandDefinition> d = define("a");
    EXPECT_FALSE(define("a"));
    EXPECT_EQ(ui()->commandDefinitions()->itemById("a"), d);
    EXPECT_EQ(ui()->commandDefinitions()->count(), 1u);
}

TEST_F(UserInterfaceTest, DestroyedHandlersAreNotCalled) {
    Ptr<CommandDefinition> d = define("a");
    qat()->addCommand(d);
    {
        auto gone = std::make_unique<Created>(log);
        d->commandCreated()->add(gone.get());
    }
    EXPECT_TRUE(host::clickControl("a"));
    EXPECT_TRUE(log.empty());
}

