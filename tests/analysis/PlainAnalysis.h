#pragma once

#include <cstdint>

#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

// The wafer's kept disc and its rings in exact integer arithmetic, for whole
// millimetre figures, a whole Size and a centre on whole or half units,
// sharing nothing with the production code they check.
namespace plain {

struct Wafer {
    int Size;
    std::int64_t DiameterMm;  // 0: no wafer
    std::int64_t EdgeMm;
    double CentreX;  // whole or half units
    double CentreY;
};

// 4 * squared distance from the centre in file units: an exact integer.
inline std::int64_t FourDistanceSq(const Wafer& w, int x, int y) {
    const auto dx2 = static_cast<std::int64_t>(2 * x - 2 * w.CentreX);
    const auto dy2 = static_cast<std::int64_t>(2 * y - 2 * w.CentreY);
    return dx2 * dx2 + dy2 * dy2;
}

// Distance in mm at most diameter / 2 - edge:
// 4 s D^2 <= Size^2 (D - 2E)^2 with D - 2E >= 0; every cell of 0..Size
// without a wafer.
inline bool Inside(const Wafer& w, int x, int y) {
    if (x < 0 || y < 0 || x > w.Size || y > w.Size) return false;
    if (w.DiameterMm == 0) return true;
    const std::int64_t kept = w.DiameterMm - 2 * w.EdgeMm;
    if (kept < 0) return false;
    const std::int64_t size = w.Size;
    return FourDistanceSq(w, x, y) * w.DiameterMm * w.DiameterMm <= size * size * kept * kept;
}

// The ring of a cell: the largest k with k <= distance (in mm with a wafer,
// else in file units): k^2 Size^2 * 4 <= 4 s D^2.
inline int Ring(const Wafer& w, int x, int y) {
    const std::int64_t d = w.DiameterMm == 0 ? 1 : w.DiameterMm;
    const std::int64_t size = w.DiameterMm == 0 ? 1 : w.Size;
    const std::int64_t lhs = FourDistanceSq(w, x, y) * d * d;
    int k = 0;
    while (4 * static_cast<std::int64_t>(k + 1) * (k + 1) * size * size <= lhs)
        ++k;
    return k;
}

// The same wafer as the production code takes it.
inline WaferGeometry GeometryOf(const Wafer& w) {
    WaferGeometry g;
    g.DiameterMm = static_cast<double>(w.DiameterMm);
    g.EdgeExclusionMm = static_cast<double>(w.EdgeMm);
    g.CentreX = w.CentreX;
    g.CentreY = w.CentreY;
    return g;
}

}  // namespace plain
