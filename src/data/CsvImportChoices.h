#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/CsvImport.h"

// What the Import dialog lets the user choose for one table, kept apart from
// its controls: the delimiter (Detect or a fixed one) and the layout detected
// with it, the X, Y and thickness columns, the units of X and Y and the wafer
// diameter (mm) or Size (cells). The dialog shows these and maps its controls
// onto them; Options() is what the import then reads the table with.
class CsvImportChoices {
public:
    // The rows of the preview.
    static constexpr int PreviewRows = 10;

    // text: the table's contents. initial gives the delimiter, the units and
    // the diameter to start from; the columns are detected (by header name
    // where that is obvious).
    CsvImportChoices(std::string text, const CsvImportOptions& initial);

    // Another delimiter: the layout is detected again with it and the
    // columns become the ones that detection chooses.
    void SetDelimiter(CsvDelimiter delimiter);
    CsvDelimiter Delimiter() const { return options_.Delimiter; }
    const CsvLayout& Layout() const { return layout_; }

    // The chosen column of axis (0 X, 1 Y, 2 thickness) as a 0-based index
    // into Layout().Names, -1 for none. An index outside the names is none.
    int Column(int axis) const { return columns_[static_cast<std::size_t>(AxisIndex(axis))]; }
    void SetColumn(int axis, int index);

    CsvUnits Units() const { return options_.Units; }
    void SetUnits(CsvUnits units) { options_.Units = units; }
    // Millimetres: the wafer diameter; cells: the Size (0: from the points).
    double Diameter() const { return options_.Diameter; }
    void SetDiameter(double diameter) { options_.Diameter = diameter; }

    // The options as chosen, the columns as 1-based numbers ("2"), empty
    // for none.
    CsvImportOptions Options() const;

    // What the detection found, as the dialog writes it beside the
    // delimiter: "found: comma, header row" or "found: tab, no header row".
    std::string FoundText() const;
    // Each column named as its boxes and the preview list it: "1: Site".
    std::vector<std::string> ColumnNames() const;
    // The diameter box's caption and unit for the chosen units:
    // "Wafer diameter (mm):" with " mm", or "Size (cells):" with none.
    std::string DiameterCaption() const;
    std::string DiameterUnit() const;

private:
    static int AxisIndex(int axis);
    void Detect();

    std::string text_;
    CsvImportOptions options_;  // the columns stay empty: columns_ holds them
    CsvLayout layout_;
    std::array<int, 3> columns_{-1, -1, -1};
};

// The delimiters as the dialog's box names them, in the order of
// CsvDelimiter: "Detect", "Comma", "Semicolon", "Tab", "Blanks".
inline constexpr std::array<const char*, 5> CsvDelimiterNames = {"Detect", "Comma", "Semicolon", "Tab",
                                                                 "Blanks"};

// Where the Import dialog starts for the next table: the units and diameter
// of the last import (a user imports a series from one tool), the delimiter
// and columns detected afresh.
CsvImportOptions NextImportStart(const CsvImportOptions& last);
