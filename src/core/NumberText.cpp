#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// 40 significant digits decide every rounding of a double at the handful of
// digits a label shows: the exact value of a double that is not itself a tie
// differs from the nearest decimal tie far earlier than the 40th digit.
constexpr int kDigits = 40;

struct Decimal {
    std::string digits;  // significant digits, most significant first
    int exponent = 0;    // place of digits[0] is 10^exponent
};

Decimal ToDecimal(double magnitude) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.*e", kDigits - 1, magnitude);
    Decimal d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    }
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    return d;
}

// Rounds to the digits whose place is at least 10^place, half away from zero.
// Returns false when nothing is left (the value rounds to zero).
bool RoundAt(Decimal& d, int place) {
    const int keep = d.exponent - place + 1;
    if (keep < 0) {
        d.digits.clear();
        return false;
    }
    const bool up = keep < static_cast<int>(d.digits.size()) && d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    if (d.digits.empty() || d.digits.find_first_not_of('0') == std::string::npos) {
        d.digits.clear();
        return false;
    }
    return true;
}

std::string Zero(int decimals) {
    std::string s = "0";
    if (decimals > 0) {
        s += '.';
        s.append(static_cast<size_t>(decimals), '0');
    }
    return s;
}

std::string ExponentForm(bool negative, const Decimal& exact, int precision) {
    Decimal d = exact;
    RoundAt(d, d.exponent - precision + 1);
    d.digits.resize(std::max(precision, 1), '0');
    std::string s = negative ? "-" : "";
    s += d.digits[0];
    if (d.digits.size() > 1) {
        s += '.';
        s.append(d.digits, 1, std::string::npos);
    }
    char e[16];
    std::snprintf(e, sizeof e, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
    return s + e;
}

}  // namespace

std::string FormatFixed(double value, int precision, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::max(precision, 1);
    decimals = std::max(decimals, 0);
    if (value == 0.0) return Zero(decimals);

    const bool negative = value < 0;
    const Decimal exact = ToDecimal(std::fabs(value));
    Decimal d = exact;
    const int place = std::max(d.exponent - precision + 1, -decimals);
    if (!RoundAt(d, place)) return Zero(decimals);
    if (d.exponent + 1 > precision) return ExponentForm(negative, exact, precision);

    // d.digits now holds the places 10^exponent down to 10^place.
    std::string integer;
    std::string fraction;
    for (int k = 0; k < static_cast<int>(d.digits.size()); ++k) {
        const int at = d.exponent - k;
        (at >= 0 ? integer : fraction) += d.digits[k];
    }
    if (integer.empty()) integer.push_back('0');
    if (d.exponent < -1) fraction.insert(0, static_cast<size_t>(-1 - d.exponent), '0');
    fraction.resize(static_cast<size_t>(decimals), '0');
    // Digits of the integer part below the rounding place are zeros.
    if (d.exponent >= 0 && static_cast<int>(integer.size()) < d.exponent + 1)
        integer.resize(static_cast<size_t>(d.exponent + 1), '0');

    std::string s = negative ? "-" : "";
    s += integer;
    if (decimals > 0) {
        s += '.';
        s += fraction;
    }
    return s;
}
