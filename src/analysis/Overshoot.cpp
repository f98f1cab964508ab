#include "analysis/Overshoot.h"

#include <algorithm>

Overshoot FindOvershoot(const ThkData& surface, const std::vector<SurfaceSite>& sites,
                        const WaferFrame& frame) {
    Overshoot o;
    if (sites.empty()) return o;
    const SiteExtremes e = ExtremesOf(sites);
    o.SitesMin = e.Min;
    o.SitesMax = e.Max;
    o.Allowance = OvershootShare * (e.Max - e.Min);
    const int size = std::clamp(surface.Size, 0, ThkMaxSize);
    bool seen = false;
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y) {
            const double v = surface.Value[x][y];
            if (!HasData(v) || !InsideKeptDisc(frame, DistanceSqUnits(frame, x, y))) continue;
            if (!seen || v < o.Below.Value) o.Below = {false, v, x, y, 0.0};
            if (!seen || v > o.Above.Value) o.Above = {false, v, x, y, 0.0};
            seen = true;
        }
    if (!seen) return o;
    o.Below.Excess = e.Min - o.Below.Value;
    o.Above.Excess = o.Above.Value - e.Max;
    o.Below.Beyond = o.Below.Excess > o.Allowance;
    o.Above.Beyond = o.Above.Excess > o.Allowance;
    return o;
}
