#include <gtest/gtest.h>

#include <ostream>

#include "core/NumberText.h"

namespace {

struct Case {
    double value;
    int precision;
    int decimals;
    const char* text;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.text;
}

class FormatFixedCases : public ::testing::TestWithParam<Case> {};

TEST_P(FormatFixedCases, GivesText) {
    const Case& c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.precision, c.decimals), c.text)
        << c.value << " at precision " << c.precision << ", " << c.decimals << " decimals";
}

INSTANTIATE_TEST_SUITE_P(LabelFormats, FormatFixedCases,
                         ::testing::Values(
                             // Scale labels: 7 significant digits, 3 decimals.
                             Case{1234.5678, 7, 3, "1234.568"}, Case{123456.789, 7, 3, "123456.800"},
                             Case{1234567.89, 7, 3, "1234568.000"}, Case{-1234.5678, 7, 3, "-1234.568"},
                             // Contour labels: 5 significant digits.
                             Case{1234.5678, 5, 3, "1234.600"}, Case{12.345678, 5, 3, "12.346"},
                             Case{99999.5, 5, 3, "1.0000E+05"},
                             // Mean and table: 8 digits.
                             Case{101.23456, 8, 3, "101.235"}, Case{0.0, 8, 3, "0.000"},
                             // Radius label: 5 digits, 1 decimal.
                             Case{80.0, 5, 1, "80.0"}, Case{20.100000381469727, 5, 1, "20.1"},
                             // Rounding happens once, ties away from zero on the exact binary value.
                             Case{0.125, 7, 2, "0.13"}, Case{-0.125, 7, 2, "-0.13"},
                             Case{2.675, 7, 2, "2.67"}, Case{0.0005, 7, 3, "0.001"},
                             Case{0.0004999, 7, 3, "0.000"}, Case{-0.0001, 7, 3, "0.000"},
                             Case{999.9996, 7, 3, "1000.000"}, Case{9999999.6, 7, 3, "1.000000E+07"},
                             // Integer part longer than the precision: exponent form.
                             Case{123456789.0, 7, 3, "1.234568E+08"},
                             Case{-12345678.0, 7, 3, "-1.234568E+07"}, Case{0.000123456, 7, 3, "0.000"},
                             Case{0.05, 7, 0, "0"}, Case{0.5, 7, 0, "1"}, Case{15.0, 7, 0, "15"}));

}  // namespace
