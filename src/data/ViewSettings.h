#pragma once

#include <array>

#include "core/Codes.h"
#include "core/Color.h"
#include "data/ThkData.h"

// Everything the main window's controls say about what to compute and how to
// draw it, as the window reads it before every action. The defaults are the
// controls as designed, so a front end without controls (the batch tool) runs
// exactly what an untouched window runs.
struct ViewSettings {
    DataKind DataType = DataKind::None;  // the selected item of the data type group
    DrawKind DrawType = DrawKind::Colormap;

    // Calculation parameters, as the window parses its labels: SearchRad is
    // the label's one-decimal text read as a number and rounded to float.
    int CalcPitch = 20;
    float SearchRad = 80.0f;
    double AverageWeight = 3.0;
    int CalcIteration = 1;  // kept for the parameter file; Calc always makes one pass
    int SplineOrder = 3;
    int MinDataCount = 1;
    bool RadOptimize = true;
    bool AutoFill = false;

    // Colours of the map.
    bool UseColormap = true;
    bool RawRange = true;
    Color MapMinColor = 0x000000;
    Color MapMaxColor = 0xFFFFFF;
    Color MapBackColor = 0x000000;
    DisplayCondition Condition{};

    // Regions of interest: both entries follow the first ROI's controls.
    std::array<RoiShape, 2> RoiType{RoiShape::Circle, RoiShape::Circle};
    std::array<int, 2> RoiSize{10, 10};
    std::array<int, 2> RoiFDigit{2, 2};
    std::array<Color, 2> RoiColor{0x0000FF, 0xFF0000};
    bool ShowRoiMin = true;
    bool ShowRoiMax = true;
    bool ShowRoiMean = true;

    // Contour map.
    int BorderCount = 5;
    bool CopyColormap = false;
};
