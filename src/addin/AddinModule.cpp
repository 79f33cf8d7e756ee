#include "addin/AddinModule.h"

using adsk::core::Ptr;

namespace {
AddinModule state;
}  // namespace

AddinModule& addinModule() {
    return state;
}

DesignConverter& getConverter() {
    if (!state.converter) {
        state.converter = std::make_unique<DesignConverter>(state.application, state.userInterface);
    }
    return *state.converter;
}

extern "C" XI_EXPORT bool run(const char* /*context*/) {
    state.application = adsk::core::Application::get();
    if (!state.application) return false;
    state.userInterface = state.application->userInterface();
    if (!state.userInterface) return false;
    Ptr<adsk::core::CommandDefinitions> definitions = state.userInterface->commandDefinitions();
    if (!definitions) return false;
    Ptr<adsk::core::Toolbars> toolbars = state.userInterface->toolbars();
    Ptr<adsk::core::Workspaces> workspaces = state.userInterface->workspaces();
    if (!toolbars || !workspaces) return false;
    installCommands(workspaces, toolbars, definitions);
    return true;
}

extern "C" XI_EXPORT bool stop(const char* /*context*/) {
    // The application stays; definitions and controls stay in the host for a later run.
    state.userInterface = nullptr;
    state.converter.reset();
    return true;
}
