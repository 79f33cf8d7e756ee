#pragma once
// Add-in folders as the host installs them: FOLDER/NAME.manifest (JSON) and the
// library NAME.so (NAME.dll on Windows) beside it, NAME being the folder's name.

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

// Which add-in a library or an add-in folder holds: its manifest's id (a plain
// library's manifest is the file beside it named after the library, without a
// "lib" prefix: quorell-addin.manifest for libquorell-addin.so) and its library.
struct AddinIdentity {
    std::string id;  // empty: no manifest
    std::filesystem::path library;
};
// AddinFolderError for a manifest that is there but bad.
AddinIdentity identifyAddin(const std::filesystem::path& libraryOrFolder);
// The same id when both have one, else the same library file or the same bytes.
bool sameAddin(const AddinIdentity& a, const AddinIdentity& b);

// ${XDG_CONFIG_HOME:-~/.config}/fusion-sim/AddIns
std::filesystem::path defaultAddinsFolder();

}  // namespace fusionsim
