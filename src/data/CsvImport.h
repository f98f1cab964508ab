#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Message.h"
#include "data/CsvText.h"
#include "data/ThkData.h"

// Thickness tables as measuring tools export them: delimited text with X, Y
// and a thickness column among others, X and Y either in millimetres from the
// wafer centre (+X right, +Y up, negative values included) or in the file
// units of the map, and often a site number.
//
// The text: UTF-8 (a leading byte-order mark is passed over), lines ending in
// LF, CR LF or CR, blank lines skipped. Fields are separated by one
// delimiter: a tab, a semicolon or a comma, or runs of blanks; a field may be
// wrapped in double quotes. Numbers take a sign, an exponent and one decimal
// mark: a point, or a comma where the delimiter is not a comma; thousands
// separators are refused. The first line is a header when one of its fields
// is neither empty nor written like a number.

enum class CsvUnits { Millimetres, Cells };
// The decimal mark. Detect: a comma when the delimiter is not a comma and a
// comma shows in an X, Y or thickness field of the data lines, else a point.
enum class CsvDecimal { Detect, Point, Comma };

struct CsvImportOptions {
    CsvDelimiter Delimiter = CsvDelimiter::Detect;
    CsvDecimal DecimalComma = CsvDecimal::Detect;
    // The X, Y, thickness and site-number columns, each a 1-based column
    // number or a header name: the name as written wins, then one written
    // alike without case and blanks, then the one that matches without its
    // unit in brackets ("x" for "X (mm)"). Empty: found by the header's words
    // (see data/CsvColumnNames.h), never a column already taken for another;
    // without a header, the first free columns in order (and no site column).
    std::string XColumn;
    std::string YColumn;
    std::string ZColumn;
    // Empty: a column named like a site number whose every field is a whole
    // number, else the order in the file (from 1).
    std::string SiteColumn;
    CsvUnits Units = CsvUnits::Millimetres;
    // Millimetres: the wafer diameter in mm, which becomes the Size (one file
    // unit per mm, the centre at Size / 2); 0 takes the smallest whole
    // diameter that holds every point. Cells: the Size; 0 takes the smallest
    // whole Size that holds every point.
    double Diameter = 0.0;
    // The thickness unit for the record (CanonicalUnit: "um" becomes "µm");
    // empty: the unit the thickness column's name gives, if any.
    std::string Unit;
};

// What the text looks like, for a preview: the delimiter, whether the first
// line is a header, the header's names (or "1", "2", ... without one), the
// columns the import will take (0-based; -1 where it would stop and ask for
// one, or for SiteColumn when the sites are numbered in file order), the
// decimal mark and unit it will take, the wafer to propose
// (ProposedWaferDiameter of every line whose X and Y read, taken as mm) and
// the first rows split into fields.
struct CsvLayout {
    CsvDelimiter Delimiter = CsvDelimiter::Comma;
    bool Header = false;
    bool DecimalComma = false;
    std::vector<std::string> Names;
    int XColumn = -1;
    int YColumn = -1;
    int ZColumn = -1;
    int SiteColumn = -1;
    std::string Unit;
    double ProposedDiameter = 0.0;
    std::vector<std::vector<std::string>> Rows;
};
CsvLayout DetectCsvLayout(std::string_view text, const CsvImportOptions& options, int previewRows = 10);

// Reads the table into the record (which the caller hands over cleared):
// every point rounded to its cell (half away from zero), (x, y) mm at cell
// (Size / 2 + x, Size / 2 - y) so that +Y is up on the map, cells as they
// stand; Valid, Size, PitchX = PitchY = 1, Count (the points stored,
// repeats included), Min/Max over the values as read, Mean, Sigma and the
// ratio fields; Unit; Points, every line's point in file order with X and Y
// as read and its site number. Returns 1, or -1 after one message, with
// nothing to be taken from the record:
//   "CSV column not found. -> <name>"          a given column is not in the table
//   "CSV column name matches several columns: give it exactly. -> <name>"
//   "CSV column chosen twice. -> <column name>"
//   "CSV X column not found: choose one. -> <names, ', '>"          (Y, thickness likewise)
//   "CSV line has more fields than the header. -> <n> for <m> Line: <k>"
//                                              ("the first line" without a header);
//                                              empty fields at the end do not count
//   "CSV number with a thousands separator. -> '<field>' Line: <n>"
//   "CSV data error. -> '<field>' Line: <n>"   a line without a readable X, Y, value
//                                              or given site number, or a value beyond
//                                              +-FLT_MAX or at or below -99999
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
