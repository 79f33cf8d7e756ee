#pragma once
// Asks the user for a folder.

#include <string>

#include <Core/Base.h>
#include <Core/CoreTypeDefs.h>

namespace adsk::core {

class FolderDialog : public Base {
    ADSK_HOST_CLASS("adsk::core::FolderDialog", Base)
  public:
    std::string title() const { return detail::takeText(title_raw()); }
    bool title(const std::string& text) {
        title_ = text;
        return true;
    }
    std::string initialDirectory() const { return detail::takeText(initialDirectory_raw()); }
    bool initialDirectory(const std::string& path) {
        initialDirectory_ = path;
        return true;
    }
    DialogResults showDialog();
    // The chosen folder after DialogOK, else empty.
    std::string folder() const { return detail::takeText(folder_raw()); }

    char* title_raw() const;
    char* initialDirectory_raw() const;
    char* folder_raw() const;

  private:
    FolderDialog() = default;
    std::string title_;
    std::string initialDirectory_;
    std::string chosen_;
};

}  // namespace adsk::core
