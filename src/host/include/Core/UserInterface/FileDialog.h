#pragma once

#include <string>
#include <vector>

#include <Core/Base.h>
#include <Core/CoreTypeDefs.h>

namespace adsk::core {

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
    // The chosen file after DialogOK (the first one when several were chosen),
    // else empty.
    std::string filename() const { return detail::takeText(filename_raw()); }
    // Every chosen file after DialogOK (several only with multi-select), else none.
    std::vector<std::string> filenames() const {
        size_t count = 0;
        char** texts = filenames_raw(count);
        return detail::takeTexts(texts, count);
    }

    char* title_raw() const;
    char* filter_raw() const;
    char* initialDirectory_raw() const;
    char* initialFilename_raw() const;
    char* filename_raw() const;
    char** filenames_raw(size_t& count) const;

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
    std::vector<std::string> chosen_;
};

}  // namespace adsk::core
