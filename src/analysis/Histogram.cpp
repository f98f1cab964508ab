#include "analysis/Histogram.h"

#include <cmath>
#include <cstddef>
#include <limits>

Histogram CalcHistogram(const ThkData& record, const AnalysisMask& mask, int bins) {
    Histogram h;
    if (bins < 1) return h;
    const std::size_t n = static_cast<std::size_t>(bins);
    h.Edges.assign(n + 1, 0.0);
    h.Counts.assign(n, 0);

    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    for (int x = 0; x <= mask.Size(); ++x) {
        const ColumnSpan span = mask.Column(x);
        for (int y = span.First; y <= span.Last; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            if (v < min) min = v;
            if (v > max) max = v;
            ++h.Total;
        }
    }
    if (h.Total == 0) return h;
    h.Min = min;
    h.Max = max;
    const double range = max - min;
    for (std::size_t i = 0; i < n; ++i)
        h.Edges[i] = min + static_cast<double>(i) * range / bins;
    h.Edges[n] = max;
    if (range == 0.0) {
        h.Counts[0] = h.Total;
        return h;
    }

    const double width = range / bins;
    const double lastBin = static_cast<double>(n - 1);
    for (int x = 0; x <= mask.Size(); ++x) {
        const ColumnSpan span = mask.Column(x);
        for (int y = span.First; y <= span.Last; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            const double q = std::floor((v - min) / width);
            std::size_t b = static_cast<std::size_t>(q < 0.0 ? 0.0 : (q > lastBin ? lastBin : q));
            while (b > 0 && v < h.Edges[b])
                --b;
            while (b + 1 < n && v >= h.Edges[b + 1])
                ++b;
            ++h.Counts[b];
        }
    }
    return h;
}
