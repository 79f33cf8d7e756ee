// State of the loaded add-in library: what run keeps, the single converter and
// the command handlers, which the host refers to by raw pointer.
#pragma once

#include <memory>

#include "addin/CommandHandlers.h"
#include "convert/DesignConverter.h"

struct AddinModule {
    adsk::core::Ptr<adsk::core::Application> application;
    adsk::core::Ptr<adsk::core::UserInterface> userInterface;
    std::unique_ptr<DesignConverter> converter;
    RenderCommandCreatedHandler renderCreated;
    ExportCommandCreatedHandler exportCreated;
};

// The one instance, alive from library load to unload.
AddinModule& addinModule();

// The converter, created on first use from the module's application and user interface.
DesignConverter& getConverter();

// Places the render button on the Quick Access Toolbar and the render and export
// buttons in the render panel. Reuses definitions and controls found by id.
void installCommands(const adsk::core::Ptr<adsk::core::Workspaces>& workspaces,
                     const adsk::core::Ptr<adsk::core::Toolbars>& toolbars,
                     const adsk::core::Ptr<adsk::core::CommandDefinitions>& definitions);

extern "C" XI_EXPORT bool run(const char* context);
extern "C" XI_EXPORT bool stop(const char* context);
