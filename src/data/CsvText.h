#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The lines, fields and numbers of a delimited table, before any column has
// a meaning.

enum class CsvDelimiter { Detect, Comma, Semicolon, Tab, Blanks };

// One line of the text with its number (from 1).
struct CsvLine {
    std::string_view Text;
    int Number;
};

// The lines that hold anything but blanks, a byte-order mark at the start
// passed over; a line ends at LF, CR LF or CR.
std::vector<CsvLine> SplitCsvLines(std::string_view text);

// The field without the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view field);

// The delimiter a line uses: a tab, else a semicolon, else a comma, else
// runs of blanks.
CsvDelimiter DetectCsvDelimiter(std::string_view line);

// The fields of a line, trimmed and without the double quotes around them; a
// quoted field may hold the delimiter, and "" stands for one quote. A header
// split at blanks keeps a unit in brackets written after a blank with the
// name before it ("X (mm)" stays one name).
std::vector<std::string> SplitCsvFields(std::string_view line, CsvDelimiter delimiter, bool header = false);

// The number of fields up to the last one that is not empty: a trailing
// delimiter adds none.
std::size_t UsedFieldCount(const std::vector<std::string>& fields);

// How a field reads as a number, with the decimal mark a point or a comma.
// Grouped: a number once its thousands separators are dropped (the other
// mark, a blank inside), which is refused rather than guessed at.
enum class CsvNumber { Read, Unreadable, Grouped };
CsvNumber ReadCsvNumber(std::string_view field, bool decimalComma, double& value);

// A whole number that is the whole field (a leading "+" allowed).
bool ReadCsvWholeNumber(std::string_view field, int& value);

// Whether a field is written like a number in either decimal mark, grouped
// or not (digits, signs, points, commas, blanks and exponents, at least one
// digit): a line of such fields is data, not a header. An empty field says
// nothing either way.
bool LooksLikeCsvNumber(std::string_view field);
