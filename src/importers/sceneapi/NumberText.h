// Number formatting for scene text. Each routine prints exactly the bytes of
// the named printf conversion in the "C" locale, without going through printf:
// std::to_chars with a precision is specified to match printf's output.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace orv::numtext {

// Room needed by the routines below ("%16.16f" of the largest double is ~330).
constexpr int kMaxGeneral = 32;
constexpr int kMaxFixed16 = 400;

namespace detail {

// 10^0 .. 10^22: the powers of ten a double holds exactly.
inline constexpr double kExactPowers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline char* generalSlow(char* out, double value) {
    return std::to_chars(out, out + kMaxGeneral, value, std::chars_format::general, 6).ptr;
}

// The six significant digits of |value| as an integer in [100000, 999999] and
// the decimal exponent of the first one. False when the rounding cannot be
// decided cheaply (the caller then takes the exact slow path). Scaling by an
// exact power of ten is one correctly rounded operation, so the scaled value is
// within 2^-53 relative (about 1.2e-10 absolute) of the true one: rounding is
// certain unless the fraction lies within 1e-9 of one half.
inline bool sixDigits(double magnitude, uint32_t& digits, int& exponent) {
    // magnitude lies in [2^(e2-1), 2^e2); denormals (field 0) end up out of range.
    uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int e2 = static_cast<int>((bits >> 52) & 0x7FF) - 1022;
    int e10 = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398120));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = 5 - e10;
        if (k > 22 || k < -22) return false;
        const double scaled = k >= 0 ? magnitude * kExactPowers[k] : magnitude / kExactPowers[-k];
        if (scaled < 99999.0) {
            --e10;
            continue;
        }
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (fraction > 0.5 - 1e-9 && fraction < 0.5 + 1e-9) return false;
        auto rounded = static_cast<uint32_t>(whole) + (fraction > 0.5 ? 1u : 0u);
        if (rounded < 100000) {
            --e10;
            continue;
        }
        if (rounded >= 1000000) {
            if (rounded == 1000000 && whole < 1000000.0) {  // 999999.5.. rounds up to 1e6
                digits = 100000;
                exponent = e10 + 1;
                return true;
            }
            ++e10;
            continue;
        }
        digits = rounded;
        exponent = e10;
        return true;
    }
    return false;
}

}  // namespace detail

// "%g"
inline char* general(char* out, double value) {
    uint32_t digits;
    int exponent;
    const double magnitude = value < 0 ? -value : value;
    if (!(magnitude > 0 && magnitude <= 1.7e308) || !detail::sixDigits(magnitude, digits, exponent))
        return detail::generalSlow(out, value);
    if (value < 0) *out++ = '-';
    char d[6];
    for (int i = 5; i >= 0; --i) {
        d[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int last = 5;  // last significant digit after dropping trailing zeros
    while (last > 0 && d[last] == '0') --last;
    if (exponent < -4 || exponent >= 6) {
        *out++ = d[0];
        if (last > 0) {
            *out++ = '.';
            for (int i = 1; i <= last; ++i) *out++ = d[i];
        }
        *out++ = 'e';
        int e = exponent;
        if (e < 0) {
            *out++ = '-';
            e = -e;
        } else {
            *out++ = '+';
        }
        if (e >= 100) *out++ = static_cast<char>('0' + e / 100);
        *out++ = static_cast<char>('0' + e / 10 % 10);
        *out++ = static_cast<char>('0' + e % 10);
        return out;
    }
    if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i) *out++ = d[i];
        if (last > exponent) {
            *out++ = '.';
            for (int i = exponent + 1; i <= last; ++i) *out++ = d[i];
        }
        return out;
    }
    *out++ = '0';
    *out++ = '.';
    for (int i = exponent + 1; i < 0; ++i) *out++ = '0';
    for (int i = 0; i <= last; ++i) *out++ = d[i];
    return out;
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
inline char* integer(char* out, int32_t value) {
    return std::to_chars(out, out + 12, value).ptr;
}

// "%u"
inline char* unsignedInt(char* out, uint32_t value) {
    return std::to_chars(out, out + 12, value).ptr;
}

}  // namespace orv::numtext
