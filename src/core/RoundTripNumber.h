#pragma once

#include <cstddef>
#include <string>

// The one writer of numbers that must read back to the same double: the
// "%.17g" text of a double in the C locale (17 significant digits, general
// form, trailing zeros dropped), as std::to_chars writes it with
// std::chars_format::general and precision 17, whatever the process locale.
// Every listing, table and CSV file the program writes uses it.

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

// The same text appended to out, or as a string.
void AppendG17(std::string& out, double value);
std::string FormatG17(double value);
