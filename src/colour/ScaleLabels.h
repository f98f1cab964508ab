#pragma once

#include <array>
#include <string>

#include "data/ThkData.h"

// Texts of the five range labels beside the colour bar (Range[0] is the
// bottom label, the minimum; Range[4] the top, the maximum) and of the mean.
struct ScaleLabelTexts {
    std::array<std::string, 5> Range;
    std::string Mean;
};

// Scale labels after a full redraw: Min + (Max - Min) * 0.25 * i with 7
// significant digits and 3 decimals, the mean with 8 and 3; every text
// "---.---" when the record is not Valid.
ScaleLabelTexts ScaleLabels(const ThkData& record);

// The five range labels as the contour drawing writes them: the same values
// divided by Divisor (unless it is 0), 5 significant digits and 3 decimals;
// "---.---" when the record is not Valid.
std::array<std::string, 5> ContourScaleLabels(const ThkData& record);
