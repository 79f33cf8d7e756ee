// The registry through the Windows registry functions, on the real hives.
#include <windows.h>

#include <string>

#include "platform/Platform.h"

namespace platform {

struct RegistryKey {
    HKEY handle;
};

namespace {

HKEY root(Hive hive) {
    return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

long openBelow(HKEY parent, std::wstring_view subKey, RegKey* key) {
    if (key == nullptr) return kInvalidParameter;
    *key = nullptr;
    HKEY handle = nullptr;
    const long result = RegOpenKeyExW(parent, std::wstring(subKey).c_str(), 0, KEY_READ, &handle);
    if (result == ERROR_SUCCESS) *key = new RegistryKey{handle};
    return result;
}

}  // namespace

long regOpenKey(Hive hive, std::wstring_view subKey, RegKey* key) {
    return openBelow(root(hive), subKey, key);
}

long regOpenKey(RegKey parent, std::wstring_view subKey, RegKey* key) {
    if (parent == nullptr) return kInvalidHandle;
    return openBelow(parent->handle, subKey, key);
}

long regQueryValue(RegKey key, std::wstring_view name, Dword* type, void* data, Dword* size) {
    if (key == nullptr) return kInvalidHandle;
    if (data != nullptr && size == nullptr) return kInvalidParameter;
    DWORD valueType = 0;
    DWORD bytes = size != nullptr ? *size : 0;
    const long result =
        RegQueryValueExW(key->handle, std::wstring(name).c_str(), nullptr, &valueType,
                         static_cast<BYTE*>(data), size != nullptr ? &bytes : nullptr);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (type != nullptr) *type = valueType;
        if (size != nullptr) *size = bytes;
    }
    return result;
}

long regCloseKey(RegKey key) {
    if (key == nullptr) return kInvalidHandle;
    const long result = RegCloseKey(key->handle);
    delete key;
    return result;
}

long regSetValue(Hive hive, std::wstring_view key, std::wstring_view name, Dword type,
                 const void* data, Dword size) {
    HKEY handle = nullptr;
    long result = RegCreateKeyExW(root(hive), std::wstring(key).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &handle, nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExW(handle, std::wstring(name).c_str(), 0, type,
                            static_cast<const BYTE*>(data), size);
    RegCloseKey(handle);
    return result;
}

long regDeleteTree(Hive hive, std::wstring_view key) {
    return RegDeleteTreeW(root(hive), std::wstring(key).c_str());
}

}  // namespace platform
