#include "analysis/AreaStatistics.h"

#include <cstddef>
#include <memory>

#include "data/Deviations.h"

namespace {

// The data values inside, gathered in x-major order while the sum and the
// first extremes are taken in the same pass. The buffer is the calling
// thread's scratch, overwritten by the next call.
struct Gathered {
    const double* Values = nullptr;
    std::size_t Count = 0;
    double Sum = 0.0;
};

Gathered GatherInside(const ThkData& record, const AnalysisMask& mask, AreaStatistics& stats) {
    thread_local std::unique_ptr<double[]> buffer;
    if (!buffer) buffer = std::make_unique<double[]>(static_cast<std::size_t>(ThkGridDim) * ThkGridDim);
    double* out = buffer.get();
    std::size_t n = 0;
    double sum = 0.0;
    double min = RunningMinStart;
    double max = -RunningMinStart;
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
                stats.MinX = x;
                stats.MinY = y;
            }
            if (v > max) {
                max = v;
                stats.MaxX = x;
                stats.MaxY = y;
            }
        }
    }
    stats.Min = min;
    stats.Max = max;
    return {out, n, sum};
}

}  // namespace

AreaStatistics CalcAreaStatistics(const ThkData& record, const AnalysisMask& mask) {
    AreaStatistics stats;
    const Gathered data = GatherInside(record, mask, stats);
    if (data.Count == 0) return AreaStatistics{};
    stats.Count = static_cast<long>(data.Count);
    stats.Mean = data.Sum / static_cast<double>(data.Count);
    stats.Sigma = SigmaOf(SumOfSquaredDeviations(data.Values, data.Count, stats.Mean), data.Count);
    stats.Range = stats.Max - stats.Min;
    if (stats.Mean != 0.0) {
        stats.UniformityPct = stats.Range / (stats.Mean * 2.0) * 100.0;
        stats.Sigma1Pct = stats.Sigma * 1.0 / stats.Mean * 100.0;
        stats.Sigma3Pct = stats.Sigma * 3.0 / stats.Mean * 100.0;
    }
    return stats;
}
