#pragma once

#include "core/Color.h"
#include "data/ThkData.h"

class QImage;

// The display condition of the colour map (see TestValueCondition); the main
// window always passes it disabled.
struct DisplayCondition {
    bool Enabled = false;
    int Mode = 0;
    double Low = 0.0;
    double High = 1.0;
};

// Replaces the image with a colour map of the record at the image's own size
// (RGB32). Pixel (i, j) shows the cell (i * sx, j * sy), sx = (Size + 1) / W
// and sy = (Size + 1) / H in single precision, truncated; grid y runs down.
// Cells without data (or failing an enabled condition) take backColor; others
// the ramp colour of their scale position (useRamp) or the gradation colour of
// 1 - position along intervals + 1 colors. The new picture is built off-screen
// and swapped in at once.
void DrawColorMap(QImage& image, const ThkData& record, bool useRamp, const DisplayCondition& condition,
                  Color backColor, int intervals, const Color* colors);
