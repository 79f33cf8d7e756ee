#pragma once
// Add-in folders as the host installs them: FOLDER/NAME.manifest (JSON) and the
// library NAME.so beside it, NAME being the folder's name.

#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace fusionsim {

class AddinFolderError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct AddinManifest {
    std::string name;  // the folder's name
    std::filesystem::path library;
    std::string id;
    std::string version;
    bool runOnStartup = false;
};

// Reads folder/NAME.manifest and checks the library beside it; AddinFolderError
// names the file and the cause.
AddinManifest readAddinFolder(const std::filesystem::path& folder);

// The add-in folders of an add-ins folder, by name. A folder whose manifest is
// missing or bad, or whose library is not there, is reported on err and left out.
std::vector<AddinManifest> findAddins(const std::filesystem::path& addinsFolder,
                                      std::ostream& err);

// ${XDG_CONFIG_HOME:-~/.config}/fusion-sim/AddIns
std::filesystem::path defaultAddinsFolder();

}  // namespace fusionsim
