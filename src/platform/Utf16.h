// UTF-16 little-endian bytes, the form in which the Windows registry stores
// texts, to and from wide strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The text's UTF-16 units as little-endian bytes, followed by a terminator.
std::vector<uint8_t> toUtf16Bytes(std::wstring_view text);
// The units up to the first terminator or the end of the bytes (an odd last
// byte is ignored); unpaired surrogates become U+FFFD.
std::wstring fromUtf16Bytes(const uint8_t* bytes, size_t size);

}  // namespace platform
