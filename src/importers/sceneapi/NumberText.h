// Number formatting for scene text. Each routine prints exactly the bytes of
// the named printf conversion in the "C" locale, without going through printf:
// std::to_chars with a precision is specified to match printf's output.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>

namespace orv::numtext {

// Room needed by the routines below ("%16.16f" of the largest double is ~330).
constexpr int kMaxGeneral = 32;
constexpr int kMaxFixed16 = 400;

// "%g"
inline char* general(char* out, double value) {
    return std::to_chars(out, out + kMaxGeneral, value, std::chars_format::general, 6).ptr;
}

// "%16.16f": sixteen decimals, padded on the left to sixteen characters (only
// "nan" and "inf" are ever shorter).
inline char* fixed16(char* out, double value) {
    char* end = std::to_chars(out, out + kMaxFixed16, value, std::chars_format::fixed, 16).ptr;
    const long length = end - out;
    if (length >= 16) return end;
    const long pad = 16 - length;
    std::memmove(out + pad, out, static_cast<size_t>(length));
    std::memset(out, ' ', static_cast<size_t>(pad));
    return out + 16;
}

// "%d"
inline char* integer(char* out, int32_t value) { return std::to_chars(out, out + 12, value).ptr; }

// "%u"
inline char* unsignedInt(char* out, uint32_t value) {
    return std::to_chars(out, out + 12, value).ptr;
}

}  // namespace orv::numtext
