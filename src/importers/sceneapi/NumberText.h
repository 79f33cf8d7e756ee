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

// Writes "%g" of a value whose six significant digits (in [100000, 999999])
// and decimal exponent are known.
inline char* sixDigitText(char* out, bool negative, uint32_t digits, int exponent) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    if (negative) *out++ = '-';
    char d[6];
    std::memcpy(d, kPairs + 2 * (digits / 10000), 2);
    std::memcpy(d + 2, kPairs + 2 * (digits / 100 % 100), 2);
    std::memcpy(d + 4, kPairs + 2 * (digits % 100), 2);
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
        std::memcpy(out, kPairs + 2 * (e % 100), 2);
        return out + 2;
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

}  // namespace detail

// "%g"
inline char* general(char* out, double value) {
    uint32_t digits;
    int exponent;
    const double magnitude = value < 0 ? -value : value;
    if (!(magnitude > 0 && magnitude <= 1.7e308) || !detail::sixDigits(magnitude, digits, exponent))
        return detail::generalSlow(out, value);
    return detail::sixDigitText(out, value < 0, digits, exponent);
}

namespace detail {

inline constexpr uint64_t kPowersOfFive[13] = {1,       5,        25,        125,       625,
                                               3125,    15625,    78125,     390625,    1953125,
                                               9765625, 48828125, 244140625};

// The six significant digits of a normal float's magnitude between about 1e-7
// and 1e6, by integer arithmetic alone: the float is m * 2^q with m below 2^24,
// so m * 10^k = (m * 5^k) * 2^k is an exact integer below 2^52 for k <= 12 and
// the digits and the remainder fall out of one shift. Ties round to even, as
// printf does. False outside that range.
inline bool sixDigitsOfFloat(uint32_t bits, uint32_t& digits, int& exponent) {
    const int field = static_cast<int>((bits >> 23) & 0xFF);
    if (field == 0 || field == 0xFF) return false;
    const uint64_t m = (bits & 0x7FFFFF) | 0x800000;
    const int q = field - 150;
    // The magnitude lies in [2^(field-127), 2^(field-126)); 1233/4096 ~ log10(2).
    int e10 = ((field - 127) * 1233) >> 12;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = 5 - e10;
        if (k < 0 || k > 12) return false;
        const uint64_t n = m * kPowersOfFive[k];
        const int shift = -(q + k);
        uint64_t whole, rest = 0, half = 1;
        if (shift <= 0) {
            if (shift < -11) return false;  // keeps the shifted value below 2^63
            whole = n << -shift;
        } else {
            if (shift > 60) return false;
            whole = n >> shift;
            rest = n & ((uint64_t{1} << shift) - 1);
            half = uint64_t{1} << (shift - 1);
        }
        if (whole < 100000) {
            --e10;
            continue;
        }
        if (whole >= 1000000) {
            ++e10;
            continue;
        }
        if (shift > 0 && (rest > half || (rest == half && (whole & 1)))) ++whole;
        if (whole == 1000000) {
            digits = 100000;
            exponent = e10 + 1;
        } else {
            digits = static_cast<uint32_t>(whole);
            exponent = e10;
        }
        return true;
    }
    return false;
}

}  // namespace detail

// "%g" of a float (promoted to double, as printf receives it).
inline char* generalFloat(char* out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    uint32_t digits;
    int exponent;
    if (!detail::sixDigitsOfFloat(bits, digits, exponent)) return general(out, value);
    return detail::sixDigitText(out, (bits >> 31) != 0, digits, exponent);
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
