#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Message.h"
#include "data/ThkData.h"

// Thickness tables as measuring tools export them: delimited text with X, Y
// and a thickness column among others, X and Y either in millimetres from the
// wafer centre (negative values included) or in the file units of the map.
//
// The text: UTF-8 (a leading byte-order mark is passed over), lines ending in
// LF, CR LF or CR, blank lines skipped. Fields are separated by one
// delimiter: a tab, a semicolon or a comma, or runs of blanks; a field may be
// wrapped in double quotes. Numbers take a decimal point ("." only), a sign and
// an exponent. The first line is a header when one of its fields is not a
// number.

enum class CsvDelimiter { Detect, Comma, Semicolon, Tab, Blanks };
enum class CsvUnits { Millimetres, Cells };

struct CsvImportOptions {
    CsvDelimiter Delimiter = CsvDelimiter::Detect;
    // The X, Y and thickness columns: a header name (compared without case,
    // blanks, quotes and a trailing unit in brackets, so "X (mm)" is "x") or
    // a 1-based column number; empty: by header name where it is obvious (x;
    // y; thickness, thk, z or value), otherwise columns 1, 2 and 3.
    std::string XColumn;
    std::string YColumn;
    std::string ZColumn;
    CsvUnits Units = CsvUnits::Millimetres;
    // Millimetres: the wafer diameter in mm, which becomes the Size (one file
    // unit per mm, the centre at Size / 2); 0 takes the smallest whole
    // diameter that holds every point. Cells: the Size; 0 takes the smallest
    // whole Size that holds every point.
    double Diameter = 0.0;
};

// What the text looks like, for a preview: the delimiter, whether the first
// line is a header, the header's names (or "1", "2", ... without one), the
// columns chosen by the options (0-based; -1 when a named one is missing),
// and the first rows split into fields.
struct CsvLayout {
    CsvDelimiter Delimiter = CsvDelimiter::Comma;
    bool Header = false;
    std::vector<std::string> Names;
    int XColumn = -1;
    int YColumn = -1;
    int ZColumn = -1;
    std::vector<std::vector<std::string>> Rows;
};
CsvLayout DetectCsvLayout(std::string_view text, const CsvImportOptions& options, int previewRows = 10);

// Reads the table into the record (which the caller hands over cleared):
// every point rounded to its cell (half away from zero), Valid, Size, PitchX =
// PitchY = 1, Count (the points stored, repeats included), Min/Max over the
// values as read, Mean, Sigma and the ratio fields. Returns 1, or -1 after one
// message, with nothing to be taken from the record:
//   "CSV column not found. -> <name>"          a named column is not in the header
//   "CSV data error. -> '<field>' Line: <n>"   a line without a readable X, Y or value,
//                                              or a value beyond +-FLT_MAX or at or below -99999
//   "CSV point outside the area. -> X:<x> Y:<y> Line: <n>"   (as given)
//   "Size data error.(with in 1<->500) -> <size>"
//   "Data count is zero."
// Lines count every line of the text from 1. Points that round to the same
// cell keep the later value and, once the table is read, are reported in one
// message: "Points sharing a cell: <count>. First: X:<cell x> Y:<cell y> Line: <n>".
int ImportCsvText(std::string_view text, const CsvImportOptions& options, ThkData& record,
                  const MessageSink& messages);

// The same for a file; "File open error. -> <path>" when it cannot be read.
int ImportCsvFile(const std::string& path, const CsvImportOptions& options, ThkData& record,
                  const MessageSink& messages);

// Whether a file name reads as a table to import: it ends in ".csv" or ".txt"
// (any case).
bool IsCsvFileName(std::string_view path);
