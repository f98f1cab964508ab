#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "core/RoundTripNumber.h"

namespace {

// The plain formatting the fast one replaces.
std::string ToCharsG17(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

std::string FastG17(double v) {
    char buf[G17MaxChars];
    return std::string(buf, FormatG17(buf, v));
}

double Next(double v, double toward) {
    return std::nextafter(v, toward);
}

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(RoundTripNumber, TrickyValuesAreWrittenAsToCharsWritesThem) {
    struct Case {
        const char* label;
        double value;
    };
    const Case cases[] = {
        {"0.1", 0.1},
        {"1/3", 1.0 / 3.0},
        {"0.5", 0.5},
        {"thickness", 123.456},
        {"tie to even (down)", 1234567890123456.25},
        {"tie to even (up)", 1234567890123456.75},
        {"exact half digit", 1234567890123456.5},
        {"1e-5", 1e-5},
        {"below 1e-4", 9.9999999999999995e-5},
        {"1e-4", 1e-4},
        {"above 1e-4", Next(1e-4, Inf)},
        {"below 1", Next(1.0, 0.0)},
        {"1", 1.0},
        {"above 1", Next(1.0, Inf)},
        {"below 1e15", Next(1e15, 0.0)},
        {"1e15", 1e15},
        {"2^52 + 0.5", 4503599627370496.5},
        {"2^53", 9007199254740992.0},
        {"below 1e16", Next(1e16, 0.0)},
        {"1e16", 1e16},
        {"above 1e16", Next(1e16, Inf)},
        {"largest below 1e17", Next(1e17, 0.0)},
        {"1e17", 1e17},
        {"above 1e17", Next(1e17, Inf)},
        {"negative", -0.1},
        {"negative thickness", -123.457},
        {"zero", 0.0},
        {"negative zero", -0.0},
        {"smallest subnormal", std::numeric_limits<double>::denorm_min()},
        {"smallest normal", std::numeric_limits<double>::min()},
        {"max double", std::numeric_limits<double>::max()},
        {"infinity", Inf},
        {"negative infinity", -Inf},
        {"NaN", std::numeric_limits<double>::quiet_NaN()},
        {"negative NaN", -std::numeric_limits<double>::quiet_NaN()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FastG17(c.value), ToCharsG17(c.value)) << c.label;
        // The string forms give the same text.
        std::string appended = "x";
        AppendG17(appended, c.value);
        EXPECT_EQ(appended, "x" + ToCharsG17(c.value)) << c.label;
        EXPECT_EQ(FormatG17(c.value), ToCharsG17(c.value)) << c.label;
        // And the text printf writes in the C locale (the test's locale).
        char printed[40];
        std::snprintf(printed, sizeof printed, "%.17g", c.value);
        EXPECT_EQ(FastG17(c.value), printed) << c.label;
    }
    // Ties round to the even digit, as printf rounds them.
    EXPECT_EQ(FastG17(1234567890123456.25), "1234567890123456.2");
    EXPECT_EQ(FastG17(1234567890123456.75), "1234567890123456.8");
    // Just below every power of ten, and the powers themselves.
    for (int k = -6; k <= 18; ++k) {
        const double p = std::pow(10.0, k);
        for (const double v : {Next(p, 0.0), p, Next(p, Inf)})
            EXPECT_EQ(FastG17(v), ToCharsG17(v)) << "10^" << k << " neighbour " << ToCharsG17(v);
    }
}

TEST(RoundTripNumber, RandomDoublesAreWrittenAsToCharsWritesThem) {
    std::mt19937_64 random(20240607);
    std::uniform_real_distribution<double> exponent(-3.0, 5.0);
    std::uniform_int_distribution<std::uint64_t> integer(1000000000000000ULL, 4503599627370495ULL);
    std::uniform_int_distribution<int> fractionBits(1, 8);
    int mismatches = 0;
    for (int i = 0; i < 300000 && mismatches < 10; ++i) {
        double v = 0.0;
        switch (i % 3) {
            case 0:  // any bit pattern
                v = std::bit_cast<double>(random());
                break;
            case 1:  // the thickness range
                v = std::pow(10.0, exponent(random));
                break;
            default:  // 15 or 16 integer digits and a short binary fraction: many ties
                v = static_cast<double>(integer(random)) +
                    std::ldexp(static_cast<double>(random() & 255), -fractionBits(random));
                break;
        }
        const std::string fast = FastG17(v);
        const std::string plain = ToCharsG17(v);
        if (fast != plain) {
            ++mismatches;
            ADD_FAILURE() << "bits " << std::bit_cast<std::uint64_t>(v) << ": " << fast << " != " << plain;
        }
    }
}

}  // namespace
