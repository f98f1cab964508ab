#pragma once

#include <string>

// Fixed-notation number text for labels and tables.
//
// The value is rounded once, at whichever is tighter of `precision` significant
// digits and `decimals` decimals, with exact ties going away from zero (the
// decision is taken on the exact binary value, so 2.675, stored as
// 2.67499999..., gives "2.67"). The text then carries exactly `decimals`
// decimals, filled with zeros: FormatFixed(123456.789, 7, 3) is "123456.800".
//
// When the rounded integer part has more digits than `precision` the value is
// written in exponent form instead, with `precision` significant digits:
// FormatFixed(123456789.0, 7, 3) is "1.234568E+08".
//
// A result that rounds to zero is written without a sign.
std::string FormatFixed(double value, int precision, int decimals);
