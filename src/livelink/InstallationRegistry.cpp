#include "livelink/InstallationRegistry.h"

#include <climits>
#include <cstdio>
#include <cwchar>
#include <cwctype>

using platform::Hive;

namespace {

// The registry's buffer sizes, in bytes of UTF-16 text as on Windows.
constexpr platform::Dword kValidationBuffer = 2048;
constexpr platform::Dword kValueBuffer = 520;  // 260 characters with the terminator
constexpr platform::Dword kPortTextBuffer = 512;

// wcstol with base 10 on a 32-bit long: leading blanks skipped, no digits
// give 0, out-of-range values saturate.
int32_t leadingNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

OpenRegistryKey openKey(Hive hive, const std::wstring& keyText) {
    platform::RegKey key = nullptr;
    if (platform::regOpenKey(hive, keyText, &key) != platform::kSuccess) return nullptr;
    return OpenRegistryKey(key);
}

std::optional<std::wstring> readText(const OpenRegistryKey& key, const wchar_t* name,
                                     platform::Dword bufferBytes) {
    return platform::regQueryText(key.get(), name, bufferBytes);
}

bool readFourBytes(const OpenRegistryKey& key, const wchar_t* name, int32_t& out) {
    uint8_t bytes[4] = {};
    platform::Dword size = sizeof bytes;
    if (platform::regQueryValue(key.get(), name, nullptr, bytes, &size) != platform::kSuccess)
        return false;
    out = static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                               (static_cast<uint32_t>(bytes[3]) << 24));
    return true;
}

std::wstring installKeyText(int32_t version) {
    return InstallationRegistry::baseKey() + L"Quorell " + platform::decimalText(version);
}

}  // namespace

const std::wstring& InstallationRegistry::baseKey() {
    static const std::wstring key = L"SOFTWARE\\Vantor\\";
    return key;
}

const InstallationRegistry& installationRegistry() {
    static const InstallationRegistry registry;
    return registry;
}

int32_t InstallationRegistry::versionFromPath(std::wstring_view path) {
    // The character after the last letter of the product name, wherever it is
    // ("Quorell12", "Quorell 12\"); a search for any of its letters.
    const size_t p = path.find_last_of(L"Quorell");
    if (p == std::wstring_view::npos) return -1;
    const size_t start = p + 1;
    size_t q = path.rfind(L'/');
    if (q == std::wstring_view::npos) q = path.rfind(L'\\');
    if (q == std::wstring_view::npos || q == start) return -1;
    const std::wstring_view text = q > start ? path.substr(start, q - start) : path.substr(start);
    return leadingNumber(text);
}

OpenRegistryKey InstallationRegistry::openInstallKey(Hive hive, const std::wstring& keyText) const {
    OpenRegistryKey key = openKey(hive, keyText);
    if (!key) return nullptr;
    const std::wstring binName = readText(key, L"BinName", kValidationBuffer).value_or(L"");
    FILE* executable = platform::openFile(binName, "r");
    if (executable == nullptr) return nullptr;
    std::fclose(executable);
    const std::wstring resources =
        readText(key, L"ResourceFolder", kValidationBuffer).value_or(L"");
    const auto status = platform::fileStatus(resources);
    if (!status || !status->directory) return nullptr;
    return key;
}

std::optional<Installation> InstallationRegistry::keyFromActivePath(Hive hive) const {
    const OpenRegistryKey base = openKey(hive, baseKey());
    if (!base) return std::nullopt;
    const auto path = readText(base, L"QuorellActivePath", kValidationBuffer);
    if (!path) return std::nullopt;
    const int32_t version = versionFromPath(*path);
    OpenRegistryKey key = openInstallKey(hive, installKeyText(version));
    if (!key) return std::nullopt;
    return Installation{std::move(key), version};
}

std::optional<Installation> InstallationRegistry::keyFromVersionValue(Hive hive) const {
    const OpenRegistryKey base = openKey(hive, baseKey());
    if (!base) return std::nullopt;
    const auto name = readText(base, L"QuorellVersion", kValidationBuffer);
    if (!name) return std::nullopt;
    OpenRegistryKey key = openInstallKey(hive, baseKey() + *name);
    if (!key) return std::nullopt;
    const size_t space = name->find(L' ');
    const int32_t version =
        leadingNumber(space == std::wstring::npos ? std::wstring_view(*name)
                                                  : std::wstring_view(*name).substr(space + 1));
    if (version < 1) return std::nullopt;
    return Installation{std::move(key), version};
}

std::optional<Installation> InstallationRegistry::keyFromVersionScan(Hive hive, int32_t minVersion,
                                                                     int32_t maxVersion) const {
    const OpenRegistryKey base = openKey(hive, baseKey());
    if (!base || maxVersion < minVersion) return std::nullopt;
    for (int64_t v = maxVersion; v >= minVersion; --v) {
        const int32_t version = static_cast<int32_t>(v);
        if (OpenRegistryKey key = openInstallKey(hive, installKeyText(version)))
            return Installation{std::move(key), version};
    }
    return std::nullopt;
}

std::optional<Installation> InstallationRegistry::findInstallKey(int32_t minVersion,
                                                                 int32_t maxVersion) const {
    auto inRange = [&](const std::optional<Installation>& found) {
        return found && found->version >= minVersion && found->version <= maxVersion;
    };
    std::optional<Installation> best;
    int32_t bestVersion = 0;
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        // All three searches run; the ones not chosen close their keys.
        std::optional<Installation> active = keyFromActivePath(hive);
        std::optional<Installation> named = keyFromVersionValue(hive);
        std::optional<Installation> scanned = keyFromVersionScan(hive, minVersion, maxVersion);
        std::optional<Installation> candidate;
        if (inRange(active)) {
            candidate = std::move(active);
        } else if (inRange(named)) {
            candidate = std::move(named);
        } else if (scanned) {
            candidate = std::move(scanned);
        }
        // A later hive wins only with a higher version.
        if (candidate && candidate->version > bestVersion) {
            bestVersion = candidate->version;
            best = std::move(candidate);
        }
    }
    return best;
}

std::wstring InstallationRegistry::readInstallText(int32_t minVersion, int32_t maxVersion,
                                                   const wchar_t* valueName,
                                                   int32_t* version) const {
    std::optional<Installation> found = findInstallKey(minVersion, maxVersion);
    if (!found) return {};
    if (version != nullptr) *version = found->version;
    return readText(found->key, valueName, kValueBuffer).value_or(L"");
}

std::wstring InstallationRegistry::readBinFolder(int32_t minVersion, int32_t maxVersion,
                                                 int32_t& version) const {
    return readInstallText(minVersion, maxVersion, L"BinFolder", &version);
}

std::wstring InstallationRegistry::readBinName(int32_t minVersion, int32_t maxVersion) const {
    return readInstallText(minVersion, maxVersion, L"BinName", nullptr);
}

std::wstring InstallationRegistry::readResourceFolder(int32_t minVersion,
                                                      int32_t maxVersion) const {
    return readInstallText(minVersion, maxVersion, L"ResourceFolder", nullptr);
}

int32_t InstallationRegistry::readPortRange(int32_t minVersion, int32_t maxVersion,
                                            int32_t& minPort, int32_t& maxPort) const {
    const std::optional<Installation> found = findInstallKey(minVersion, maxVersion);
    if (!found) return kNoInstallation;
    const OpenRegistryKey& key = found->key;
    // A 4-byte read takes the bytes whatever the value's type; only a text
    // too long for 4 bytes falls through to the text reads.
    if (readFourBytes(key, L"LiveLinkPort", minPort)) {
        return readFourBytes(key, L"LiveLinkMaxPort", maxPort) ? kPortsRead : kMaxPortMissing;
    }
    const auto low = readText(key, L"LiveLinkPort", kPortTextBuffer);
    if (!low) return kMinPortMissing;
    minPort = leadingNumber(*low);
    const auto high = readText(key, L"LiveLinkMaxPort", kPortTextBuffer);
    if (!high) return kMaxPortMissing;
    maxPort = leadingNumber(*high);
    return kPortsRead;
}
