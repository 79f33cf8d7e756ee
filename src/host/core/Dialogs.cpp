// The folder and progress dialogs and the palettes of the user interface.
#include <Core/CoreAll.h>

#include "host/model/AppState.h"
#include "host/model/HostArray.h"
#include "host/model/ModelAccess.h"

namespace adsk::core {

using host::ModelAccess;
using host::detail::appState;
using host::detail::hostText;

char* FolderDialog::title_raw() const {
    return hostText(title_);
}
char* FolderDialog::initialDirectory_raw() const {
    return hostText(initialDirectory_);
}
char* FolderDialog::folder_raw() const {
    return hostText(chosen_);
}

// Answered from the same queue as file dialogs; a folder dialog picks one.
DialogResults FolderDialog::showDialog() {
    FileDialog::Settings asked;
    asked.title = title_;
    asked.initialDirectory = initialDirectory_;
    chosen_.clear();
    const auto answer = host::detail::takeDialogAnswer({false, asked});
    if (answer.empty()) return DialogCancel;
    chosen_ = answer.front();
    return DialogOK;
}

Ptr<FolderDialog> UserInterface::createFolderDialog() {
    if (!appState().availability.fileDialog) return nullptr;
    return ModelAccess::make<FolderDialog>();
}

Ptr<ProgressDialog> UserInterface::createProgressDialog() {
    return ModelAccess::make<ProgressDialog>();
}

Ptr<Palettes> UserInterface::palettes() const {
    auto& state = appState();
    if (!state.palettes) {
        state.palettes = ModelAccess::make<Palettes>();
        ModelAccess::items(*state.palettes).push_back(ModelAccess::make<TextCommandPalette>());
    }
    return state.palettes;
}

}  // namespace adsk::core
