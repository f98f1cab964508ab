#pragma once

#include <array>
#include <string>

#include "core/Color.h"
#include "data/ThkData.h"

class QImage;

// Colours of a difference map: a scale centred on zero, blue below it, white
// at it and red above it, symmetric about zero so that a cell's colour tells
// the sign of the change at a glance. The scale runs from -Limit to +Limit.

// The half-width of the scale: the larger of |Min| and |Max| of the record's
// data cells; 0 when the record is not Valid or holds no data.
double DivergingLimit(const ThkData& record);

// Colour of value on -limit..+limit: blue (0x2040C0 as R, G, B = 0x20, 0x40,
// 0xC0) at -limit through white at zero to red (0xC02020) at +limit, each
// channel interpolated linearly and rounded; values beyond the limit take the
// end colour, and every value is white when limit is 0.
Color DivergingColor(double value, double limit);

// Paints the record as the colour map samples it (pixel i shows the cell
// trunc(i x (Size + 1) / W), the scale in single precision, on both axes) into
// image, made 301 x 301 RGB32 when it is not, with the diverging colours;
// cells without data take back.
void PaintDivergingMap(QImage& image, const ThkData& record, Color back);

// Replaces the image with a bar of its own width and height (RGB32): the top
// row +limit, the bottom row -limit, zero in the middle.
void DrawDivergingBar(QImage& image);

// The five labels beside the bar, bottom first: -L, -L/2, 0, L/2, L with 7
// significant digits and 3 decimals; "---.---" when the limit is 0.
std::array<std::string, 5> DivergingScaleLabels(const ThkData& record);
