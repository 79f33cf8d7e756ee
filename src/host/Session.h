#pragma once
// The host program's side of the application: documents it opens, the user
// interface it shows, and the answers a user would give. One application per
// process, shared by the host program and the add-in.

#include <functional>
#include <string>
#include <vector>

#include "host/DesignBuilder.h"
#include <Core/CoreAll.h>

namespace host {

struct PanelLayout {
    std::string id;
    bool hasControls = true;  // false: the panel reports no control collection
};

struct WorkspaceLayout {
    std::string id;
    std::vector<PanelLayout> panels;
    bool hasPanels = true;  // false: the workspace reports no panel collection
};

struct ToolbarLayout {
    std::string id;
    bool hasControls = true;
};

// Toolbars, workspaces and panels of the user interface. The standard layout has
// the "QAT" toolbar and, among others, the workspace "FusionRenderEnvironment"
// with the panel "RenderPanel".
struct UiLayout {
    std::vector<ToolbarLayout> toolbars;
    std::vector<WorkspaceLayout> workspaces;

    static UiLayout standard();
};

// Host objects the host program can make absent (the real host may answer null).
struct Availability {
    bool application = true;
    bool userInterface = true;
    bool commandDefinitions = true;
    bool toolbars = true;
    bool workspaces = true;
    bool fileDialog = true;
    bool activeViewport = true;
    bool preferences = true;
    bool generalPreferences = true;
};

// Drops every document, command definition, control and answer, and starts
// over with this user interface. Add-in handlers are forgotten, not destroyed.
void resetApplication(const UiLayout& layout = UiLayout::standard());
void setAvailability(const Availability& availability);

// Builds the document (BuildError on bad references), adds it to the open
// documents and makes it active (its camera and modelling orientation too).
adsk::core::Ptr<adsk::core::Document> openDocument(const DocumentData& data);
// The same, emptying the mesh records as it goes (less memory for large designs).
adsk::core::Ptr<adsk::core::Document> openDocument(DocumentData&& data);
void activateDocument(const adsk::core::Ptr<adsk::core::Document>& document);
// No active document from now on (the documents stay open).
void deactivateDocuments();

// ---- answers of the user ----

struct FileDialogRequest {
    bool save = false;
    adsk::core::FileDialog::Settings settings;
};

// Every shown dialog consumes the oldest queued answer; with none queued it is
// cancelled. An answer of several files is what a user picks in a dialog that
// allows several (none: cancel); a dialog that takes one file (or a folder)
// gets the first.
void answerNextFileDialog(const std::string& path);
void answerNextFileDialog(const std::vector<std::string>& paths);
void cancelNextFileDialog();
// The dialogs shown so far, oldest first.
const std::vector<FileDialogRequest>& shownFileDialogs();

struct MessageBoxRecord {
    std::string text;
    std::string title;
    adsk::core::MessageBoxButtonTypes buttons;
    adsk::core::MessageBoxIconTypes icon;
};

// Called for every message box (after it is recorded); the answer is DialogOK.
void setMessageBoxSink(std::function<void(const MessageBoxRecord&)> sink);
const std::vector<MessageBoxRecord>& shownMessageBoxes();

// Called with every text an add-in writes to the "TextCommands" palette.
void setTextPaletteSink(std::function<void(const std::string&)> sink);

// ---- the user interface as the user sees it ----

struct PlacedControl {
    std::string toolbar;    // set for a toolbar control
    std::string workspace;  // with panel, set for a panel control
    std::string panel;
    std::string commandId;
    bool visible = false;

    // "toolbar QAT" or "panel FusionRenderEnvironment/RenderPanel".
    std::string place() const;
};

// Toolbar controls first, then workspace panels, each in host order.
std::vector<PlacedControl> placedControls();

// Clicks the first placed control with this command id: makes a command, fires
// commandCreated, then the command's execute event. Exceptions of handlers leave
// this call. False when no placed control has that id.
bool clickControl(const std::string& commandId);

}  // namespace host
