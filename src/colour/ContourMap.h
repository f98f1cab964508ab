#pragma once

#include <optional>

#include "colour/ColorScale.h"
#include "core/Color.h"
#include "data/ThkData.h"

class QImage;

// Iso-lines of a record at a number of equally spaced levels (the border
// count), traced cell by cell through the grid and drawn as polylines.

// Receives the traced lines. Screen points are pixels of a width x height
// picture; grid coordinates are real node coordinates (x right, y down).
class ContourSink {
public:
    virtual ~ContourSink() = default;
    virtual void BeginLevel(int k, double level, Color pen) = 0;
    // Start point of a trace.
    virtual void MoveTo(int sx, int sy, double gx, double gy) = 0;
    // Next point of the trace: screen point and grid coordinates.
    virtual void LineTo(int sx, int sy, double gx, double gy) = 0;
};

// For a Valid record, for each level k = 1..n (n = levels) at
// Min + k (Max - Min) / (n + 1): reports the level with its pen colour
// (rampSet at k / (n + 1), or the table's gradation at 1 - k / (n + 1)) and
// every trace as MoveTo followed by LineTo steps, in drawing order. Nodes
// 0..size on both axes take part.
//
// Lines start only where the level lies strictly between two node values; a
// trace stops at the grid border, at a cell with an empty node, or when it
// comes back to its start edge. An open line is traced from its start both
// ways; a closed one is traced once round each way. No lines when size is
// below 2 or Min equals Max; a size above 500 is taken as 500. Threads may
// trace at the same time: each trace works in a store of its own.
void TraceContours(const ThkData& record, int size, int width, int height, int levels,
                   const GradationTable& table, bool useRamp, const RampParameters& rampSet,
                   ContourSink& sink);

// Draws TraceContours' lines on the image with a solid 1-pixel aliased pen;
// like a classic LineTo, the end pixel of each segment is left out. With a
// background the image is first replaced by a picture of its own size filled
// with it; without one the lines go over the image.
void DrawContourLines(QImage& image, const ThkData& record, int size, int levels, const GradationTable& table,
                      bool useRamp, const RampParameters& rampSet, std::optional<Color> background);

// The main window's contour picture at levels levels, shared with the
// command-line tool: with copyColormap a two-colour map (mapMinColor at Min
// to mapMaxColor at Max, empty cells in backColor) under the lines; otherwise
// a black background. The lines use the table's gradation or the ramp with
// DrawingRampSet.
void PaintContourMap(QImage& image, const ThkData& record, int levels, bool copyColormap, bool useRamp,
                     Color mapMinColor, Color mapMaxColor, Color backColor, const DisplayCondition& condition,
                     const GradationTable& table);
