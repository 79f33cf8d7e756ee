#include "addin/CommandHandlers.h"

#include "addin/AddinModule.h"
#include "addin/ExportFlow.h"
#include "addin/RenderFlow.h"
#include "convert/ConversionFailure.h"

using adsk::core::Ptr;

namespace {

// Shared by both created handlers: hang the companion handler on the new command.
void attachExecuted(const Ptr<adsk::core::CommandCreatedEventArgs>& eventArgs,
                    adsk::core::CommandEventHandler& executed) {
    if (!eventArgs) return;
    Ptr<adsk::core::Command> command = eventArgs->command();
    if (!command) return;
    Ptr<adsk::core::CommandEvent> execute = command->execute();
    if (!execute) return;
    execute->add(&executed);
}

using Flow = void (*)(DesignConverter&, Ptr<adsk::core::Document>);

// Shared by both executed handlers: the command that fired, then the flow on the
// active document. With no active document nothing happens.
void runFlow(const Ptr<adsk::core::CommandEventArgs>& eventArgs, Flow flow) {
    required(eventArgs);
    Ptr<adsk::core::Event> firing = eventArgs->firingEvent();
    Ptr<adsk::core::Base> sender = firing ? firing->sender() : nullptr;
    Ptr<adsk::core::Command> command = sender ? sender->cast<adsk::core::Command>() : nullptr;
    AddinModule& state = addinModule();
    if (!command || !state.application) return;
    Ptr<adsk::core::Document> document = state.application->activeDocument();
    if (!document) return;
    flow(getConverter(), std::move(document));
}

}  // namespace

void RenderCommandCreatedHandler::notify(
    const Ptr<adsk::core::CommandCreatedEventArgs>& eventArgs) {
    attachExecuted(eventArgs, executed);
}

void ExportCommandCreatedHandler::notify(
    const Ptr<adsk::core::CommandCreatedEventArgs>& eventArgs) {
    attachExecuted(eventArgs, executed);
}

void QRRenderCommandExecutedHandler::notify(const Ptr<adsk::core::CommandEventArgs>& eventArgs) {
    runFlow(eventArgs, renderDocument);
}

void QRExportCommandExecutedHandler::notify(const Ptr<adsk::core::CommandEventArgs>& eventArgs) {
    runFlow(eventArgs, exportDocument);
}
