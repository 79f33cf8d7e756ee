#include "Installation.h"

#include <unistd.h>

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
constexpr const char* kLiveLibrary = "orvquorelllive6_64.so";

std::string installKey(int version) {
    return std::string(kBaseKey) + "\\Quorell " + std::to_string(version);
}

std::string defaultPrefix(int version) {
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        base = data;
    else
        base = std::string(std::getenv("HOME") ? std::getenv("HOME") : "/tmp") + "/.local/share";
    return base + "/quorell/Quorell " + std::to_string(version);
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
            *error = "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
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
    const fs::path p = fs::weakly_canonical(path, ec);
    return ec ? path : p.string();
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
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    path[n] = 0;
    return path;
}

bool install(const InstallOptions& options, std::string* summary, std::string* error) {
    std::error_code ec;
    const fs::path prefix =
        fs::absolute(options.prefix.empty() ? defaultPrefix(options.version) : options.prefix, ec);
    const fs::path binFolder = prefix / "bin";
    const fs::path resourceFolder = prefix / "resources";
    fs::create_directories(binFolder, ec);
    if (!ec) fs::create_directories(resourceFolder / "scenes", ec);
    if (ec) {
        if (error) *error = "cannot create folders in " + prefix.string() + ": " + ec.message();
        return false;
    }

    const fs::path self = ownExecutable();
    const fs::path library = self.parent_path() / kLiveLibrary;
    if (!fs::exists(library, ec)) {
        if (error)
            *error = "the live library " + library.string() + " is missing beside this program";
        return false;
    }
    const fs::path binName = binFolder / "quorell-standin";
    if (!copyExecutable(self, binName, error) ||
        !copyExecutable(library, binFolder / kLiveLibrary, error))
        return false;
    writeStartupPicture(resourceFolder / "startup.hdr");

    const std::string hivePath = platform::hiveFilePath(platform::Hive::CurrentUser);
    platform::RegistryFile hive(platform::Hive::CurrentUser);
    if (fs::exists(hivePath, ec)) {
        std::string why;
        if (!hive.load(hivePath, &why)) {
            if (error) *error = "cannot read the registry hive " + hivePath + ": " + why;
            return false;
        }
    }
    const std::string key = installKey(options.version);
    hive.setString(kBaseKey, "QuorellActivePath", prefix.string());
    hive.setString(kBaseKey, "QuorellVersion", "Quorell " + std::to_string(options.version));
    hive.setString(key, "BinName", binName.string());
    hive.setString(key, "BinFolder", binFolder.string());
    hive.setString(key, "ResourceFolder", resourceFolder.string());
    hive.setDword(key, "LiveLinkPort", static_cast<uint32_t>(options.minPort));
    hive.setDword(key, "LiveLinkMaxPort", static_cast<uint32_t>(options.maxPort));
    std::string why;
    if (!hive.save(hivePath, &why)) {
        if (error) *error = "cannot write the registry hive " + hivePath + ": " + why;
        return false;
    }
    if (summary) {
        *summary = "installed Quorell " + std::to_string(options.version) + " stand-in in " +
                   prefix.string() + "\n  program:   " + binName.string() +
                   "\n  resources: " + resourceFolder.string() +
                   "\n  ports:     " + std::to_string(options.minPort) + "-" +
                   std::to_string(options.maxPort) + "\n  registry:  " + hivePath + "\n";
    }
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
