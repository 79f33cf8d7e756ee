#pragma once
// The user interface: toolbars, workspaces, panels and their controls, the file
// dialog and message boxes.

#include <string>
#include <vector>

#include "host/core/Base.h"
#include "host/core/Enums.h"
#include "host/core/Events.h"

namespace adsk::core {

class ToolbarControl : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarControl", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    bool isVisible() const { return visible_; }
    bool isVisible(bool visible) {
        visible_ = visible;
        return true;
    }

    char* id_raw() const;

  protected:
    explicit ToolbarControl(std::string id) : id_(std::move(id)) {}

  private:
    std::string id_;
    bool visible_ = false;
};

// A button that runs a command definition; its id is the definition's id.
class CommandControl : public ToolbarControl {
    ADSK_HOST_CLASS("adsk::core::CommandControl", ToolbarControl)
  public:
    Ptr<CommandDefinition> commandDefinition() const { return definition_; }

  private:
    explicit CommandControl(Ptr<CommandDefinition> definition);
    Ptr<CommandDefinition> definition_;
};

class ToolbarControls : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarControls", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<ToolbarControl> item(size_t index) const;
    Ptr<ToolbarControl> itemById(const std::string& id) const;
    // Places a button before (or after) the control positionID, or at the end when
    // positionID is empty or unknown. Null when a control with that id exists.
    Ptr<CommandControl> addCommand(const Ptr<CommandDefinition>& definition,
                                   const std::string& positionID = "", bool isBefore = true);

  private:
    ToolbarControls() = default;
    std::vector<Ptr<ToolbarControl>> items_;
};

class Toolbar : public Base {
    ADSK_HOST_CLASS("adsk::core::Toolbar", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    Ptr<ToolbarControls> controls() const { return controls_; }

    char* id_raw() const;

  private:
    explicit Toolbar(std::string id) : id_(std::move(id)) {}
    std::string id_;
    Ptr<ToolbarControls> controls_;
};

class Toolbars : public Base {
    ADSK_HOST_CLASS("adsk::core::Toolbars", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Toolbar> item(size_t index) const;
    Ptr<Toolbar> itemById(const std::string& id) const;

  private:
    Toolbars() = default;
    std::vector<Ptr<Toolbar>> items_;
};

class ToolbarPanel : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarPanel", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    Ptr<ToolbarControls> controls() const { return controls_; }

    char* id_raw() const;
    char* name_raw() const;

  private:
    ToolbarPanel(std::string id, std::string name) : id_(std::move(id)), name_(std::move(name)) {}
    std::string id_;
    std::string name_;
    Ptr<ToolbarControls> controls_;
};

class ToolbarPanels : public Base {
    ADSK_HOST_CLASS("adsk::core::ToolbarPanels", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<ToolbarPanel> item(size_t index) const;
    Ptr<ToolbarPanel> itemById(const std::string& id) const;

  private:
    ToolbarPanels() = default;
    std::vector<Ptr<ToolbarPanel>> items_;
};

class Workspace : public Base {
    ADSK_HOST_CLASS("adsk::core::Workspace", Base)
  public:
    std::string id() const { return detail::takeText(id_raw()); }
    std::string name() const { return detail::takeText(name_raw()); }
    Ptr<ToolbarPanels> toolbarPanels() const { return panels_; }

    char* id_raw() const;
    char* name_raw() const;

  private:
    Workspace(std::string id, std::string name) : id_(std::move(id)), name_(std::move(name)) {}
    std::string id_;
    std::string name_;
    Ptr<ToolbarPanels> panels_;
};

class Workspaces : public Base {
    ADSK_HOST_CLASS("adsk::core::Workspaces", Base)
  public:
    size_t count() const { return items_.size(); }
    Ptr<Workspace> item(size_t index) const;
    Ptr<Workspace> itemById(const std::string& id) const;

  private:
    Workspaces() = default;
    std::vector<Ptr<Workspace>> items_;
};

class FileDialog : public Base {
    ADSK_HOST_CLASS("adsk::core::FileDialog", Base)
  public:
    std::string title() const { return detail::takeText(title_raw()); }
    bool title(const std::string& text) {
        settings_.title = text;
        return true;
    }
    std::string filter() const { return detail::takeText(filter_raw()); }
    bool filter(const std::string& text) {
        settings_.filter = text;
        return true;
    }
    int filterIndex() const { return settings_.filterIndex; }
    bool filterIndex(int index) {
        settings_.filterIndex = index;
        return true;
    }
    bool isMultiSelectEnabled() const { return settings_.multiSelect; }
    bool isMultiSelectEnabled(bool enabled) {
        settings_.multiSelect = enabled;
        return true;
    }
    std::string initialDirectory() const { return detail::takeText(initialDirectory_raw()); }
    bool initialDirectory(const std::string& path) {
        settings_.initialDirectory = path;
        return true;
    }
    std::string initialFilename() const { return detail::takeText(initialFilename_raw()); }
    bool initialFilename(const std::string& name) {
        settings_.initialFilename = name;
        return true;
    }

    DialogResults showOpen();
    DialogResults showSave();
    // The chosen file after DialogOK, else empty.
    std::string filename() const { return detail::takeText(filename_raw()); }
    std::vector<std::string> filenames() const;

    char* title_raw() const;
    char* filter_raw() const;
    char* initialDirectory_raw() const;
    char* initialFilename_raw() const;
    char* filename_raw() const;

    // What the add-in asked for, as the host program sees it.
    struct Settings {
        std::string title;
        std::string filter;
        int filterIndex = 0;
        bool multiSelect = false;
        std::string initialDirectory;
        std::string initialFilename;
    };

  private:
    FileDialog() = default;
    DialogResults show(bool save);
    Settings settings_;
    std::string chosen_;
};

class UserInterface : public Base {
    ADSK_HOST_CLASS("adsk::core::UserInterface", Base)
  public:
    Ptr<CommandDefinitions> commandDefinitions() const;
    Ptr<Toolbars> toolbars() const;
    Ptr<Workspaces> workspaces() const;
    Ptr<Workspace> activeWorkspace() const;
    Ptr<FileDialog> createFileDialog();
    DialogResults messageBox(const std::string& text, const std::string& title = "",
                             MessageBoxButtonTypes buttons = OKButtonType,
                             MessageBoxIconTypes icon = NoIconIconType);

  private:
    UserInterface() = default;
};

}  // namespace adsk::core
