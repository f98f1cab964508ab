#pragma once

// The numbered choices of the viewer. The numbers are kept where a control's
// item index or a stored file needs them; everywhere else the names are used.

// Which record is shown: the item index of the "Data Type" group.
enum class DataKind : int { None = -1, Raw = 0, Grid = 1, Fill = 2 };

// The data type's name as titles and reports write it ("Raw" for None too).
inline const char* DataKindName(DataKind kind) {
    switch (kind) {
        case DataKind::Grid:
            return "Grid";
        case DataKind::Fill:
            return "Fill";
        default:
            return "Raw";
    }
}

// How the shown record is painted: the item index of the draw type box.
enum class DrawKind : int { Colormap = 0, Contour = 1 };

// Region of interest outline: the item index of the ROI type box.
enum class RoiShape : int { Circle = 0, Square = 1 };

// Display condition of the colour map, comparing a value v with low (and
// high): v < low, v <= low, v > low, v >= low, low < v < high,
// low <= v <= high.
enum class ConditionMode : int { Below = 0, AtMost = 1, Above = 2, AtLeast = 3, Inside = 4, Within = 5 };

// What the input pad takes: a whole number, a decimal number written back
// with fixed decimals, free text, or a hexadecimal whole number.
enum class InputMode : int { Integer = 0, Decimal = 1, Text = 2, Hex = 3 };

// Tag of a parameter label: its entry in the input pad's table of limits.
enum class ParamTag : int {
    AverageWeight = 0,
    CalcPitch = 1,
    SearchRad = 2,
    CalcIteration = 3,
    SplineOrder = 4,
    MinDataCount = 5,
    RoiSize = 10,
    BorderCount = 20,
};

// Tag of a colour swatch: the colour it holds.
enum class SwatchTag : int { MapMin = 0, MapMax = 1, MapBack = 2, Roi1 = 30, Roi2 = 31 };

// The hue-ramp parameter set a drawing uses: the start-up set (full
// brightness) or the drawing set that contour maps install (darker toward the
// minimum).
enum class RampSetKind : int { Startup = 0, Drawing = 1 };

// Position of a code in a table indexed by it (records by data kind).
constexpr int IndexOf(DataKind kind) {
    return static_cast<int>(kind);
}
