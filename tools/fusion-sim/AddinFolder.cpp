#include "tools/fusion-sim/AddinFolder.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "tools/fusion-sim/BoundedFile.h"
#include "tools/fusion-sim/JsonTextCheck.h"

namespace fs = std::filesystem;

namespace fusionsim {

namespace {

// A manifest is a few lines; anything larger is not one.
constexpr size_t kMaxManifestBytes = size_t(64) << 10;
// Folders looked at in an add-ins folder, so that a huge folder cannot keep
// fusion-sim busy at start.
constexpr size_t kMaxAddinFolders = 1000;

using nlohmann::json;

void expectString(const json& manifest, const char* field, const std::string& file) {
    if (!manifest.contains(field)) throw AddinFolderError(file + ": no \"" + field + "\"");
    if (!manifest[field].is_string())
        throw AddinFolderError(file + ": \"" + field + "\" is not a text");
}

}  // namespace

AddinManifest readAddinFolder(const fs::path& folder) {
    AddinManifest addin;
    addin.name = folder.filename().string();
    if (addin.name.empty()) addin.name = folder.parent_path().filename().string();
    const fs::path manifestPath = folder / (addin.name + ".manifest");
    const std::string file = manifestPath.string();
    std::string text, cause;
    std::error_code error;
    if (!fs::exists(manifestPath, error)) throw AddinFolderError(file + ": no manifest");
    if (!readBoundedFile(file, kMaxManifestBytes, &text, &cause))
        throw AddinFolderError(file + ": " + cause);
    if (auto problem = checkJsonText(text)) throw AddinFolderError(file + ": " + problem->text());
    json manifest;
    try {
        manifest = json::parse(text);
    } catch (const json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 1, ..." -> "parse error at ..."
        std::string why = e.what();
        if (const size_t end = why.find("] "); why.rfind("[json", 0) == 0 && end != std::string::npos)
            why.erase(0, end + 2);
        throw AddinFolderError(file + ": not JSON: " + why);
    }
    if (!manifest.is_object()) throw AddinFolderError(file + ": not a JSON object");
    expectString(manifest, "type", file);
    if (manifest["type"] != "addin")
        throw AddinFolderError(file + ": \"type\" is " + manifest["type"].dump() +
                               ", not \"addin\"");
    for (const char* field : {"id", "version"})
        if (manifest.contains(field)) expectString(manifest, field, file);
    for (const char* field : {"runOnStartup", "editEnabled"})
        if (manifest.contains(field) && !manifest[field].is_boolean())
            throw AddinFolderError(file + ": \"" + field + "\" is not true or false");
    addin.id = manifest.value("id", "");
    addin.version = manifest.value("version", "");
    addin.runOnStartup = manifest.value("runOnStartup", false);
    addin.library = folder / (addin.name + ".so");
    if (!fs::is_regular_file(addin.library, error))
        throw AddinFolderError(addin.library.string() + ": no add-in library beside " + file);
    return addin;
}

std::vector<AddinManifest> findAddins(const fs::path& addinsFolder, std::ostream& err) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(addinsFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_directory(error)) continue;
        if (folders.size() == kMaxAddinFolders) {
            err << "fusion-sim: " << addinsFolder.string() << ": more than " << kMaxAddinFolders
                << " add-in folders; only the first ones found are loaded" << std::endl;
            break;
        }
        folders.push_back(it->path());
    }
    std::sort(folders.begin(), folders.end());
    std::vector<AddinManifest> addins;
    for (const fs::path& folder : folders) {
        try {
            addins.push_back(readAddinFolder(folder));
        } catch (const AddinFolderError& e) {
            err << "fusion-sim: " << e.what() << "; the add-in is not loaded" << std::endl;
        }
    }
    return addins;
}

fs::path defaultAddinsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    fs::path base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home ? home : "") / ".config";
    }
    return base / "fusion-sim" / "AddIns";
}

}  // namespace fusionsim
