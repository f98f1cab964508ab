#include "analysis/Profile.h"

#include <algorithm>
#include <cmath>

namespace {

// The nearest cell coordinate to c, halves upward; as a double so that any
// finite c can be tested against the area before it becomes an int.
double NearestCell(double c) {
    return std::floor(c + 0.5);
}

bool InArea(double c) {
    return c >= 0.0 && c <= ThkMaxSize;
}

}  // namespace

std::vector<ProfilePoint> DiameterProfile(const ThkData& record, const AnalysisMask& mask, ProfileAxis axis) {
    const WaferFrame& frame = mask.Frame();
    const bool alongX = axis == ProfileAxis::X;
    const double across = NearestCell(alongX ? frame.CentreY : frame.CentreX);
    std::vector<ProfilePoint> points;
    if (!(across >= 0.0 && across <= frame.Size)) return points;
    const int fixed = static_cast<int>(across);
    points.reserve(static_cast<std::size_t>(frame.Size) + 1);
    for (int i = 0; i <= frame.Size; ++i) {
        const int x = alongX ? i : fixed;
        const int y = alongX ? fixed : i;
        const double v = record.Value[x][y];
        if (!mask.Inside(x, y) || !HasData(v)) continue;
        double position = i;
        if (frame.HasWafer) position = alongX ? MmFromCentreX(frame, x) : MmFromCentreY(frame, y);
        points.push_back({position, v, x, y});
    }
    return points;
}

std::vector<ProfilePoint> LineProfile(const ThkData& record, const AnalysisMask& mask, double x0, double y0,
                                      double x1, double y1) {
    const WaferFrame& frame = mask.Frame();
    std::vector<ProfilePoint> points;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length = std::hypot(dx, dy);
    if (!std::isfinite(length)) return points;
    // Only the steps whose sample can round into the area are walked, so a
    // line from far outside costs no more than one across it: the parameter
    // range where both coordinates lie within -0.5 .. 500.5.
    double first = 0.0;
    double last = std::floor(length);
    if (length > 0.0) {
        const double d[2] = {dx, dy};
        const double p[2] = {x0, y0};
        double tLow = 0.0;
        double tHigh = length;
        for (int k = 0; k < 2; ++k) {
            const double lowEdge = -0.5;
            const double highEdge = ThkMaxSize + 0.5;
            if (d[k] == 0.0) {
                if (p[k] < lowEdge || p[k] > highEdge) return points;
                continue;
            }
            // Distances along the line (in units) where the coordinate meets the edges.
            double a = (lowEdge - p[k]) / d[k] * length;
            double b = (highEdge - p[k]) / d[k] * length;
            if (a > b) std::swap(a, b);
            tLow = std::max(tLow, a);
            tHigh = std::min(tHigh, b);
        }
        if (tLow > tHigh) return points;
        // One step of margin each way: the exact test below decides.
        first = std::max(0.0, std::floor(tLow) - 1.0);
        last = std::min(last, std::ceil(tHigh) + 1.0);
    }
    // The steps are counted, not accumulated: beyond 2^53 units from the
    // start a double no longer changes by 1.0, and a line that reaches the
    // area from that far would never end. The area is crossed in at most
    // MaxSteps steps, so the count is bounded whatever the ends.
    constexpr double MaxSteps = 2.0 * (ThkMaxSize + 3);
    const double steps = std::min(last - first, MaxSteps);
    for (double k = 0.0; k <= steps; k += 1.0) {
        const double i = first + k;
        const double cx = length > 0.0 ? NearestCell(x0 + dx * i / length) : NearestCell(x0);
        const double cy = length > 0.0 ? NearestCell(y0 + dy * i / length) : NearestCell(y0);
        if (!InArea(cx) || !InArea(cy)) continue;
        const int x = static_cast<int>(cx);
        const int y = static_cast<int>(cy);
        const double v = record.Value[x][y];
        if (!mask.Inside(x, y) || !HasData(v)) continue;
        points.push_back({frame.HasWafer ? i * frame.MmPerUnit : i, v, x, y});
    }
    return points;
}
