#include "Installation.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "platform/RegistryFile.h"

namespace fs = std::filesystem;

namespace renderer {

namespace {

constexpr const char* kBaseKey = "SOFTWARE\\Vantor";
// The add-in loads the live library by this name on every system.
constexpr const char* kLiveLibrary = "orvquorelllive6_64.so";
#ifdef _WIN32
constexpr const char* kProgramName = "quorell-standin.exe";
#else
constexpr const char* kProgramName = "quorell-standin";
#endif

std::string installKey(int version) {
    return std::string(kBaseKey) + "\\Quorell " + std::to_string(version);
}

fs::path defaultPrefix(int version) {
#ifdef _WIN32
    // Per user, like the registry keys: no administrator rights needed.
    const wchar_t* data = _wgetenv(L"LOCALAPPDATA");
    const fs::path base = data && *data ? fs::path(data) / L"Programs" : fs::temp_directory_path();
    return base / L"Quorell" / ("Quorell " + std::to_string(version));
#else
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        base = data;
    else
        base = std::string(std::getenv("HOME") ? std::getenv("HOME") : "/tmp") + "/.local/share";
    return base + "/quorell/Quorell " + std::to_string(version);
#endif
}

// The installation keys in the current user's part of the registry: on
// Windows the registry itself, elsewhere the user's hive file.
struct InstallKeys {
    std::string binName, binFolder, resourceFolder;
    uint32_t minPort = 0, maxPort = 0;
};

#ifdef _WIN32
long setText(const std::string& key, const wchar_t* name, const std::string& text) {
    const std::wstring value = platform::utf8ToWide(text);
    return platform::regSetValue(platform::Hive::CurrentUser, platform::utf8ToWide(key), name,
                                 platform::kRegSz, value.c_str(),
                                 static_cast<platform::Dword>((value.size() + 1) * sizeof(wchar_t)));
}

long setNumber(const std::string& key, const wchar_t* name, uint32_t value) {
    return platform::regSetValue(platform::Hive::CurrentUser, platform::utf8ToWide(key), name,
                                 platform::kRegDword, &value, sizeof value);
}

bool writeKeys(int version, const fs::path& prefix, const InstallKeys& k, std::string* where,
               std::string* error) {
    const std::string key = installKey(version);
    long result = setText(kBaseKey, L"QuorellActivePath", platform::wideToUtf8(prefix.wstring()));
    if (!result) result = setText(kBaseKey, L"QuorellVersion", "Quorell " + std::to_string(version));
    if (!result) result = setText(key, L"BinName", k.binName);
    if (!result) result = setText(key, L"BinFolder", k.binFolder);
    if (!result) result = setText(key, L"ResourceFolder", k.resourceFolder);
    if (!result) result = setNumber(key, L"LiveLinkPort", k.minPort);
    if (!result) result = setNumber(key, L"LiveLinkMaxPort", k.maxPort);
    if (result) {
        if (error)
            *error = "cannot write HKEY_CURRENT_USER\\" + key + ": Windows error " +
                     std::to_string(result);
        return false;
    }
    *where = "HKEY_CURRENT_USER\\" + std::string(kBaseKey);
    return true;
}
#else
bool writeKeys(int version, const fs::path& prefix, const InstallKeys& k, std::string* where,
               std::string* error) {
    std::error_code ec;
    const std::string hivePath = platform::hiveFilePath(platform::Hive::CurrentUser);
    platform::RegistryFile hive(platform::Hive::CurrentUser);
    if (fs::exists(hivePath, ec)) {
        std::string why;
        if (!hive.load(hivePath, &why)) {
            if (error) *error = "cannot read the registry hive " + hivePath + ": " + why;
            return false;
        }
    }
    const std::string key = installKey(version);
    hive.setString(kBaseKey, "QuorellActivePath", prefix.string());
    hive.setString(kBaseKey, "QuorellVersion", "Quorell " + std::to_string(version));
    hive.setString(key, "BinName", k.binName);
    hive.setString(key, "BinFolder", k.binFolder);
    hive.setString(key, "ResourceFolder", k.resourceFolder);
    hive.setDword(key, "LiveLinkPort", k.minPort);
    hive.setDword(key, "LiveLinkMaxPort", k.maxPort);
    std::string why;
    if (!hive.save(hivePath, &why)) {
        if (error) *error = "cannot write the registry hive " + hivePath + ": " + why;
        return false;
    }
    *where = hivePath;
    return true;
}
#endif

// Paths to and from the UTF-8 texts of the registry and the command line; on
// Windows through UTF-16, so that no code page gets in the way.
std::string utf8(const fs::path& path) {
#ifdef _WIN32
    return platform::wideToUtf8(path.wstring());
#else
    return path.string();
#endif
}

fs::path pathFromUtf8(const std::string& text) {
#ifdef _WIN32
    return fs::path(platform::utf8ToWide(text));
#else
    return fs::path(text);
#endif
}

// A tiny valid Radiance picture: one grey pixel.
void writeStartupPicture(const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 1\n";
    const char pixel[4] = {char(0x80), char(0x80), char(0x80), char(0x81)};
    out.write(pixel, sizeof pixel);
}

bool copyExecutable(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    if (fs::exists(to, ec) && fs::equivalent(from, to, ec)) return true;
    fs::remove(to, ec);  // a running copy is replaced, not overwritten in place
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        if (error)
            *error = "cannot copy " + utf8(from) + " to " + utf8(to) + ": " + ec.message();
        return false;
    }
    return true;
}

std::optional<std::string> readText(platform::RegKey key, const wchar_t* name) {
    auto text = platform::regQueryText(key, name, 2048);
    if (!text || text->empty()) return std::nullopt;
    return platform::wideToUtf8(*text);
}

std::optional<int> readNumber(platform::RegKey key, const wchar_t* name) {
    uint32_t value = 0;
    platform::Dword size = sizeof value, type = 0;
    if (platform::regQueryValue(key, name, &type, &value, &size) == platform::kSuccess && size == 4)
        return static_cast<int>(value);
    if (auto text = readText(key, name)) return std::atoi(text->c_str());
    return std::nullopt;
}

std::string canonical(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(pathFromUtf8(path), ec);
    return ec ? path : utf8(p);
}

bool readKey(platform::Hive hive, int version, InstalledSettings* out, std::string* binName) {
    platform::RegKey key = nullptr;
    if (platform::regOpenKey(hive, platform::utf8ToWide(installKey(version)), &key) !=
        platform::kSuccess)
        return false;
    InstalledSettings s;
    s.found = true;
    s.version = version;
    if (auto folder = readText(key, L"ResourceFolder")) s.resourceFolder = *folder;
    if (auto port = readNumber(key, L"LiveLinkPort")) s.minPort = *port;
    s.maxPort = s.minPort;
    if (auto port = readNumber(key, L"LiveLinkMaxPort")) s.maxPort = *port;
    *binName = readText(key, L"BinName").value_or("");
    platform::regCloseKey(key);
    *out = s;
    return true;
}

}  // namespace

bool parsePortRange(const std::string& text, int* minPort, int* maxPort) {
    const auto dash = text.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 >= text.size()) return false;
    char* end = nullptr;
    const long low = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + dash) return false;
    const long high = std::strtol(text.c_str() + dash + 1, &end, 10);
    if (*end != 0 || low < 1 || high > 65535 || low > high) return false;
    *minPort = static_cast<int>(low);
    *maxPort = static_cast<int>(high);
    return true;
}

std::string ownExecutable() {
    return platform::wideToUtf8(platform::currentProgramPath());
}

bool install(const InstallOptions& options, std::string* summary, std::string* error) {
    std::error_code ec;
    const fs::path prefix = fs::absolute(
        options.prefix.empty() ? defaultPrefix(options.version) : pathFromUtf8(options.prefix), ec);
    const fs::path binFolder = prefix / "bin";
    const fs::path resourceFolder = prefix / "resources";
    fs::create_directories(binFolder, ec);
    if (!ec) fs::create_directories(resourceFolder / "scenes", ec);
    if (ec) {
        if (error) *error = "cannot create folders in " + utf8(prefix) + ": " + ec.message();
        return false;
    }

    const fs::path self = pathFromUtf8(ownExecutable());
    const fs::path library = self.parent_path() / kLiveLibrary;
    if (!fs::exists(library, ec)) {
        if (error)
            *error = "the live library " + utf8(library) + " is missing beside this program";
        return false;
    }
    const fs::path binName = binFolder / kProgramName;
    if (!copyExecutable(self, binName, error) ||
        !copyExecutable(library, binFolder / kLiveLibrary, error))
        return false;
    writeStartupPicture(resourceFolder / "startup.hdr");

    InstallKeys keys{utf8(binName), utf8(binFolder), utf8(resourceFolder),
                     static_cast<uint32_t>(options.minPort), static_cast<uint32_t>(options.maxPort)};
    std::string where;
    if (!writeKeys(options.version, prefix, keys, &where, error)) return false;
    if (summary) {
        *summary = "installed Quorell " + std::to_string(options.version) + " stand-in in " +
                   utf8(prefix) + "\n  program:   " + keys.binName +
                   "\n  resources: " + keys.resourceFolder +
                   "\n  ports:     " + std::to_string(options.minPort) + "-" +
                   std::to_string(options.maxPort) + "\n  registry:  " + where + "\n";
    }
    return true;
}

bool uninstall(int version, std::string* summary, std::string* error) {
    InstalledSettings settings;
    std::string binName;
    if (!readKey(platform::Hive::CurrentUser, version, &settings, &binName)) {
        if (error) *error = "no Quorell " + std::to_string(version) + " installation of this user";
        return false;
    }
    std::error_code ec;
    const fs::path binFolder = pathFromUtf8(binName).parent_path();
    const fs::path resources = pathFromUtf8(settings.resourceFolder);
    std::string kept;
    for (const fs::path& file : {binFolder / kProgramName, binFolder / kLiveLibrary,
                                 resources / "startup.hdr"}) {
        if (!fs::remove(file, ec) && ec) kept += "\n  kept " + utf8(file) + ": " + ec.message();
    }
    // Folders go only when empty: received scenes stay.
    for (const fs::path& folder : {binFolder, resources / "scenes", resources, binFolder.parent_path()})
        fs::remove(folder, ec);

    const std::wstring base = platform::utf8ToWide(kBaseKey);
    platform::regDeleteTree(platform::Hive::CurrentUser, platform::utf8ToWide(installKey(version)));
    bool othersLeft = false;
    for (int v = 1; v <= 99 && !othersLeft; ++v) {
        platform::RegKey key = nullptr;
        if (platform::regOpenKey(platform::Hive::CurrentUser, platform::utf8ToWide(installKey(v)),
                                 &key) == platform::kSuccess) {
            othersLeft = true;
            platform::regCloseKey(key);
        }
    }
    if (!othersLeft) platform::regDeleteTree(platform::Hive::CurrentUser, base);
    if (summary)
        *summary = "uninstalled Quorell " + std::to_string(version) + " stand-in from " +
                   utf8(binFolder.parent_path()) + kept + "\n";
    return true;
}

InstalledSettings readInstalledSettings() {
    const std::string self = canonical(ownExecutable());
    InstalledSettings first;
    for (platform::Hive hive : {platform::Hive::CurrentUser, platform::Hive::LocalMachine}) {
        // The key that names this very program wins.
        for (int version = 20; version >= 5; --version) {
            InstalledSettings s;
            std::string binName;
            if (!readKey(hive, version, &s, &binName)) continue;
            if (!binName.empty() && canonical(binName) == self) return s;
            if (!first.found) first = s;
        }
    }
    platform::RegKey base = nullptr;
    if (platform::regOpenKey(platform::Hive::CurrentUser, platform::utf8ToWide(kBaseKey), &base) ==
        platform::kSuccess) {
        auto named = readText(base, L"QuorellVersion");
        platform::regCloseKey(base);
        if (named) {
            const auto space = named->find(' ');
            const int version =
                std::atoi(named->c_str() + (space == std::string::npos ? 0 : space + 1));
            InstalledSettings s;
            std::string binName;
            if (version > 0 && readKey(platform::Hive::CurrentUser, version, &s, &binName))
                return s;
        }
    }
    return first;
}

}  // namespace renderer
