#include "analysis/SitePairing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <utility>

double SiteToleranceUnits(const WaferFrame& frame) {
    return frame.HasWafer ? 0.5 / frame.MmPerUnit : 0.5;
}

namespace {

struct Candidate {
    double DistanceSq;
    int First;
    int Second;
};

// Buckets of side at least the tolerance: a partner lies in the bucket of
// its site or one of the eight around it.
std::int64_t BucketKey(std::int64_t bx, std::int64_t by) {
    return bx * 4'000'003 + by;
}

}  // namespace

std::vector<int> MatchSites(std::span<const CellPosition> first, std::span<const CellPosition> second,
                            double tolerance) {
    std::vector<int> partner(first.size(), -1);
    if (!(tolerance >= 0.0) || first.empty() || second.empty()) return partner;
    const double side = std::max(tolerance, 1e-6);
    const auto bucket = [side](double v) { return static_cast<std::int64_t>(std::floor(v / side)); };
    std::vector<std::pair<std::int64_t, int>> buckets;
    buckets.reserve(second.size());
    for (std::size_t j = 0; j < second.size(); ++j)
        buckets.emplace_back(BucketKey(bucket(second[j].X), bucket(second[j].Y)), static_cast<int>(j));
    std::sort(buckets.begin(), buckets.end());

    const double limitSq = tolerance * tolerance;
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const std::int64_t bx = bucket(first[i].X), by = bucket(first[i].Y);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto key = BucketKey(bx + dx, by + dy);
                auto at = std::lower_bound(buckets.begin(), buckets.end(), std::pair(key, -1));
                for (; at != buckets.end() && at->first == key; ++at) {
                    const double ex = second[at->second].X - first[i].X;
                    const double ey = second[at->second].Y - first[i].Y;
                    const double d = ex * ex + ey * ey;
                    if (d <= limitSq) candidates.push_back({d, static_cast<int>(i), at->second});
                }
            }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return std::tie(a.DistanceSq, a.First, a.Second) < std::tie(b.DistanceSq, b.First, b.Second);
    });
    std::vector<char> taken(second.size(), 0);
    for (const Candidate& c : candidates) {
        if (partner[c.First] >= 0 || taken[c.Second]) continue;
        partner[c.First] = c.Second;
        taken[c.Second] = 1;
    }
    return partner;
}

std::vector<ThkPoint> SitesOf(const ThkData& raw, std::vector<CellPosition>& cells) {
    std::vector<ThkPoint> sites;
    cells.clear();
    if (!raw.Points.empty()) {
        sites = raw.Points;
        for (const ThkPoint& p : sites)
            cells.push_back(CellOf(raw, p));
        return sites;
    }
    const int size = std::clamp(static_cast<int>(raw.Size), 0, ThkMaxSize);
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y)
            if (HasData(raw.Value[x][y])) {
                sites.push_back({double(x), double(y), raw.Value[x][y], static_cast<int>(sites.size()) + 1});
                cells.push_back({double(x), double(y)});
            }
    return sites;
}

double SurfaceAt(const ThkData& surface, double x, double y) {
    const int size = std::clamp(static_cast<int>(surface.Size), 0, ThkMaxSize);
    if (!(x >= -0.5 && y >= -0.5 && x <= size + 0.5 && y <= size + 0.5)) return NoData;
    const int x0 = std::clamp(static_cast<int>(std::floor(x)), 0, size);
    const int y0 = std::clamp(static_cast<int>(std::floor(y)), 0, size);
    const int x1 = std::min(x0 + 1, size), y1 = std::min(y0 + 1, size);
    const double a = surface.Value[x0][y0], b = surface.Value[x1][y0];
    const double c = surface.Value[x0][y1], d = surface.Value[x1][y1];
    if (HasData(a) && HasData(b) && HasData(c) && HasData(d)) {
        const double fx = std::clamp(x - x0, 0.0, 1.0), fy = std::clamp(y - y0, 0.0, 1.0);
        return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
    }
    const int nx = std::clamp(static_cast<int>(std::lround(x)), 0, size);
    const int ny = std::clamp(static_cast<int>(std::lround(y)), 0, size);
    return surface.Value[nx][ny];
}

std::vector<PairedSite> PairSites(const ThkData& firstRaw, const ThkData& firstSurface,
                                  const ThkData& secondRaw, const ThkData& secondSurface,
                                  const WaferFrame& frame, double toleranceUnits, DifferenceOrder order,
                                  double time) {
    std::vector<CellPosition> firstCells, secondCells;
    const std::vector<ThkPoint> a = SitesOf(firstRaw, firstCells);
    const std::vector<ThkPoint> b = SitesOf(secondRaw, secondCells);
    const std::vector<int> partner = MatchSites(firstCells, secondCells, toleranceUnits);
    std::vector<char> paired(b.size(), 0);
    for (const int j : partner)
        if (j >= 0) paired[j] = 1;

    std::vector<PairedSite> sites;
    sites.reserve(a.size() + b.size());
    // Millimetre points are placed from the middle of the square; from the
    // frame's centre they lie that offset further, exactly 0 for a wafer at
    // the middle, so a site typed at 30.57 mm reads back as 30.57.
    const auto place = [&](const ThkData& raw, const ThkPoint& p, const CellPosition& at) {
        if (!raw.PointsInMm) return std::pair(MmFromCentreX(frame, at.X), MmFromCentreY(frame, at.Y));
        const double middle = raw.Size / 2.0;
        return std::pair((p.X + (middle - frame.CentreX)) * frame.MmPerUnit,
                         (p.Y + (frame.CentreY - middle)) * frame.MmPerUnit);
    };
    const auto add = [&](const ThkData& raw, const ThkPoint& p, const CellPosition& at, double first,
                         double second, bool interpolated) {
        if (!HasData(first) || !HasData(second)) return;
        double d = order == DifferenceOrder::FirstMinusSecond ? first - second : second - first;
        if (time > 0.0) d /= time;
        const auto [x, y] = place(raw, p, at);
        sites.push_back({p.Site, at.X, at.Y, x, y, p, first, second, d, interpolated});
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (partner[i] >= 0)
            add(firstRaw, a[i], firstCells[i], a[i].Z, b[partner[i]].Z, false);
        else
            add(firstRaw, a[i], firstCells[i], a[i].Z,
                SurfaceAt(secondSurface, firstCells[i].X, firstCells[i].Y), true);
    }
    for (std::size_t j = 0; j < b.size(); ++j)
        if (!paired[j])
            add(secondRaw, b[j], secondCells[j], SurfaceAt(firstSurface, secondCells[j].X, secondCells[j].Y),
                b[j].Z, true);
    return sites;
}

void KeepPairedSites(const std::vector<PairedSite>& sites, const ThkData& firstRaw, ThkData& difference) {
    difference.Points.clear();
    difference.PointsInMm = firstRaw.PointsInMm;
    for (const PairedSite& s : sites)
        if (!s.Interpolated) difference.Points.push_back({s.At.X, s.At.Y, s.Difference, s.Site});
}
