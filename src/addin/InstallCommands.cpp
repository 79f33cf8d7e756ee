#include "addin/AddinModule.h"
#include "addin/CommandIds.h"
#include "convert/ConversionFailure.h"

using adsk::core::Ptr;

namespace {

struct ButtonSpec {
    std::string id;
    const char* name;
    const char* tooltip;
    const char* resources;
    adsk::core::CommandCreatedEventHandler* createdHandler;
};

enum class Placed { done, skipped, stop };

Ptr<adsk::core::CommandDefinition> findOrAddDefinition(
    const Ptr<adsk::core::CommandDefinitions>& definitions, const ButtonSpec& button) {
    Ptr<adsk::core::CommandDefinition> definition = definitions->itemById(button.id);
    if (!definition) {
        definition = definitions->addButtonDefinition(button.id, button.name, button.tooltip,
                                                      button.resources);
    }
    return definition;
}

// Adds the button to the controls unless a control of that id is already there.
// A panel button stops the placing when its event or control cannot be had.
Placed placeButton(const Ptr<adsk::core::CommandDefinitions>& definitions,
                   const Ptr<adsk::core::ToolbarControls>& controls, const ButtonSpec& button,
                   bool inPanel) {
    if (controls->itemById(button.id)) return Placed::done;
    Ptr<adsk::core::CommandDefinition> definition = findOrAddDefinition(definitions, button);
    if (!definition) return Placed::skipped;
    Ptr<adsk::core::CommandCreatedEvent> created = definition->commandCreated();
    if (!created) return inPanel ? Placed::stop : Placed::skipped;
    created->add(button.createdHandler);
    Ptr<adsk::core::ToolbarControl> control = controls->addCommand(definition, "", true);
    if (!control) return inPanel ? Placed::stop : Placed::skipped;
    control->isVisible(true);
    return Placed::done;
}

}  // namespace

void installCommands(const Ptr<adsk::core::Workspaces>& workspaces,
                     const Ptr<adsk::core::Toolbars>& toolbars,
                     const Ptr<adsk::core::CommandDefinitions>& definitions) {
    AddinModule& state = addinModule();
    const ButtonSpec renderOnToolbar{commands::commandId(commands::renderToolbarSuffix),
                                     commands::renderName, commands::renderTooltip,
                                     commands::renderResources, &state.renderCreated};
    const ButtonSpec renderOnPanel{commands::commandId(commands::renderPanelSuffix),
                                   commands::renderName, commands::renderTooltip,
                                   commands::renderResources, &state.renderCreated};
    const ButtonSpec exportOnPanel{commands::commandId(commands::exportPanelSuffix),
                                   commands::exportName, commands::exportTooltip,
                                   commands::exportResources, &state.exportCreated};

    Ptr<adsk::core::Toolbar> toolbar = required(toolbars->itemById(commands::quickAccessToolbar));
    Ptr<adsk::core::ToolbarControls> toolbarControls = required(toolbar->controls());
    placeButton(definitions, toolbarControls, renderOnToolbar, false);

    Ptr<adsk::core::Workspace> workspace = workspaces->itemById(commands::renderWorkspace);
    if (!workspace && workspaces->count() > 0)
        workspace = workspaces->item(workspaces->count() - 1);
    if (!workspace) return;

    Ptr<adsk::core::ToolbarPanels> panels = required(workspace->toolbarPanels());
    Ptr<adsk::core::ToolbarPanel> panel = panels->itemById(commands::renderPanel);
    if (!panel && panels->count() > 0) panel = panels->item(panels->count() - 1);
    if (!panel) return;
    Ptr<adsk::core::ToolbarControls> panelControls = panel->controls();
    if (!panelControls) return;

    if (placeButton(definitions, panelControls, renderOnPanel, true) == Placed::stop) return;
    placeButton(definitions, panelControls, exportOnPanel, true);
}
