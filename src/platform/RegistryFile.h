// One registry hive kept as a text file in the Windows ".reg" export format.
// The add-in reads hives through regOpenKey/regQueryValue (Platform.h);
// installers and tests use this class to write them.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\SOFTWARE\Vantor\Quorell 12]
//   "BinName"="/opt/quorell/bin/quorell"
//   "LiveLinkPort"=dword:00000fa0
//   "Other"=hex(2):41,00,00,00
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace platform {

// Where a hive's file lives: $QUORELL_REGISTRY_DIR/<HIVE NAME>.reg when that
// variable is set; otherwise HKEY_CURRENT_USER in
// ${XDG_CONFIG_HOME:-$HOME/.config}/quorell/registry/ and HKEY_LOCAL_MACHINE
// in /etc/quorell/registry/.
std::string hiveFilePath(Hive hive);

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* hiveName(Hive hive);

struct RegistryValue {
    Dword type = kRegNone;
    std::vector<uint8_t> data;  // as the registry stores it
};

class RegistryFile {
  public:
    explicit RegistryFile(Hive hive) : hive_(hive) {}

    Hive hive() const { return hive_; }

    // Replaces the contents with the file's. A missing or malformed file
    // leaves the hive empty and returns false; error then names the file,
    // the line and the cause.
    bool load(const std::string& path, std::string* error = nullptr);
    // The same from the file's bytes (UTF-8, or UTF-16LE with a byte order
    // mark as regedit writes); sourceName appears in the error.
    bool parse(std::string_view text, const std::string& sourceName, std::string* error = nullptr);

    // Writes the hive (keys sorted, UTF-8) through a temporary file renamed
    // into place, creating missing folders.
    bool save(const std::string& path, std::string* error = nullptr) const;
    std::string text() const;

    // Keys are paths below the hive ("SOFTWARE\Vantor\Quorell 12"); keys and
    // value names compare case-insensitively. Setting a value creates the key
    // and its parents.
    void createKey(std::wstring_view key);
    void setString(std::wstring_view key, std::wstring_view name, std::wstring_view value);
    void setString(std::string_view key, std::string_view name, std::string_view value);
    void setDword(std::wstring_view key, std::wstring_view name, uint32_t value);
    void setDword(std::string_view key, std::string_view name, uint32_t value);
    void setValue(std::wstring_view key, std::wstring_view name, RegistryValue value);
    // Removes the key with its subkeys.
    void removeKey(std::wstring_view key);
    void removeValue(std::wstring_view key, std::wstring_view name);

    bool hasKey(std::wstring_view key) const;
    const RegistryValue* value(std::wstring_view key, std::wstring_view name) const;

  private:
    struct Value {
        std::wstring name;  // as written
        RegistryValue value;
    };
    struct Key {
        std::wstring path;                     // as written
        std::map<std::wstring, Value> values;  // by folded name
    };

    Key& keyFor(std::wstring_view path);

    Hive hive_;
    std::map<std::wstring, Key> keys_;  // by folded path
};

}  // namespace platform
