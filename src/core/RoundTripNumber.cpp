#include "core/RoundTripNumber.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t Ten16 = 10000000000000000ULL;
constexpr std::uint64_t Ten17 = 100000000000000000ULL;

// 10^0 .. 10^21: the scale that brings a value of decimal exponent -5 .. 16
// to 17 integer digits. m * 10^21 < 2^53 * 2^70 stays within 128 bits.
constexpr std::array<Uint128, 22> MakePowersOfTen() {
    std::array<Uint128, 22> p{};
    Uint128 v = 1;
    for (Uint128& x : p) {
        x = v;
        v *= 10;
    }
    return p;
}
constexpr std::array<Uint128, 22> PowersOfTen = MakePowersOfTen();

// The biased exponents of [2^-14, 2^57), from 6.1e-5 to 1.4e17: every value
// whose "%.17g" text is in fixed notation (1e-4 .. 1e17) is in this range.
constexpr int FirstBiased = 1023 - 14;
constexpr int LastBiased = 1023 + 56;

// A binade [2^b, 2^(b+1)): Exp10 = floor(log10 2^b), and the least mantissa
// m (value = m * 2^(b - 52)) with value >= 10^(Exp10 + 1), 2^53 or more when
// that power is beyond the binade.
struct Binade {
    int Exp10;
    std::uint64_t NextPowerMantissa;
};

// Worked out in exact integers, none above 2^70.
constexpr std::array<Binade, LastBiased - FirstBiased + 1> MakeBinades() {
    std::array<Binade, LastBiased - FirstBiased + 1> binades{};
    for (int biased = FirstBiased; biased <= LastBiased; ++biased) {
        const int b = biased - 1023;
        const int e = b - 52;
        // 10^k <= 2^b compared as integers on both sides.
        const auto atMost = [b](int k) {
            const Uint128 ten = PowersOfTen[k < 0 ? -k : k];
            const Uint128 two = Uint128{1} << (b < 0 ? -b : b);
            if (k >= 0 && b >= 0) return ten <= two;
            if (k < 0 && b < 0) return two <= ten;  // 2^-b <= 10^-k
            return k < 0;                           // 10^k < 1 <= 2^b, or 2^b < 1 <= 10^k
        };
        int k = -6;  // 10^-6 <= 2^-14
        while (atMost(k + 1))
            ++k;
        const int next = k + 1;  // least m with m * 2^e >= 10^next
        Uint128 threshold = 0;
        if (next >= 0 && e >= 0) {
            const Uint128 d = Uint128{1} << e;
            threshold = (PowersOfTen[next] + d - 1) / d;
        } else if (next >= 0) {
            threshold = PowersOfTen[next] << -e;
        } else {  // 2^-e / 10^-next, rounded up (e < 0 here)
            const Uint128 d = PowersOfTen[-next];
            threshold = ((Uint128{1} << -e) + d - 1) / d;
        }
        const Uint128 cap = Uint128{1} << 54;
        binades[biased - FirstBiased] = {k, static_cast<std::uint64_t>(threshold < cap ? threshold : cap)};
    }
    return binades;
}
constexpr std::array<Binade, LastBiased - FirstBiased + 1> Binades = MakeBinades();

char* ToCharsG17(char* out, double value) {
    return std::to_chars(out, out + G17MaxChars, value, std::chars_format::general, 17).ptr;
}

constexpr std::uint64_t ZeroDigits = 0x3030303030303030ULL;  // "00000000"

// The 8 decimal digits of x < 10^8, leading zeros included, as characters in
// memory order (the first digit in the lowest byte). Each step splits every
// lane into its high and low half (4 + 4 digits, 2 + 2, 1 + 1); the multiply
// and shift is an exact division by 100 (10) for lane values below 10^4
// (10^2), and no lane carries into the next.
inline std::uint64_t EightDigits(std::uint32_t x) {
    const std::uint64_t fours = (x / 10000) | (std::uint64_t{x % 10000} << 32);
    const std::uint64_t highPairs = ((fours * 10486) >> 20) & 0x0000007F0000007FULL;
    const std::uint64_t pairs = ((fours - highPairs * 100) << 16) | highPairs;
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000FULL;
    return (((pairs - tens * 10) << 8) | tens) + ZeroDigits;
}

// Index 0..7 of the last nonzero digit of EightDigits' text (not all zeros).
int LastNonzeroDigit(std::uint64_t eightDigits) {
    return (63 - std::countl_zero(eightDigits - ZeroDigits)) / 8;
}

// 8 characters of a number text around its decimal point: those before byte
// index point from before, the point, those after it from after (the same
// digits one place further on). point < 0: all from after; point >= 8: all
// from before.
std::uint64_t InsertPoint(std::uint64_t before, std::uint64_t after, int point) {
    if (point < 0) return after;
    if (point >= 8) return before;
    const std::uint64_t pointByte = std::uint64_t{0xFF} << (8 * point);
    const std::uint64_t lower = (std::uint64_t{1} << (8 * point)) - 1;
    return (before & lower) | (std::uint64_t{'.'} << (8 * point)) | (after & ~lower & ~pointByte);
}

void Store8(char* out, std::uint64_t characters) {
    std::memcpy(out, &characters, 8);
}

}  // namespace

char* FormatG17(char* out, double value) {
    // The digit blocks below are laid out for little-endian memory.
    if constexpr (std::endian::native != std::endian::little) return ToCharsG17(out, value);
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    // The biased exponent with the sign bit above it: negatives, zero,
    // subnormals, infinities and NaN all fall outside [2^-14, 2^57), which
    // holds every value whose "%.17g" text is in fixed notation (1e-4 .. 1e17).
    const int biased = static_cast<int>(bits >> 52);
    if (biased < FirstBiased || biased > LastBiased) return ToCharsG17(out, value);

    // value = m * 2^e exactly, m < 2^53, -66 <= e <= 4.
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = biased - 1075;

    // The decimal exponent: value >= 10^(Exp10 + 1) exactly when its
    // mantissa reaches the binade's threshold.
    const Binade& binade = Binades[biased - FirstBiased];
    int exp10 = binade.Exp10 + (m >= binade.NextPowerMantissa ? 1 : 0);
    if (exp10 > 16) return ToCharsG17(out, value);  // 1e17 and above: exponent notation
    // scaled = floor(value * 10^(16 - exp10)), 17 digits; rest / 2^shift is
    // the fraction dropped.
    const int shift = e < 0 ? -e : 0;
    const Uint128 n = m * PowersOfTen[16 - exp10];
    Uint128 scaled = 0;
    Uint128 rest = 0;
    if (e < 0) {
        scaled = n >> shift;
        rest = n & ((Uint128{1} << shift) - 1);
    } else {
        scaled = n << e;
    }
    if (scaled < Ten16 || scaled >= Ten17) return ToCharsG17(out, value);  // not reached

    // Round to nearest, a tie (rest exactly half of 2^shift) to the even
    // digit; rest < 2^66, so twice it fits.
    auto digits = static_cast<std::uint64_t>(scaled);
    const Uint128 twice = rest << 1;
    const Uint128 unit = Uint128{1} << shift;
    digits += static_cast<std::uint64_t>((twice > unit) | ((twice == unit) & ((digits & 1) != 0)));
    if (digits == Ten17) {  // 99..9.5 rounded up to the next power of ten
        digits = Ten16;
        ++exp10;
    }
    // Fixed notation is used for exponents -4 .. 16 only.
    if (exp10 < -4 || exp10 > 16) return ToCharsG17(out, value);

    // The 17 digits: lead, then the 8 of upper8, then the 8 of lower8.
    const std::uint64_t upper = digits / 100000000;  // 10^8 .. 10^9 - 1
    const auto upper8 = static_cast<std::uint32_t>(upper % 100000000);
    const auto lower8 = static_cast<std::uint32_t>(digits % 100000000);
    const char lead = static_cast<char>('0' + upper / 100000000);
    const std::uint64_t upperText = EightDigits(upper8);
    const std::uint64_t lowerText = EightDigits(lower8);
    // The last digit kept: trailing zeros are removed.
    int last = 0;
    if (lower8 != 0) {
        last = 9 + LastNonzeroDigit(lowerText);
    } else if (upper8 != 0) {
        last = 1 + LastNonzeroDigit(upperText);
    }

    if (exp10 < 0) {
        // "0.", -exp10 - 1 zeros, the digits.
        std::memcpy(out, "0.000000", 8);
        char* digitsAt = out + 1 - exp10;
        digitsAt[0] = lead;
        Store8(digitsAt + 1, upperText);
        Store8(digitsAt + 9, lowerText);
        return digitsAt + last + 1;
    }
    // exp10 + 1 digits before the point; the point and the fraction digits
    // follow only when a nonzero digit remains after it.
    const int point = exp10 + 1;
    out[0] = lead;
    if (last < point) {
        Store8(out + 1, upperText);
        Store8(out + 9, lowerText);
        return out + point;
    }
    Store8(out + 1, InsertPoint(upperText, (upperText << 8) | static_cast<unsigned char>(lead), point - 1));
    Store8(out + 9, InsertPoint(lowerText, (lowerText << 8) | (upperText >> 56), point - 9));
    out[17] = static_cast<char>(lowerText >> 56);
    return out + last + 2;
}

void AppendG17(std::string& out, double value) {
    char text[G17MaxChars];
    out.append(text, FormatG17(text, value));
}

std::string FormatG17(double value) {
    std::string out;
    AppendG17(out, value);
    return out;
}
