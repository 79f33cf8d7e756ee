#pragma once
// The one application of the process: what the host program has opened and shown,
// and what the add-in has defined and placed.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/Session.h"

namespace host::detail {

struct DocumentView {
    CameraData camera;
    adsk::core::DefaultModelingOrientations orientation = adsk::core::YUpModelingOrientation;
};

struct AppState {
    adsk::core::Ptr<adsk::core::Application> application;
    adsk::core::Ptr<adsk::core::UserInterface> userInterface;
    adsk::core::Ptr<adsk::core::CommandDefinitions> commandDefinitions;
    adsk::core::Ptr<adsk::core::Toolbars> toolbars;
    adsk::core::Ptr<adsk::core::Workspaces> workspaces;
    adsk::core::Ptr<adsk::core::Documents> documentList;
    adsk::core::Ptr<adsk::core::Viewport> viewport;
    adsk::core::Ptr<adsk::core::Preferences> preferences;
    adsk::core::Ptr<adsk::core::GeneralPreferences> generalPreferences;

    std::vector<adsk::core::Ptr<adsk::core::Document>> documents;
    adsk::core::Ptr<adsk::core::Document> activeDocument;
    std::map<const adsk::core::Document*, DocumentView> views;

    CameraData camera;
    adsk::core::DefaultModelingOrientations orientation = adsk::core::YUpModelingOrientation;
    Availability availability;

    // The files (or folder) of each answer; none: cancel.
    std::deque<std::vector<std::string>> dialogAnswers;
    std::vector<FileDialogRequest> dialogs;
    std::vector<MessageBoxRecord> messageBoxes;
    std::function<void(const MessageBoxRecord&)> messageBoxSink;
    adsk::core::Ptr<adsk::core::Palettes> palettes;
    std::function<void(const std::string&)> textPaletteSink;
};

// Never destroyed, so that handlers and pointers kept in other libraries' statics
// stay safe while the process exits.
AppState& appState();

// Records a dialog being shown and takes the oldest queued answer for it: the
// chosen files, or none when the dialog is cancelled.
std::vector<std::string> takeDialogAnswer(FileDialogRequest shown);

// Handlers alive right now; events skip the others.
std::unordered_set<const adsk::core::EventHandler*>& liveHandlers();

}  // namespace host::detail
