#pragma once

#include "colour/ColorScale.h"
#include "core/Color.h"
#include "data/ThkData.h"

class QImage;

// Replaces the image with a colour map of the record at the image's own size
// (RGB32). Pixel (i, j) shows the cell (i * sx, j * sy), sx = (Size + 1) / W
// and sy = (Size + 1) / H in single precision, truncated; grid y runs down.
// Cells without data (or failing an enabled condition) take backColor; others
// the ramp colour of their scale position with the ramp set ramp (useRamp)
// or the table's gradation colour at 1 - position. The new picture is built
// off-screen and swapped in at once.
void DrawColorMap(QImage& image, const ThkData& record, bool useRamp, const RampParameters& ramp,
                  const DisplayCondition& condition, Color backColor, const GradationTable& table);
