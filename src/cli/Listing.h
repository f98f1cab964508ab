#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "colour/ContourMap.h"
#include "data/ThkData.h"
#include "roi/RoiStats.h"

// The texts morvaplot-cli prints. Every real number is written by FormatG17
// (core/RoundTripNumber.h), so it reads back to the same double; integers are
// plain decimals. Lines end in a line feed.

// Name<TAB>value lines of the reader's statistics: Size, PitchX, PitchY,
// Count, Min, Max, Range, Mean, Sigma, Ratio, UniformityPct, Sigma1Pct,
// Sigma3Pct.
std::string StatsListing(const ThkData& record);

// "Radius<TAB>r" with the radius widened from float.
std::string RadiusLine(float radius);

// x<TAB>y<TAB>value for every cell holding data, X-major (x outer, y inner),
// handed to write in consecutive pieces of whole lines. A long listing is
// formatted on two threads, each taking whole rows.
void WriteCellListing(const ThkData& record, const std::function<void(const char*, std::size_t)>& write);

// The same lines appended to out.
void AppendCellListing(std::string& out, const ThkData& record);

// Count, Min, Max and Mean lines of a region's statistics.
std::string RoiListing(int count, const RoiStats& stats);

// Collects traced contours as text: "Level<TAB>k<TAB>value" when a level
// begins, then one line per trace that draws at least one segment,
// "gx,gy gx,gy ..." from its start point on, in the order they are drawn.
class ContourListing final : public ContourSink {
public:
    void BeginLevel(int k, double level, Color pen) override;
    void MoveTo(int sx, int sy, double gx, double gy) override;
    void LineTo(int sx, int sy, double gx, double gy) override;

    // The complete text (the last trace's line closed).
    std::string Text();

private:
    void EndLine();
    void AppendPoint(double gx, double gy);

    std::string text_;
    bool lineOpen_ = false;
    double startX_ = 0.0;
    double startY_ = 0.0;
};
