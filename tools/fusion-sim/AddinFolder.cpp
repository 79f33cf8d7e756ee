#include "tools/fusion-sim/AddinFolder.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
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

// The manifest's fields; the library is left to the caller.
AddinManifest readManifest(const fs::path& manifestPath) {
    AddinManifest addin;
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
    return addin;
}

bool sameBytes(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::file_size(a, error) != fs::file_size(b, error) || error) return false;
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    char x[1 << 14], y[1 << 14];
    while (first && second) {
        first.read(x, sizeof x);
        second.read(y, sizeof y);
        if (first.gcount() != second.gcount() ||
            !std::equal(x, x + first.gcount(), y))
            return false;
    }
    return !first.bad() && !second.bad() && first.eof() && second.eof();
}

}  // namespace

AddinManifest readAddinFolder(const fs::path& folder) {
    std::string name = folder.filename().string();
    if (name.empty()) name = folder.parent_path().filename().string();
    const fs::path manifestPath = folder / (name + ".manifest");
    AddinManifest addin = readManifest(manifestPath);
    addin.name = name;
#ifdef _WIN32
    addin.library = folder / (name + ".dll");
#else
    addin.library = folder / (name + ".so");
#endif
    std::error_code error;
    if (!fs::is_regular_file(addin.library, error))
        throw AddinFolderError(addin.library.string() + ": no add-in library beside " +
                               manifestPath.string());
    return addin;
}

AddinIdentity identifyAddin(const fs::path& libraryOrFolder) {
    std::error_code error;
    if (fs::is_directory(libraryOrFolder, error)) {
        const AddinManifest addin = readAddinFolder(libraryOrFolder);
        return {addin.id, addin.library};
    }
    std::string stem = libraryOrFolder.stem().string();
    if (stem.rfind("lib", 0) == 0) stem.erase(0, 3);
    const fs::path manifest = libraryOrFolder.parent_path() / (stem + ".manifest");
    if (!fs::exists(manifest, error)) return {"", libraryOrFolder};
    return {readManifest(manifest).id, libraryOrFolder};
}

bool sameAddin(const AddinIdentity& a, const AddinIdentity& b) {
    if (!a.id.empty() && !b.id.empty()) return a.id == b.id;
    std::error_code error;
    return fs::equivalent(a.library, b.library, error) || sameBytes(a.library, b.library);
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
