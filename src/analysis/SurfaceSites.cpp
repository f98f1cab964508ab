#include "analysis/SurfaceSites.h"

#include <algorithm>
#include <cmath>

std::vector<SurfaceSite> SitesOf(const ThkData& raw, PointUnits units) {
    std::vector<SurfaceSite> sites;
    const int size = std::clamp(raw.Size, 0, ThkMaxSize);
    if (!raw.Points.empty()) {
        const bool mm = units == PointUnits::Millimetres;
        const double centre = size / 2.0;
        sites.reserve(raw.Points.size());
        for (const ThkPoint& p : raw.Points) {
            const double x = mm ? centre + p.X : p.X;
            const double y = mm ? centre - p.Y : p.Y;
            const double cx = std::round(x);
            const double cy = std::round(y);
            if (!(cx >= 0.0 && cx <= size && cy >= 0.0 && cy <= size)) continue;
            sites.push_back({x, y, p.Z, p.Site, static_cast<int>(cx), static_cast<int>(cy)});
        }
        return sites;
    }
    int number = 0;
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y)
            if (HasData(raw.Value[x][y]))
                sites.push_back({double(x), double(y), raw.Value[x][y], ++number, x, y});
    return sites;
}

SiteExtremes ExtremesOf(const std::vector<SurfaceSite>& sites) {
    if (sites.empty()) return {};
    SiteExtremes e{sites.front().Value, sites.front().Value};
    for (const SurfaceSite& s : sites) {
        e.Min = std::min(e.Min, s.Value);
        e.Max = std::max(e.Max, s.Value);
    }
    return e;
}
