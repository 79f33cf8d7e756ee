// Command definitions, controls, clicks with their events, dialogs and message boxes.
#include <gtest/gtest.h>

#include <memory>

#include "host/Fusion.h"
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

TEST_F(UserInterfaceTest, DefinitionsAreFoundByIdAndNotDefinedTwice) {
    Ptr<CommandDefinition> d = define("a");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->name(), "a name");
    EXPECT_EQ(d->tooltip(), "tip");
    EXPECT_EQ(d->resourceFolder(), "./res");
    EXPECT_FALSE(define("a"));
    EXPECT_EQ(ui()->commandDefinitions()->itemById("a"), d);
    EXPECT_FALSE(ui()->commandDefinitions()->itemById("b"));
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

TEST_F(UserInterfaceTest, FileDialogsTakeQueuedAnswersAndCancelWithoutOne) {
    host::answerNextFileDialog("/out/a.bip");
    host::cancelNextFileDialog();

    Ptr<FileDialog> dialog = ui()->createFileDialog();
    dialog->filter("Quorell scene (*.bip)");
    dialog->filterIndex(0);
    dialog->initialDirectory("%CSIDL_MYDOCUMENTS%");
    dialog->initialFilename("Untitled.bip");
    EXPECT_EQ(dialog->showSave(), DialogOK);
    EXPECT_EQ(dialog->filename(), "/out/a.bip");
    EXPECT_EQ(dialog->showSave(), DialogCancel);
    EXPECT_EQ(dialog->filename(), "");
    EXPECT_EQ(dialog->showOpen(), DialogCancel);

    const auto& shown = host::shownFileDialogs();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(shown[0].save);
    EXPECT_FALSE(shown[2].save);
    EXPECT_EQ(shown[0].settings.filter, "Quorell scene (*.bip)");
    EXPECT_EQ(shown[0].settings.initialDirectory, "%CSIDL_MYDOCUMENTS%");
    EXPECT_EQ(shown[0].settings.initialFilename, "Untitled.bip");
}

TEST_F(UserInterfaceTest, MessageBoxesAreRecordedAndPassedToTheSink) {
    std::vector<std::string> seen;
    host::setMessageBoxSink([&](const host::MessageBoxRecord& box) { seen.push_back(box.text); });
    EXPECT_EQ(ui()->messageBox("Live link failed.\n"), DialogOK);
    ui()->messageBox("second", "Title", OKCancelButtonType, WarningIconType);
    EXPECT_EQ(seen, (std::vector<std::string>{"Live link failed.\n", "second"}));
    ASSERT_EQ(host::shownMessageBoxes().size(), 2u);
    EXPECT_EQ(host::shownMessageBoxes()[0].title, "");
    EXPECT_EQ(host::shownMessageBoxes()[0].buttons, OKButtonType);
    EXPECT_EQ(host::shownMessageBoxes()[0].icon, NoIconIconType);
    EXPECT_EQ(host::shownMessageBoxes()[1].icon, WarningIconType);
}

TEST_F(UserInterfaceTest, AbsentObjectsComeBackNull) {
    Ptr<Application> app = Application::get();
    host::Availability none;
    none.userInterface = none.commandDefinitions = none.toolbars = none.workspaces = false;
    none.fileDialog = none.activeViewport = none.preferences = none.generalPreferences = false;
    host::setAvailability(none);
    EXPECT_FALSE(app->userInterface());
    EXPECT_FALSE(app->activeViewport());
    EXPECT_FALSE(app->preferences());
    host::setAvailability({});
    EXPECT_TRUE(app->userInterface());

    host::Availability partial;
    partial.commandDefinitions = partial.toolbars = partial.workspaces = partial.fileDialog = false;
    partial.generalPreferences = false;
    host::setAvailability(partial);
    EXPECT_FALSE(ui()->commandDefinitions());
    EXPECT_FALSE(ui()->toolbars());
    EXPECT_FALSE(ui()->workspaces());
    EXPECT_FALSE(ui()->createFileDialog());
    EXPECT_FALSE(app->preferences()->generalPreferences());

    host::Availability noApplication;
    noApplication.application = false;
    host::setAvailability(noApplication);
    EXPECT_FALSE(Application::get());
    host::resetApplication();
    EXPECT_EQ(Application::get(), app);  // the same application object again
}

TEST_F(UserInterfaceTest, LayoutsCanLackWorkspacesPanelsAndControls) {
    host::UiLayout layout;
    layout.toolbars = {{"QAT", false}};
    layout.workspaces = {{"Solid", {{"P1"}, {"P2", false}}}, {"Bare", {}, false}};
    host::resetApplication(layout);
    EXPECT_FALSE(ui()->toolbars()->itemById("QAT")->controls());
    EXPECT_FALSE(ui()->workspaces()->itemById("FusionRenderEnvironment"));
    Ptr<Workspace> last = ui()->workspaces()->item(ui()->workspaces()->count() - 1);
    EXPECT_EQ(last->id(), "Bare");
    EXPECT_FALSE(last->toolbarPanels());
    Ptr<ToolbarPanels> panels = ui()->workspaces()->item(0)->toolbarPanels();
    EXPECT_TRUE(panels->itemById("P1")->controls());
    EXPECT_FALSE(panels->itemById("P2")->controls());
    EXPECT_FALSE(panels->item(2));
}
