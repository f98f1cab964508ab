#include "analysis/SiteStatistics.h"

#include <cmath>
#include <vector>

#include "data/Deviations.h"

SiteStatistics CalcSiteStatistics(const ThkData& record, const AnalysisMask& mask) {
    SiteStatistics result;
    if (record.Points.empty()) {
        result.Figures = CalcAreaStatistics(record, mask);
        return result;
    }
    const WaferFrame& frame = mask.Frame();
    std::vector<double> values;
    values.reserve(record.Points.size());
    AreaStatistics& s = result.Figures;
    double sum = 0.0;
    for (const ThkPoint& p : record.Points) {
        const CellPosition at = CellOf(record, p);
        const double dx = at.X - frame.CentreX;
        const double dy = at.Y - frame.CentreY;
        if (!(at.X >= -0.5 && at.Y >= -0.5 && at.X <= frame.Size + 0.5 && at.Y <= frame.Size + 0.5)) continue;
        if (!InsideKeptDisc(frame, dx * dx + dy * dy)) continue;
        const auto cellX = static_cast<int>(std::lround(at.X));
        const auto cellY = static_cast<int>(std::lround(at.Y));
        // Strict comparisons keep the first extreme met in file order.
        if (values.empty() || p.Z < s.Min) {
            s.Min = p.Z;
            s.MinX = cellX;
            s.MinY = cellY;
            result.MinSite = p.Site;
        }
        if (values.empty() || p.Z > s.Max) {
            s.Max = p.Z;
            s.MaxX = cellX;
            s.MaxY = cellY;
            result.MaxSite = p.Site;
        }
        values.push_back(p.Z);
        sum += p.Z;
    }
    if (values.empty()) return SiteStatistics{};
    CompleteFigures(s, values.data(), values.size(), sum);
    return result;
}
