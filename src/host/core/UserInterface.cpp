#include <Core/CoreAll.h>

#include "host/model/AppState.h"
#include "host/model/HostArray.h"
#include "host/model/ModelAccess.h"

namespace adsk::core {

using host::ModelAccess;
using host::detail::appState;
using host::detail::hostText;

char* ToolbarControl::id_raw() const {
    return hostText(id_);
}

CommandControl::CommandControl(Ptr<CommandDefinition> definition)
    : ToolbarControl(definition->id()), definition_(std::move(definition)) {}

Ptr<ToolbarControl> ToolbarControls::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<ToolbarControl> ToolbarControls::itemById(const std::string& id) const {
    for (const auto& c : items_)
        if (c->id() == id) return c;
    return nullptr;
}

Ptr<CommandControl> ToolbarControls::addCommand(const Ptr<CommandDefinition>& definition,
                                                const std::string& positionID, bool isBefore) {
    if (!definition || itemById(definition->id())) return nullptr;
    Ptr<CommandControl> control = ModelAccess::make<CommandControl>(definition);
    auto at = items_.end();
    if (!positionID.empty()) {
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if ((*it)->id() == positionID) {
                at = isBefore ? it : it + 1;
                break;
            }
        }
    }
    items_.insert(at, control);
    return control;
}

char* Toolbar::id_raw() const {
    return hostText(id_);
}

Ptr<Toolbar> Toolbars::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<Toolbar> Toolbars::itemById(const std::string& id) const {
    for (const auto& t : items_)
        if (t->id() == id) return t;
    return nullptr;
}

char* ToolbarPanel::id_raw() const {
    return hostText(id_);
}
char* ToolbarPanel::name_raw() const {
    return hostText(name_);
}

Ptr<ToolbarPanel> ToolbarPanels::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<ToolbarPanel> ToolbarPanels::itemById(const std::string& id) const {
    for (const auto& p : items_)
        if (p->id() == id) return p;
    return nullptr;
}

char* Workspace::id_raw() const {
    return hostText(id_);
}
char* Workspace::name_raw() const {
    return hostText(name_);
}

Ptr<Workspace> Workspaces::item(size_t index) const {
    return index < items_.size() ? items_[index] : nullptr;
}

Ptr<Workspace> Workspaces::itemById(const std::string& id) const {
    for (const auto& w : items_)
        if (w->id() == id) return w;
    return nullptr;
}

char* FileDialog::title_raw() const {
    return hostText(settings_.title);
}
char* FileDialog::filter_raw() const {
    return hostText(settings_.filter);
}
char* FileDialog::initialDirectory_raw() const {
    return hostText(settings_.initialDirectory);
}
char* FileDialog::initialFilename_raw() const {
    return hostText(settings_.initialFilename);
}
char* FileDialog::filename_raw() const {
    return hostText(chosen_.empty() ? std::string() : chosen_.front());
}

DialogResults FileDialog::showOpen() {
    return show(false);
}
DialogResults FileDialog::showSave() {
    return show(true);
}

char** FileDialog::filenames_raw(size_t& count) const {
    count = chosen_.size();
    if (count == 0) return nullptr;
    char** texts = host::detail::allocateArray<char*>(count);
    for (size_t i = 0; i < count; ++i) texts[i] = hostText(chosen_[i]);
    return texts;
}

// A dialog that takes one file keeps the first of an answer of several.
DialogResults FileDialog::show(bool save) {
    chosen_.clear();
    chosen_ = host::detail::takeDialogAnswer({save, settings_});
    if (chosen_.empty()) return DialogCancel;
    if (save || !settings_.multiSelect) chosen_.resize(1);
    return DialogOK;
}

Ptr<CommandDefinitions> UserInterface::commandDefinitions() const {
    const auto& state = appState();
    return state.availability.commandDefinitions ? state.commandDefinitions : nullptr;
}

Ptr<Toolbars> UserInterface::toolbars() const {
    const auto& state = appState();
    return state.availability.toolbars ? state.toolbars : nullptr;
}

Ptr<Workspaces> UserInterface::workspaces() const {
    const auto& state = appState();
    return state.availability.workspaces ? state.workspaces : nullptr;
}

Ptr<Workspace> UserInterface::activeWorkspace() const {
    Ptr<Workspaces> all = workspaces();
    return all && all->count() ? all->item(0) : nullptr;
}

Ptr<FileDialog> UserInterface::createFileDialog() {
    if (!appState().availability.fileDialog) return nullptr;
    return ModelAccess::make<FileDialog>();
}

DialogResults UserInterface::messageBox(const std::string& text, const std::string& title,
                                        MessageBoxButtonTypes buttons, MessageBoxIconTypes icon) {
    auto& state = appState();
    state.messageBoxes.push_back({text, title, buttons, icon});
    if (state.messageBoxSink) state.messageBoxSink(state.messageBoxes.back());
    return DialogOK;
}

}  // namespace adsk::core
