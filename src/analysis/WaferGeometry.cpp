#include "analysis/WaferGeometry.h"

#include <algorithm>
#include <cmath>

#include "data/ThkData.h"

WaferFault CheckWaferGeometry(const WaferGeometry& g) {
    // Written so that a NaN fails every test.
    if (!(g.DiameterMm >= 0.0 && g.DiameterMm <= MaxWaferDiameterMm)) return WaferFault::Diameter;
    if (!(g.EdgeExclusionMm >= 0.0 && std::isfinite(g.EdgeExclusionMm))) return WaferFault::Edge;
    const auto inArea = [](const std::optional<double>& c) { return !c || (*c >= 0.0 && *c <= ThkMaxSize); };
    if (!inArea(g.CentreX) || !inArea(g.CentreY)) return WaferFault::Centre;
    return WaferFault::None;
}

WaferFrame FrameOf(const WaferGeometry& g, int size) {
    WaferFrame frame;
    frame.Size = std::clamp(size, 0, ThkMaxSize);
    const double middle = frame.Size / 2.0;
    frame.CentreX = g.CentreX.value_or(middle);
    frame.CentreY = g.CentreY.value_or(middle);
    frame.HasWafer = g.DiameterMm > 0.0 && frame.Size >= 1;
    if (!frame.HasWafer) return frame;
    frame.MmPerUnit = g.DiameterMm / frame.Size;
    // The kept radius (diameter / 2 - edge) mm in file units, as
    // Size * (diameter - 2 edge) / (2 diameter): one subtraction and one
    // division, so whole figures give the exact radius wherever it is a
    // whole or half unit.
    const double keptUnits = frame.Size * (g.DiameterMm - 2.0 * g.EdgeExclusionMm) / (2.0 * g.DiameterMm);
    frame.KeptRadiusSqUnits = keptUnits < 0.0 ? -1.0 : keptUnits * keptUnits;
    return frame;
}

bool InsideKeptDisc(const WaferFrame& frame, double distanceSqUnits) {
    if (!frame.HasWafer) return true;
    return distanceSqUnits <= frame.KeptRadiusSqUnits * (1.0 + CircleSlack);
}
