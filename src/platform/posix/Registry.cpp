// Registry reads from the hive files of RegistryFile; a malformed file reads
// as an empty hive and is named once on standard error.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/Platform.h"
#include "platform/RegistryFile.h"
#include "platform/Utf16.h"

namespace platform {

struct RegistryKey {
    std::shared_ptr<const RegistryFile> hive;
    std::wstring path;
};

namespace {

// A hive file is a few kilobytes; anything beyond this is not one.
constexpr off_t kMaxHiveFileBytes = off_t(16) << 20;

// What tells one state of a hive file from another.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity of(const struct stat& st) {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
    bool operator==(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

struct ParsedHive {
    std::string path;
    FileIdentity identity;
    std::shared_ptr<const RegistryFile> contents;
};

// Reads the open file whole; false when it fails or is too large.
bool readAll(FILE* file, off_t size, std::string& text) {
    if (size < 0 || size > kMaxHiveFileBytes) return false;
    text.resize(static_cast<size_t>(size));
    const size_t n = std::fread(text.data(), 1, text.size(), file);
    text.resize(n);
    return std::ferror(file) == 0;
}

void reportOnce(Hive hive, const std::string& path, const std::string& text,
                const std::string& error) {
    static std::mutex reportedMutex;
    static std::set<std::pair<std::string, size_t>> reported;
    std::lock_guard<std::mutex> lock(reportedMutex);
    if (reported.emplace(path, std::hash<std::string>{}(text)).second) {
        std::fprintf(stderr, "registry: %s; the hive %s is read as empty\n", error.c_str(),
                     hiveName(hive));
    }
}

// Hive files may be rewritten at any time (by an installer, by tests), so
// every open checks the file; it is parsed again only when it is another
// file or was changed since (device, inode, size and change times). A
// malformed file is reported once for each content it has had.
std::shared_ptr<const RegistryFile> currentHive(Hive hive) {
    static std::mutex cacheMutex;
    static std::map<Hive, ParsedHive> cache;
    const std::string path = hiveFilePath(hive);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    struct stat st {};
    if (!file || ::fstat(::fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode))
        return std::make_shared<RegistryFile>(hive);  // no file: an empty hive
    const FileIdentity identity = FileIdentity::of(st);
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        auto it = cache.find(hive);
        if (it != cache.end() && it->second.path == path && it->second.identity == identity)
            return it->second.contents;
    }
    auto contents = std::make_shared<RegistryFile>(hive);
    std::string text, error;
    if (!readAll(file.get(), st.st_size, text)) {
        reportOnce(hive, path, std::to_string(st.st_size),
                   path + ": cannot be read or larger than " +
                       std::to_string(kMaxHiveFileBytes >> 20) + " MiB");
    } else if (!contents->parse(text, path, &error)) {
        reportOnce(hive, path, text, error);
    }
    std::lock_guard<std::mutex> lock(cacheMutex);
    cache[hive] = ParsedHive{path, identity, contents};
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

long regSetValue(Hive hive, std::wstring_view key, std::wstring_view name, Dword type,
                 const void* data, Dword size) {
    if (data == nullptr && size != 0) return kInvalidParameter;
    const std::string path = hiveFilePath(hive);
    RegistryFile file(hive);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !file.load(path)) return kInvalidParameter;
    const auto* bytes = static_cast<const uint8_t*>(data);
    file.setValue(key, name, RegistryValue{type, std::vector<uint8_t>(bytes, bytes + size)});
    return file.save(path) ? kSuccess : kAccessDenied;
}

long regDeleteTree(Hive hive, std::wstring_view key) {
    const std::string path = hiveFilePath(hive);
    RegistryFile file(hive);
    if (!file.load(path) || !file.hasKey(key)) return kFileNotFound;
    file.removeKey(key);
    return file.save(path) ? kSuccess : kAccessDenied;
}

}  // namespace platform
