#include <cstdio>

#include "platform/Platform.h"
#include "platform/Utf16.h"

namespace platform {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

}  // namespace

std::wstring decimalText(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

std::vector<uint8_t> toUtf16Bytes(std::wstring_view text) {
    std::vector<uint8_t> out;
    out.reserve(2 * text.size() + 2);
    auto unit = [&out](uint32_t u) {
        out.push_back(static_cast<uint8_t>(u & 0xFF));
        out.push_back(static_cast<uint8_t>(u >> 8));
    };
    for (wchar_t w : text) {
        uint32_t cp = static_cast<uint32_t>(w);
        if (cp > 0x10FFFF) cp = kReplacement;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 | (cp >> 10));
            unit(0xDC00 | (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    unit(0);
    return out;
}

std::wstring fromUtf16Bytes(const uint8_t* bytes, size_t size) {
    std::wstring out;
    const size_t units = size / 2;
    for (size_t i = 0; i < units; ++i) {
        uint32_t u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (u == 0) break;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const uint32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                if constexpr (sizeof(wchar_t) == 2) {  // wide strings are UTF-16 already
                    out.push_back(static_cast<wchar_t>(u));
                    out.push_back(static_cast<wchar_t>(low));
                } else {
                    out.push_back(
                        static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
                }
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) u = kReplacement;
        out.push_back(static_cast<wchar_t>(u));
    }
    return out;
}

std::optional<std::wstring> regQueryText(RegKey key, std::wstring_view name, Dword bufferBytes) {
    std::vector<uint8_t> buffer(bufferBytes + 1);  // never null, even for 0 bytes
    Dword size = bufferBytes;
    if (regQueryValue(key, name, nullptr, buffer.data(), &size) != kSuccess) return std::nullopt;
    return fromUtf16Bytes(buffer.data(), size);
}

}  // namespace platform
