#include "data/WaferDiameter.h"

#include <algorithm>

double ProposedWaferDiameter(std::span<const ThkPoint> points) {
    if (points.empty()) return 0.0;
    double reach = 0.0;  // the largest squared distance from the centre
    for (const ThkPoint& p : points)
        reach = std::max(reach, p.X * p.X + p.Y * p.Y);
    for (const double d : StandardWaferDiameters)
        if (reach <= d * d / 4.0) return d;
    return 0.0;
}
