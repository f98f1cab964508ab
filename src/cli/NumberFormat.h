#pragma once

#include <cstddef>

// The "%.17g" text of a double (C locale), as std::to_chars writes it with
// std::chars_format::general and precision 17.

// Room FormatG17 needs at out. The longest text is 24 characters (a sign, 17
// digits, a point and "e-308"); the fixed-notation writer stores whole
// 8-character blocks past the end of its text, up to 22 bytes from out.
inline constexpr std::size_t G17MaxChars = 40;

// Writes the text of value at out and returns its end.
// Positive normal values whose text is in fixed notation (decimal exponent
// -4 .. 16 after rounding) are formatted from exact integer arithmetic; all
// others (zero, negatives, subnormals, infinities, NaN, exponent notation)
// by std::to_chars.
char* FormatG17(char* out, double value);
