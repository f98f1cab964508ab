#pragma once

#include <vector>

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
// Grid index of every pixel along one axis, as every map samples a record:
// integer part of pixel * scale, the scale (Size + 1) / pixels held in single
// precision. Kept inside the grid even for a damaged Size, so no pixel can
// read outside the record.
std::vector<int> SampleIndexes(int pixels, int size);

void DrawColorMap(QImage& image, const ThkData& record, bool useRamp, const RampParameters& ramp,
                  const DisplayCondition& condition, Color backColor, const GradationTable& table);
