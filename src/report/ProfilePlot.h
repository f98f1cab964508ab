#pragma once

#include <QColor>
#include <QString>
#include <vector>

#include "analysis/Profile.h"

class PlacedFonts;
class QPainter;
class QRectF;

// Profiles as a line plot on a report page: its title and legend, a frame
// with grid lines at round values, tick labels, the axis titles and a line
// through the points of each profile. It is painted with QPainter straight into the page rather
// than through Qt Charts: a chart costs a page more than the Fill of its
// file (a graphics scene of text items laid out and drawn anew per page),
// and a report writes hundreds of them one after another.

// The ticks of an axis from lo to hi: multiples of a round step (1, 2 or 5
// times a power of ten) chosen for about count intervals, each inside
// [lo, hi], and the decimals their labels need to tell them apart. No ticks
// when the range is empty or not finite.
struct AxisTickSet {
    std::vector<double> Values;
    int Decimals = 0;
};
AxisTickSet AxisTicks(double lo, double hi, int count);

// One profile of a plot: its points (in their order; position along the
// profile against value), its name in the legend and its colour.
struct PlotLine {
    const std::vector<ProfilePoint>* Points = nullptr;
    QString Name;
    QColor Colour;
};

// Paints the plot of lines into target, in the painter's units (points on a
// page); the axes span the points of every line. mm names the position axis
// in mm, otherwise in file units. Without points the frame stays empty.
// fonts: of the painter's device, for the labels.
void PaintProfilePlot(QPainter& painter, const QRectF& target, const QString& title,
                      const std::vector<PlotLine>& lines, bool mm, PlacedFonts& fonts);
