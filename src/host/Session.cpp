#include "host/Session.h"

#include <algorithm>

#include "host/model/AppState.h"
#include "host/model/ModelAccess.h"

namespace host {

using namespace adsk::core;
using detail::appState;

UiLayout UiLayout::standard() {
    UiLayout layout;
    layout.toolbars = {{"QAT"}, {"NavToolbar"}};
    layout.workspaces = {
        {"FusionSolidEnvironment",
         {{"SolidCreatePanel"}, {"SolidModifyPanel"}, {"SolidScriptsAddinsPanel"}}},
        {"FusionRenderEnvironment", {{"RenderSetupPanel"}, {"RenderPanel"}, {"RenderStopPanel"}}},
    };
    return layout;
}

namespace detail {

// Fresh user interface and no documents; the application, user interface,
// viewport and preference objects stay the same objects.
void resetState(AppState& s, const UiLayout& layout) {
    if (!s.application) s.application = ModelAccess::make<Application>();
    if (!s.userInterface) s.userInterface = ModelAccess::make<UserInterface>();
    if (!s.documentList) s.documentList = ModelAccess::make<Documents>();
    if (!s.viewport) s.viewport = ModelAccess::make<Viewport>();
    if (!s.preferences) s.preferences = ModelAccess::make<Preferences>();
    if (!s.generalPreferences) s.generalPreferences = ModelAccess::make<GeneralPreferences>();

    s.commandDefinitions = ModelAccess::make<CommandDefinitions>();
    s.toolbars = ModelAccess::make<Toolbars>();
    for (const ToolbarLayout& t : layout.toolbars) {
        auto toolbar = ModelAccess::make<Toolbar>(t.id);
        if (t.hasControls) ModelAccess::setControls(*toolbar, ModelAccess::make<ToolbarControls>());
        ModelAccess::items(*s.toolbars).push_back(toolbar);
    }
    s.workspaces = ModelAccess::make<Workspaces>();
    for (const WorkspaceLayout& w : layout.workspaces) {
        auto workspace = ModelAccess::make<Workspace>(w.id, w.id);
        if (w.hasPanels) {
            auto panels = ModelAccess::make<ToolbarPanels>();
            for (const PanelLayout& p : w.panels) {
                auto panel = ModelAccess::make<ToolbarPanel>(p.id, p.id);
                if (p.hasControls)
                    ModelAccess::setControls(*panel, ModelAccess::make<ToolbarControls>());
                ModelAccess::items(*panels).push_back(panel);
            }
            ModelAccess::setPanels(*workspace, panels);
        }
        ModelAccess::items(*s.workspaces).push_back(workspace);
    }

    s.documents.clear();
    s.activeDocument = nullptr;
    s.views.clear();
    s.camera = CameraData{};
    s.orientation = YUpModelingOrientation;
    s.availability = Availability{};
    s.dialogAnswers.clear();
    s.dialogs.clear();
    s.messageBoxes.clear();
    s.messageBoxSink = nullptr;
    s.palettes = nullptr;
    s.textPaletteSink = nullptr;
}

}  // namespace detail

void resetApplication(const UiLayout& layout) {
    detail::resetState(appState(), layout);
}

void setAvailability(const Availability& availability) {
    appState().availability = availability;
}

namespace {

Ptr<Document> open(Ptr<Document> document, const DocumentData& data) {
    auto& state = appState();
    state.documents.push_back(document);
    state.views[document.get()] = {data.camera, data.modelingOrientation};
    activateDocument(document);
    return document;
}

}  // namespace

Ptr<Document> openDocument(const DocumentData& data) {
    return open(buildDocument(data), data);
}

Ptr<Document> openDocument(DocumentData&& data) {
    // The camera and orientation are read after the build: they are not emptied.
    Ptr<Document> document = buildDocument(std::move(data));
    return open(document, data);
}

void activateDocument(const Ptr<Document>& document) {
    auto& state = appState();
    if (!document) {
        state.activeDocument = nullptr;
        return;
    }
    if (std::find(state.documents.begin(), state.documents.end(), document) ==
        state.documents.end())
        state.documents.push_back(document);
    state.activeDocument = document;
    auto view = state.views.find(document.get());
    if (view != state.views.end()) {
        state.camera = view->second.camera;
        state.orientation = view->second.orientation;
    }
}

void deactivateDocuments() {
    appState().activeDocument = nullptr;
}

void answerNextFileDialog(const std::string& path) {
    answerNextFileDialog(std::vector<std::string>{path});
}
void answerNextFileDialog(const std::vector<std::string>& paths) {
    appState().dialogAnswers.push_back(paths);
}
void cancelNextFileDialog() {
    appState().dialogAnswers.emplace_back();
}
const std::vector<FileDialogRequest>& shownFileDialogs() {
    return appState().dialogs;
}

void setMessageBoxSink(std::function<void(const MessageBoxRecord&)> sink) {
    appState().messageBoxSink = std::move(sink);
}
void setTextPaletteSink(std::function<void(const std::string&)> sink) {
    appState().textPaletteSink = std::move(sink);
}
const std::vector<MessageBoxRecord>& shownMessageBoxes() {
    return appState().messageBoxes;
}

std::string PlacedControl::place() const {
    if (!toolbar.empty()) return "toolbar " + toolbar;
    return "panel " + workspace + "/" + panel;
}

namespace {

// Every placed control with the host object behind it, in the order of placedControls.
template <class Visit>
void forEachControl(Visit&& visit) {
    const auto& state = appState();
    for (size_t t = 0; t < state.toolbars->count(); ++t) {
        Ptr<Toolbar> toolbar = state.toolbars->item(t);
        Ptr<ToolbarControls> controls = toolbar->controls();
        for (size_t c = 0; controls && c < controls->count(); ++c) {
            PlacedControl placed;
            placed.toolbar = toolbar->id();
            if (!visit(placed, controls->item(c))) return;
        }
    }
    for (size_t w = 0; w < state.workspaces->count(); ++w) {
        Ptr<Workspace> workspace = state.workspaces->item(w);
        Ptr<ToolbarPanels> panels = workspace->toolbarPanels();
        for (size_t p = 0; panels && p < panels->count(); ++p) {
            Ptr<ToolbarPanel> panel = panels->item(p);
            Ptr<ToolbarControls> controls = panel->controls();
            for (size_t c = 0; controls && c < controls->count(); ++c) {
                PlacedControl placed;
                placed.workspace = workspace->id();
                placed.panel = panel->id();
                if (!visit(placed, controls->item(c))) return;
            }
        }
    }
}

}  // namespace

std::vector<PlacedControl> placedControls() {
    std::vector<PlacedControl> result;
    forEachControl([&](PlacedControl& placed, const Ptr<ToolbarControl>& control) {
        placed.commandId = control->id();
        placed.visible = control->isVisible();
        result.push_back(placed);
        return true;
    });
    return result;
}

bool clickControl(const std::string& commandId) {
    Ptr<CommandDefinition> definition;
    forEachControl([&](PlacedControl&, const Ptr<ToolbarControl>& control) {
        if (control->id() != commandId) return true;
        definition = ModelAccess::definitionOf(*control);
        return false;
    });
    if (!definition) return false;
    ModelAccess::runCommand(*definition);
    return true;
}

}  // namespace host
