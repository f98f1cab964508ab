#include "analysis/AreaStatistics.h"

#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

#include "data/Deviations.h"

namespace {

// The data values inside, gathered into out in x-major order while the sum
// and the first extremes are taken in the same pass. Kept out of line: inlined
// beside the sum of squares, the running extremes were kept on the stack
// through the whole loop, which then took twice as long.
struct Gathered {
    std::size_t Count = 0;
    double Sum = 0.0;
};

[[gnu::noinline]] Gathered GatherInside(const ThkData& record, const AnalysisMask& mask, double* out,
                                        AreaStatistics& stats) {
    std::size_t n = 0;
    double sum = 0.0;
    double min = RunningMinStart;
    double max = -RunningMinStart;
    int minX = -1;
    int minY = -1;
    int maxX = -1;
    int maxY = -1;
    for (int x = 0; x <= mask.Size(); ++x) {
        const ColumnSpan span = mask.Column(x);
        const double* column = record.Value[x];
        for (int y = span.First; y <= span.Last; ++y) {
            const double v = column[y];
            if (!HasData(v)) continue;
            out[n++] = v;
            sum += v;
            // Strict comparisons keep the first extreme met in x-major order.
            if (v < min) {
                min = v;
                minX = x;
                minY = y;
            }
            if (v > max) {
                max = v;
                maxX = x;
                maxY = y;
            }
        }
    }
    stats.Min = min;
    stats.MinX = minX;
    stats.MinY = minY;
    stats.Max = max;
    stats.MaxX = maxX;
    stats.MaxY = maxY;
    return {n, sum};
}

}  // namespace

void CompleteFigures(AreaStatistics& stats, const double* values, std::size_t count, double sum) {
    stats.Count = static_cast<long>(count);
    stats.Mean = sum / static_cast<double>(count);
    if (count > 1)
        stats.Sigma =
            std::sqrt(SumOfSquaredDeviations(values, count, stats.Mean) / static_cast<double>(count - 1));
    stats.Range = stats.Max - stats.Min;
    if (stats.Max + stats.Min != 0.0)
        stats.UniformityMaxMinPct = stats.Range / (stats.Max + stats.Min) * 100.0;
    if (stats.Mean != 0.0) {
        stats.UniformityPct = stats.Range / (stats.Mean * 2.0) * 100.0;
        stats.Sigma1Pct = stats.Sigma * 1.0 / stats.Mean * 100.0;
        stats.Sigma3Pct = stats.Sigma * 3.0 / stats.Mean * 100.0;
    }
}

namespace {

// The figures with values (room for every cell inside the mask) to gather the
// data values in.
AreaStatistics GatheredStatistics(const ThkData& record, const AnalysisMask& mask, double* values) {
    AreaStatistics stats;
    const Gathered data = GatherInside(record, mask, values, stats);
    if (data.Count == 0) return AreaStatistics{};
    CompleteFigures(stats, values, data.Count, data.Sum);
    return stats;
}

}  // namespace

AreaStatistics CalcAreaStatistics(const ThkData& record, const AnalysisMask& mask) {
    // Only the values gathered are read, so the buffer is not cleared.
    const auto values = std::make_unique_for_overwrite<double[]>(static_cast<std::size_t>(mask.CellCount()));
    return GatheredStatistics(record, mask, values.get());
}

AreaStatistics CalcAreaStatistics(const ThkData& record, const AnalysisMask& mask,
                                  std::vector<double>& scratch) {
    if (scratch.size() < static_cast<std::size_t>(mask.CellCount()))
        scratch.resize(static_cast<std::size_t>(mask.CellCount()));
    return GatheredStatistics(record, mask, scratch.data());
}
