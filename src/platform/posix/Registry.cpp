// Registry reads from the hive files of RegistryFile; a malformed file reads
// as an empty hive and is named once on standard error.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/Platform.h"
#include "platform/RegistryFile.h"
#include "platform/Utf16.h"

namespace platform {

struct RegistryKey {
    std::shared_ptr<const RegistryFile> hive;
    std::wstring path;
};

namespace {

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

// Hive files are small and may be rewritten at any time (by an installer, by
// tests), so every open reads the file afresh. A malformed file is reported
// once for each content it has had.
std::shared_ptr<const RegistryFile> currentHive(Hive hive) {
    static std::mutex reportedMutex;
    static std::set<std::pair<std::string, size_t>> reported;
    const std::string path = hiveFilePath(hive);
    auto contents = std::make_shared<RegistryFile>(hive);
    std::string error;
    std::string text;
    if (!readFile(path, text)) return contents;  // no file: an empty hive
    if (!contents->parse(text, path, &error)) {
        std::lock_guard<std::mutex> lock(reportedMutex);
        if (reported.emplace(path, std::hash<std::string>{}(text)).second) {
            std::fprintf(stderr, "registry: %s; the hive %s is read as empty\n", error.c_str(),
                         hiveName(hive));
        }
    }
    return contents;
}

long openBelow(std::shared_ptr<const RegistryFile> hive, const std::wstring& path, RegKey* key) {
    if (key == nullptr) return kInvalidParameter;
    *key = nullptr;
    if (!hive->hasKey(path)) return kFileNotFound;
    *key = new RegistryKey{std::move(hive), path};
    return kSuccess;
}

}  // namespace

long regOpenKey(Hive hive, std::wstring_view subKey, RegKey* key) {
    return openBelow(currentHive(hive), std::wstring(subKey), key);
}

long regOpenKey(RegKey parent, std::wstring_view subKey, RegKey* key) {
    if (parent == nullptr) return kInvalidHandle;
    return openBelow(parent->hive, parent->path + L"\\" + std::wstring(subKey), key);
}

long regQueryValue(RegKey key, std::wstring_view name, Dword* type, void* data, Dword* size) {
    if (key == nullptr) return kInvalidHandle;
    if (data != nullptr && size == nullptr) return kInvalidParameter;
    const RegistryValue* value = key->hive->value(key->path, name);
    if (value == nullptr) return kFileNotFound;
    if (type != nullptr) *type = value->type;
    const Dword needed = static_cast<Dword>(value->data.size());
    if (data == nullptr) {
        if (size != nullptr) *size = needed;
        return kSuccess;
    }
    if (*size < needed) {
        *size = needed;
        return kMoreData;
    }
    if (needed > 0) std::memcpy(data, value->data.data(), needed);
    *size = needed;
    return kSuccess;
}

long regCloseKey(RegKey key) {
    if (key == nullptr) return kInvalidHandle;
    delete key;
    return kSuccess;
}

std::optional<std::wstring> regQueryText(RegKey key, std::wstring_view name, Dword bufferBytes) {
    std::vector<uint8_t> buffer(bufferBytes + 1);  // never null, even for 0 bytes
    Dword size = bufferBytes;
    if (regQueryValue(key, name, nullptr, buffer.data(), &size) != kSuccess) return std::nullopt;
    return fromUtf16Bytes(buffer.data(), size);
}

}  // namespace platform
