// A small add-in for the host program's tests: it places the real command ids and
// answers clicks in ways that show what the host did.
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include <Core/CoreAll.h>
#include <Fusion/FusionAll.h>

using namespace adsk::core;

namespace {

class Executed : public CommandEventHandler {
  public:
    void notify(const Ptr<CommandEventArgs>& args) override {
        Ptr<Command> command = args->firingEvent()->sender();
        const std::string id = command->parentCommandDefinition()->id();
        Ptr<Application> app = Application::get();
        Ptr<Document> document = app->activeDocument();
        if (id == "quorell12ExportCommandOnPanelCPP") {
            Ptr<FileDialog> dialog = app->userInterface()->createFileDialog();
            dialog->initialFilename(document ? document->name() : "none");
            if (dialog->showSave() != DialogOK) {
                std::printf("fake: cancelled\n");
                return;
            }
            std::ofstream(dialog->filename())
                << (document ? document->name() : "no document") << "\n";
        } else if (id == "quorell12RenderCommandOnQATCPP") {
            std::printf("fake: render %s\n", document ? document->name().c_str() : "nothing");
        } else if (id == "fakeMessage") {
            app->userInterface()->messageBox("Live link failed. Reason: \"x\n\"");
        } else if (id == "fakeThrow") {
            throw std::runtime_error("cannot open /x.bip");
        } else if (id == "fakeBare") {
            throw std::exception();
        }
        std::fflush(stdout);
    }
};

class Created : public CommandCreatedEventHandler {
  public:
    void notify(const Ptr<CommandCreatedEventArgs>& args) override {
        args->command()->execute()->add(&executed);
    }
    Executed executed;
};

Created created;

void place(const Ptr<ToolbarControls>& controls, const std::string& id) {
    Ptr<CommandDefinitions> definitions = Application::get()->userInterface()->commandDefinitions();
    if (!controls || controls->itemById(id)) return;
    Ptr<CommandDefinition> definition = definitions->itemById(id);
    if (!definition) {
        definition = definitions->addButtonDefinition(id, id, "", "");
        definition->commandCreated()->add(&created);
    }
    Ptr<ToolbarControl> control = controls->addCommand(definition);
    if (id != "fakeBare") control->isVisible(true);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool run(const char*) {
    std::printf("fake: run\n");
    std::fflush(stdout);
    Ptr<UserInterface> ui = Application::get()->userInterface();
    place(ui->toolbars()->itemById("QAT")->controls(), "quorell12RenderCommandOnQATCPP");
    Ptr<ToolbarPanel> panel = ui->workspaces()
                                  ->itemById("FusionRenderEnvironment")
                                  ->toolbarPanels()
                                  ->itemById("RenderPanel");
    for (const char* id :
         {"quorell12ExportCommandOnPanelCPP", "fakeMessage", "fakeThrow", "fakeBare"})
        place(panel->controls(), id);
    return true;
}

extern "C" __attribute__((visibility("default"))) bool stop(const char*) {
    std::printf("fake: stop\n");
    std::fflush(stdout);
    return true;
}
