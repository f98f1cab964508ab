#pragma once

#include "colour/ColorScale.h"
#include "core/Color.h"
#include "data/ThkData.h"

class QImage;

// Iso-lines of a record at BorderCount() equally spaced levels, traced cell
// by cell through the grid and drawn as polylines.

// Stores the background of a fresh contour picture.
void SetContourColors(Color background);

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

// Installs rampSet as the current ramp set, then, for a Valid record, for each
// level k = 1..n (n = BorderCount()) at Min + k (Max - Min) / (n + 1): reports
// the level with its pen colour (ramp at k / (n + 1), or the table's gradation
// at 1 - k / (n + 1)) and every trace as MoveTo followed by LineTo steps, in
// drawing order. Nodes 0..size on both axes take part.
//
// Lines start only where the level lies strictly between two node values; a
// trace stops at the grid border, at a cell with an empty node, or when it
// comes back to its start edge. An open line is traced from its start both
// ways; a closed one is traced once round each way. No lines when size is
// below 2 or Min equals Max; a size above 500 is taken as 500.
void TraceContours(const ThkData& record, int size, int width, int height, const GradationTable& table,
                   bool useRamp, const RampParameters& rampSet, ContourSink& sink);

// Draws TraceContours' lines on the image with a solid 1-pixel aliased pen;
// like a classic LineTo, the end pixel of each segment is left out. With
// freshBackground the image is first replaced by a picture of its own size
// filled with the contour background; otherwise the lines go over the image.
void DrawContourLines(QImage& image, const ThkData& record, int size, const GradationTable& table,
                      bool useRamp, const RampParameters& rampSet, bool freshBackground);

// The main window's contour picture, shared with the command-line tool: with
// copyColormap a two-colour map (mapMinColor at Min to mapMaxColor at Max,
// empty cells in backColor) under the lines; otherwise a black background.
// The lines use the table's gradation or the ramp with DrawingRampSet, which
// stays installed afterwards.
void PaintContourMap(QImage& image, const ThkData& record, bool copyColormap, bool useRamp, Color mapMinColor,
                     Color mapMaxColor, Color backColor, const DisplayCondition& condition,
                     const GradationTable& table);
