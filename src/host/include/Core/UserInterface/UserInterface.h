#pragma once

#include <string>

#include <Core/Base.h>
#include <Core/CoreTypeDefs.h>
#include <Core/UserInterface/CommandDefinitions.h>
#include <Core/UserInterface/FileDialog.h>
#include <Core/UserInterface/FolderDialog.h>
#include <Core/UserInterface/Palettes.h>
#include <Core/UserInterface/ProgressDialog.h>
#include <Core/UserInterface/Toolbars.h>
#include <Core/UserInterface/Workspace.h>
#include <Core/UserInterface/Workspaces.h>

namespace adsk::core {
class CommandDefinitions;
class FileDialog;
class FolderDialog;
class Palettes;
class ProgressDialog;
class Toolbars;
class Workspace;
class Workspaces;
}  // namespace adsk::core

namespace adsk::core {

class UserInterface : public Base {
    ADSK_HOST_CLASS("adsk::core::UserInterface", Base)
  public:
    Ptr<CommandDefinitions> commandDefinitions() const;
    Ptr<Toolbars> toolbars() const;
    Ptr<Workspaces> workspaces() const;
    Ptr<Workspace> activeWorkspace() const;
    Ptr<FileDialog> createFileDialog();
    Ptr<FolderDialog> createFolderDialog();
    Ptr<ProgressDialog> createProgressDialog();
    // Among them the "TextCommands" palette (a TextCommandPalette).
    Ptr<Palettes> palettes() const;
    DialogResults messageBox(const std::string& text, const std::string& title = "",
                             MessageBoxButtonTypes buttons = OKButtonType,
                             MessageBoxIconTypes icon = NoIconIconType);

  private:
    UserInterface() = default;
};

}  // namespace adsk::core
