// Finds the renderer's installation in the registry and reads its program
// folder, executable, resource folder and live-link port range. Installations
// live under "SOFTWARE\Vantor\" in the current user's and the machine's hive;
// nothing here writes to the registry.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

// Closes a registry key when its owner goes.
struct RegistryKeyCloser {
    void operator()(platform::RegKey key) const { platform::regCloseKey(key); }
};
using OpenRegistryKey = std::unique_ptr<platform::RegistryKey, RegistryKeyCloser>;

// An installation's open key and its major version.
struct Installation {
    OpenRegistryKey key;
    int32_t version = 0;
};

class InstallationRegistry {
  public:
    // The valid installation with the highest major version in
    // [minVersion, maxVersion] of both hives; the current user's wins a tie.
    std::optional<Installation> findInstallKey(int32_t minVersion, int32_t maxVersion) const;

    // "BinFolder" of the installation, empty when not found; version is set
    // to the installation's major version only when one is found.
    std::wstring readBinFolder(int32_t minVersion, int32_t maxVersion, int32_t& version) const;
    // "BinName": full path of the renderer's executable, or empty.
    std::wstring readBinName(int32_t minVersion, int32_t maxVersion) const;
    // "ResourceFolder", or empty.
    std::wstring readResourceFolder(int32_t minVersion, int32_t maxVersion) const;

    // Port range statuses.
    static constexpr int32_t kPortsRead = 0;
    static constexpr int32_t kMaxPortMissing = -1;  // minPort set, maxPort untouched
    static constexpr int32_t kMinPortMissing = -2;
    static constexpr int32_t kNoInstallation = -3;
    // "LiveLinkPort" and "LiveLinkMaxPort", each a 4-byte number or a text.
    int32_t readPortRange(int32_t minVersion, int32_t maxVersion, int32_t& minPort,
                          int32_t& maxPort) const;

    // Major version in a folder path such as "...\Quorell12" or
    // "...\Quorell 12\"; -1 when the path gives none.
    static int32_t versionFromPath(std::wstring_view path);

    // "SOFTWARE\Vantor\".
    static const std::wstring& baseKey();

  private:
    std::optional<Installation> keyFromActivePath(platform::Hive hive) const;
    std::optional<Installation> keyFromVersionValue(platform::Hive hive) const;
    std::optional<Installation> keyFromVersionScan(platform::Hive hive, int32_t minVersion,
                                                   int32_t maxVersion) const;
    // The key when its "BinName" is a readable file and its "ResourceFolder"
    // a directory.
    OpenRegistryKey openInstallKey(platform::Hive hive, const std::wstring& keyText) const;
    std::wstring readInstallText(int32_t minVersion, int32_t maxVersion, const wchar_t* valueName,
                                 int32_t* version) const;
};

// The one instance everybody uses.
const InstallationRegistry& installationRegistry();
