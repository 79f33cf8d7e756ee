// The fast number routines must print the very bytes of the printf conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "importers/sceneapi/NumberText.h"

namespace nt = orv::numtext;

namespace {

std::string viaPrintf(const char* format, double v) {
    char text[512];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

std::string general(double v) {
    char text[nt::kMaxGeneral];
    return std::string(text, nt::general(text, v));
}

std::string generalFloat(float v) {
    char text[nt::kMaxGeneral];
    return std::string(text, nt::generalFloat(text, v));
}

std::string fixed16(double v) {
    char text[nt::kMaxFixed16];
    return std::string(text, nt::fixed16(text, v));
}

std::vector<double> testValues() {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    using dl = std::numeric_limits<double>;
    using fl = std::numeric_limits<float>;
    std::vector<double> v = {
        // Signed zeros, infinities and NaNs.
        0.0, -0.0, inf, -inf, nan, -nan,
        // Switches between the fixed and the exponent form, and their rounding.
        1e-5, 0.00001, 123456, 1234567, 0.0001, 0.00009999995, 1e15, 1e16, 999999.5, 9999995,
        999999.4999, 1e-4, 9.9999949e-5, 100000, 1000000, 0.000123456789,
        // Ties to even, extremes of both widths, values without an exact binary form.
        0.5, 1.5, 2.5, 1e300, -1e-300, dl::denorm_min(), dl::min(), dl::max(), fl::max(),
        fl::denorm_min(), fl::min(), 3.4028234663852886e38, 0.1, 0.2, 0.3, 1.0 / 3, 2.0 / 3};
    // Rounding boundaries of six significant digits, a few steps either side.
    for (int e = -30; e <= 40; ++e) {
        for (double m : {1.0, 9.999995, 9.9999949, 9.9999951, 1.000005, 1.0000049, 5.0, 0.99999,
                         -1.234565}) {
            double x = m * std::pow(10.0, e);
            for (int step = 0; step < 4; ++step) x = std::nextafter(x, 0.0);
            for (int step = 0; step < 9; ++step, x = std::nextafter(x, 1e308)) v.push_back(x);
        }
    }
    // Exact ties of the seventh digit, as integers and as halves.
    std::mt19937 random(11);
    std::uniform_int_distribution<uint32_t> sixDigit(100000, 999999);
    for (int i = 0; i < 20000; ++i) {
        const double n = sixDigit(random);
        v.insert(v.end(), {n * 10 + 5, n + 0.5, (n + 0.5) / 1024});
    }
    // Random bit patterns, and coordinates and fractions as meshes hold them.
    std::mt19937_64 bits(20221103);
    for (int i = 0; i < 300000; ++i) {
        const uint64_t pattern = bits();
        double d;
        std::memcpy(&d, &pattern, sizeof d);
        float f;
        const auto low = static_cast<uint32_t>(pattern);
        std::memcpy(&f, &low, sizeof f);
        v.insert(v.end(), {d, f});
    }
    std::uniform_real_distribution<float> coordinate(-2000.0f, 2000.0f);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 300000; ++i) {
        v.push_back(coordinate(random) * static_cast<float>(std::pow(10.0, i % 13 - 6)));
        v.push_back(unit(random));
    }
    return v;
}

}  // namespace

// Each value as a double and narrowed to float (the writer prints both).
TEST(NumberText, GeneralAndFixed16MatchPrintf) {
    for (double v : testValues()) {
        ASSERT_EQ(general(v), viaPrintf("%g", v)) << v;
        ASSERT_EQ(generalFloat(static_cast<float>(v)), viaPrintf("%g", static_cast<float>(v)))
            << v;
        ASSERT_EQ(fixed16(v), viaPrintf("%16.16f", v)) << v;
    }
}

// Floats spread evenly over every bit pattern (signs, denormals, infinities and
// NaNs included): millions of values, fewer under the sanitizers.
TEST(NumberText, FloatsAcrossAllBitPatternsMatchPrintf) {
#ifdef __SANITIZE_ADDRESS__
    constexpr uint64_t stride = 4099;
#else
    constexpr uint64_t stride = 509;
#endif
    for (uint64_t pattern = 0; pattern <= 0xFFFFFFFFu; pattern += stride) {
        const auto bits = static_cast<uint32_t>(pattern);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        ASSERT_EQ(generalFloat(f), viaPrintf("%g", f)) << std::hex << bits;
    }
}

TEST(NumberText, IntegersMatchPrintf) {
    std::mt19937 random(3);
    std::vector<uint32_t> values = {0, 1, 9, 10, 0x7fffffff, 0x80000000, 0xffffffff};
    for (int i = 0; i < 100000; ++i) values.push_back(random());
    for (uint32_t u : values) {
        char text[16], expected[16];
        std::snprintf(expected, sizeof expected, "%u", u);
        ASSERT_EQ(std::string(text, nt::unsignedInt(text, u)), expected);
        const auto s = static_cast<int32_t>(u);
        std::snprintf(expected, sizeof expected, "%d", s);
        ASSERT_EQ(std::string(text, nt::integer(text, s)), expected);
    }
}

