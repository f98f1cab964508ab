#pragma once

#include <string_view>

// The values every front end lets a parameter take, in one table: the input
// pad keeps typed entries inside them, the command line refuses values
// outside them with a usage error, and the parameter file treats a line
// outside them as a read error of that line.

// One parameter: the name of the setting it limits, the smallest and largest
// accepted value (both inclusive), the longest entry the input pad takes
// (point and minus sign count; a decimal entry is also rounded to that many
// significant digits when written back) and the decimals the value is kept
// with (0: a whole number).
struct ParameterLimit {
    std::string_view Name;
    double Min;
    double Max;
    int Digits;
    int Decimals;

    constexpr bool Holds(double value) const { return value >= Min && value <= Max; }
    // For values read as a float: the limits are rounded to float as well, so
    // a stored "0.01", which reads as a float just below 0.01, stays inside.
    constexpr bool HoldsFloat(float value) const {
        return value >= static_cast<float>(Min) && value <= static_cast<float>(Max);
    }
};

namespace ParameterLimits {

// Calculation parameters of the main window.
inline constexpr ParameterLimit AverageWeight{"AverageWeight", 0.01, 99.99, 5, 2};
inline constexpr ParameterLimit CalcPitch{"CalcPitch", 2, 100, 3, 0};
inline constexpr ParameterLimit SearchRad{"SearchRad", 2.0, 200.0, 5, 1};
// The radius label also shows what the radius optimisation found: a radius
// from the pitch up to below the data's Size, which is at most 500. The label
// and the parameter file that keeps it accept those too.
inline constexpr ParameterLimit FoundSearchRad{"SearchRad", 2.0, 500.0, 5, 1};
inline constexpr ParameterLimit CalcIteration{"CalcIteration", 1, 99, 2, 0};
inline constexpr ParameterLimit SplineOrder{"SplineOrder", 1, 10, 2, 0};  // the spline degree
inline constexpr ParameterLimit MinDataCount{"MinDataCount", 1, 10, 2, 0};

// Regions of interest: the outline is a RoiShape code (circle 0, square 1),
// the fraction digits an item of the F-Dig box (0 to 5 decimals).
inline constexpr ParameterLimit RoiType{"RoiType", 0, 1, 1, 0};
inline constexpr ParameterLimit RoiSize{"RoiSize", 1, 100, 3, 0};
inline constexpr ParameterLimit RoiFDigit{"RoiFDigit", 0, 5, 1, 0};

// Contour map.
inline constexpr ParameterLimit BorderCount{"BorderCount", 2, 50, 2, 0};

// The random data maker's fields.
inline constexpr ParameterLimit DataSize{"DataSize", 10, 500, 3, 0};
inline constexpr ParameterLimit DataCount{"DataCount", 1, 500, 3, 0};
inline constexpr ParameterLimit CheckRadius{"CheckRadius", 1, 125, 3, 0};
inline constexpr ParameterLimit DataBase{"DataBase", -9999.999, 9999.999, 8, 3};
inline constexpr ParameterLimit RandomWidth{"RandomWidth", 0.001, 9999.999, 8, 3};

}  // namespace ParameterLimits
