#include "platform/RegistryFile.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/Utf16.h"

namespace platform {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";

wchar_t fold(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

std::wstring folded(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = fold(c);
    return out;
}

// "a\\b\" and "\a\b" name the same key as "a\b".
std::wstring normalisedKey(std::wstring_view path) {
    std::wstring out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        if (end > start) {
            if (!out.empty()) out.push_back(L'\\');
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (isBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(s[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

// Reads a quoted text starting at s[pos] == '"'; regedit escapes only
// backslash and double quote, a lone backslash before anything else is kept.
bool readQuoted(std::string_view s, size_t& pos, std::string& out) {
    ++pos;
    while (pos < s.size()) {
        const char c = s[pos++];
        if (c == '"') return true;
        if (c == '\\' && pos < s.size() && (s[pos] == '\\' || s[pos] == '"')) {
            out.push_back(s[pos++]);
        } else {
            out.push_back(c);
        }
    }
    return false;
}

std::string escaped(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// The file's bytes as UTF-8: UTF-16LE files (as regedit writes them) start
// with a byte order mark; a UTF-8 byte order mark is dropped.
std::string decodedFileText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data()) + 2;
        const std::wstring wide = fromUtf16Bytes(data, bytes.size() - 2);
        return wideToUtf8(wide);
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
}

class Parser {
  public:
    Parser(RegistryFile& hive, std::string_view text) : hive_(hive), text_(text) {}

    // Empty on success, else "line N: cause".
    std::string run() {
        std::vector<std::string_view> lines;
        for (size_t pos = 0; pos <= text_.size();) {
            size_t end = text_.find('\n', pos);
            if (end == std::string_view::npos) end = text_.size();
            lines.push_back(text_.substr(pos, end - pos));
            pos = end + 1;
        }
        bool headerSeen = false;
        size_t next = 0;
        while (next < lines.size()) {
            const size_t firstLine = next + 1;
            std::string logical(trimmed(lines[next++]));
            // A trailing backslash continues hex data on the next line. Whether
            // the line holds hex data is decided once, so that a value continued
            // over many lines is read in linear time.
            const bool hexData =
                !logical.empty() && logical.back() == '\\' && isHexValueLine(logical);
            while (hexData && !logical.empty() && logical.back() == '\\') {
                logical.pop_back();
                if (next == lines.size()) break;
                logical.append(trimmed(lines[next++]));
            }
            if (!headerSeen) {
                if (logical.empty()) continue;
                if (logical != kHeader && logical != kOldHeader)
                    return failure(firstLine,
                                   "missing the header \"" + std::string(kHeader) + "\"");
                headerSeen = true;
                continue;
            }
            if (logical.empty() || logical[0] == ';') continue;
            std::string error = logical[0] == '[' ? keyLine(logical) : valueLine(logical);
            if (!error.empty()) return failure(firstLine, error);
        }
        if (!headerSeen) return failure(1, "missing the header \"" + std::string(kHeader) + "\"");
        return {};
    }

  private:
    static std::string failure(size_t line, const std::string& cause) {
        return "line " + std::to_string(line) + ": " + cause;
    }

    static bool isHexValueLine(const std::string& line) {
        const size_t eq = line.find("\"=hex");
        return eq != std::string::npos || line.rfind("@=hex", 0) == 0;
    }

    // The limits of the Windows registry: key names of at most 255
    // characters, at most 512 levels.
    static std::string checkKeyPath(std::wstring_view path) {
        size_t levels = 0, length = 0;
        for (wchar_t c : path) {
            if (c == L'\\') {
                length = 0;
                continue;
            }
            if (length++ == 0) ++levels;
            if (length > 255) return "a key name longer than 255 characters";
        }
        if (levels > 513) return "a key nested deeper than 512 levels";
        return {};
    }

    std::string keyLine(std::string_view line) {
        if (line.back() != ']') return "a key line must end with ']'";
        line = line.substr(1, line.size() - 2);
        bool remove = false;
        if (!line.empty() && line[0] == '-') {
            remove = true;
            line.remove_prefix(1);
        }
        const std::wstring full = utf8ToWide(line);
        if (std::string error = checkKeyPath(full); !error.empty()) return error;
        const size_t slash = full.find(L'\\');
        const std::wstring root = folded(full.substr(0, slash));
        const std::wstring expected = folded(utf8ToWide(hiveName(hive_.hive())));
        const std::wstring shortName =
            hive_.hive() == Hive::CurrentUser ? std::wstring(L"hkcu") : std::wstring(L"hklm");
        if (root != expected && root != shortName)
            return "key \"" + std::string(line) + "\" does not belong to " + hiveName(hive_.hive());
        key_ = slash == std::wstring::npos ? std::wstring() : normalisedKey(full.substr(slash + 1));
        if (remove) {
            hive_.removeKey(key_);
            keyOpen_ = false;
        } else {
            hive_.createKey(key_);
            keyOpen_ = true;
        }
        return {};
    }

    std::string valueLine(std::string_view line) {
        if (!keyOpen_) return "a value outside of any key";
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] == '"') {
            if (!readQuoted(line, pos, name)) return "unterminated value name";
        } else {
            return "expected a key in [brackets] or a \"Name\"=value line";
        }
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') return "expected '=' after the value name";
        ++pos;
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        const std::string_view data = line.substr(pos);
        const std::wstring wideName = utf8ToWide(name);

        if (data == "-") {
            hive_.removeValue(key_, wideName);
            return {};
        }
        if (!data.empty() && data[0] == '"') {
            std::string text;
            size_t p = 0;
            if (!readQuoted(data, p, text)) return "unterminated text value";
            if (!trimmed(data.substr(p)).empty()) return "unexpected characters after a text value";
            hive_.setString(key_, wideName, utf8ToWide(text));
            return {};
        }
        if (startsWithNoCase(data, "dword:")) {
            const std::string_view digits = data.substr(6);
            if (digits.empty() || digits.size() > 8)
                return "dword: needs 1 to 8 hexadecimal digits";
            uint32_t value = 0;
            for (char c : digits) {
                const int d = hexDigit(c);
                if (d < 0) return "dword: needs 1 to 8 hexadecimal digits";
                value = (value << 4) | static_cast<uint32_t>(d);
            }
            hive_.setDword(key_, wideName, value);
            return {};
        }
        if (startsWithNoCase(data, "hex")) return hexValue(data.substr(3), wideName);
        return "unknown value form \"" + std::string(data) + "\"";
    }

    // After "hex": either ":" (REG_BINARY) or "(type):", then bytes "0a,1b,...".
    std::string hexValue(std::string_view rest, const std::wstring& name) {
        RegistryValue value;
        value.type = kRegBinary;
        if (!rest.empty() && rest[0] == '(') {
            const size_t close = rest.find(')');
            if (close == std::string_view::npos || close == 1 || close > 9)
                return "hex(type): needs a hexadecimal type";
            uint32_t type = 0;
            for (char c : rest.substr(1, close - 1)) {
                const int d = hexDigit(c);
                if (d < 0) return "hex(type): needs a hexadecimal type";
                type = (type << 4) | static_cast<uint32_t>(d);
            }
            value.type = type;
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest[0] != ':') return "expected ':' after hex";
        rest.remove_prefix(1);
        std::string compact;
        for (char c : rest)
            if (!isBlank(c)) compact.push_back(c);
        size_t pos = 0;
        while (pos < compact.size()) {
            if (pos + 2 > compact.size()) return "hex bytes are written as two digits each";
            const int high = hexDigit(compact[pos]);
            const int low = hexDigit(compact[pos + 1]);
            if (high < 0 || low < 0) return "hex bytes are written as two digits each";
            value.data.push_back(static_cast<uint8_t>(high * 16 + low));
            pos += 2;
            if (pos < compact.size()) {
                if (compact[pos] != ',' || pos + 1 == compact.size())
                    return "hex bytes are separated by commas";
                ++pos;
            }
        }
        hive_.setValue(key_, name, std::move(value));
        return {};
    }

    RegistryFile& hive_;
    std::string_view text_;
    std::wstring key_;
    bool keyOpen_ = false;
};

// A REG_SZ value that can be written back as "text".
bool isPlainText(const RegistryValue& v) {
    if (v.type != kRegSz || v.data.size() < 2 || v.data.size() % 2 != 0) return false;
    const size_t units = v.data.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        const bool zero = v.data[2 * i] == 0 && v.data[2 * i + 1] == 0;
        if (zero != (i + 1 == units)) return false;
    }
    return true;
}

std::string hexBytes(const std::vector<uint8_t>& data) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) out.push_back(',');
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 15]);
    }
    return out;
}

}  // namespace

const char* hiveName(Hive hive) {
    return hive == Hive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::string hiveFilePath(Hive hive) {
    const std::string file = std::string(hiveName(hive)) + ".reg";
    const char* dir = std::getenv("QUORELL_REGISTRY_DIR");
    if (dir != nullptr && *dir != '\0') return std::string(dir) + "/" + file;
    if (hive == Hive::LocalMachine) return "/etc/quorell/registry/" + file;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && *config != '\0') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/quorell/registry/" + file;
}

bool RegistryFile::load(const std::string& path, std::string* error) {
    keys_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = path + ": cannot be opened";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return parse(bytes.str(), path, error);
}

bool RegistryFile::parse(std::string_view text, const std::string& sourceName, std::string* error) {
    keys_.clear();
    const std::string decoded = decodedFileText(std::string(text));
    const std::string failure = Parser(*this, decoded).run();
    if (failure.empty()) return true;
    keys_.clear();
    if (error) *error = sourceName + ": " + failure;
    return false;
}

std::string RegistryFile::text() const {
    std::string out = std::string(kHeader) + "\r\n\r\n";
    for (const auto& [folded, key] : keys_) {
        out += "[" + std::string(hiveName(hive_));
        if (!key.path.empty()) out += "\\" + wideToUtf8(key.path);
        out += "]\r\n";
        for (const auto& [foldedName, v] : key.values) {
            out += v.name.empty() ? std::string("@") : "\"" + escaped(wideToUtf8(v.name)) + "\"";
            out += "=";
            const RegistryValue& value = v.value;
            if (isPlainText(value)) {
                out += "\"" +
                       escaped(wideToUtf8(fromUtf16Bytes(value.data.data(), value.data.size()))) +
                       "\"";
            } else if (value.type == kRegDword && value.data.size() == 4) {
                char buffer[16];
                const uint32_t n = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                   (static_cast<uint32_t>(value.data[3]) << 24);
                std::snprintf(buffer, sizeof buffer, "dword:%08x", n);
                out += buffer;
            } else if (value.type == kRegBinary) {
                out += "hex:" + hexBytes(value.data);
            } else {
                char buffer[24];
                std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
                out += buffer + hexBytes(value.data);
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

bool RegistryFile::save(const std::string& path, std::string* error) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    if (ec) {
        if (error) *error = path + ": cannot create its folder: " + ec.message();
        return false;
    }
    const std::string temporary = path + ".tmp." + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text();
        out.flush();
        if (!out) {
            if (error) *error = temporary + ": cannot be written";
            fs::remove(temporary, ec);
            return false;
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        if (error) *error = path + ": cannot be replaced: " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

RegistryFile::Key& RegistryFile::keyFor(std::wstring_view path) {
    const std::wstring normal = normalisedKey(path);
    const std::wstring foldedPath = folded(normal);
    if (auto it = keys_.find(foldedPath); it != keys_.end()) return it->second;
    // Parents exist implicitly, as in the real registry. Every existing key
    // has all its parents, so the walk up stops at the first one found.
    keys_.try_emplace(L"", Key{L"", {}});
    for (size_t slash = normal.rfind(L'\\'); slash != std::wstring::npos && slash > 0;
         slash = normal.rfind(L'\\', slash - 1)) {
        if (!keys_.try_emplace(foldedPath.substr(0, slash), Key{normal.substr(0, slash), {}})
                 .second)
            break;
    }
    return keys_.try_emplace(foldedPath, Key{normal, {}}).first->second;
}

void RegistryFile::createKey(std::wstring_view key) {
    keyFor(key);
}

void RegistryFile::setValue(std::wstring_view key, std::wstring_view name, RegistryValue value) {
    Key& k = keyFor(key);
    k.values[folded(name)] = Value{std::wstring(name), std::move(value)};
}

void RegistryFile::setString(std::wstring_view key, std::wstring_view name,
                             std::wstring_view value) {
    setValue(key, name, RegistryValue{kRegSz, toUtf16Bytes(value)});
}

void RegistryFile::setString(std::string_view key, std::string_view name, std::string_view value) {
    setString(utf8ToWide(key), utf8ToWide(name), utf8ToWide(value));
}

void RegistryFile::setDword(std::wstring_view key, std::wstring_view name, uint32_t value) {
    RegistryValue v{kRegDword,
                    {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                     static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)}};
    setValue(key, name, std::move(v));
}

void RegistryFile::setDword(std::string_view key, std::string_view name, uint32_t value) {
    setDword(utf8ToWide(key), utf8ToWide(name), value);
}

void RegistryFile::removeKey(std::wstring_view key) {
    const std::wstring f = folded(normalisedKey(key));
    if (f.empty()) {
        keys_.clear();
        return;
    }
    keys_.erase(f);
    // The subkeys of f sort between "f\" and "f]" (']' follows '\').
    keys_.erase(keys_.lower_bound(f + L'\\'), keys_.lower_bound(f + L']'));
}

void RegistryFile::removeValue(std::wstring_view key, std::wstring_view name) {
    auto it = keys_.find(folded(normalisedKey(key)));
    if (it != keys_.end()) it->second.values.erase(folded(name));
}

bool RegistryFile::hasKey(std::wstring_view key) const {
    return keys_.count(folded(normalisedKey(key))) > 0 || normalisedKey(key).empty();
}

const RegistryValue* RegistryFile::value(std::wstring_view key, std::wstring_view name) const {
    auto it = keys_.find(folded(normalisedKey(key)));
    if (it == keys_.end()) return nullptr;
    auto v = it->second.values.find(folded(name));
    return v == it->second.values.end() ? nullptr : &v->second.value;
}

}  // namespace platform
