#pragma once

#include <cmath>
#include <cstddef>
#include <limits>

#include "data/ThkData.h"

// The record statistics as the plain loops define them, sharing nothing with
// the production code they check: the data cells in x-major order, the sum
// added in that order from +0, the squared deviations likewise, the divisor of
// sigma the data count plus one, and the extremes of one running scan.
namespace plain {

struct Moments {
    double Mean;
    double Sigma;
};

inline Moments MomentsOf(const ThkData& record) {
    double sum = 0.0;
    std::size_t n = 0;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            if (record.Value[x][y] > NoData) {
                sum += record.Value[x][y];
                ++n;
            }
    if (n == 0) return {NoData, 0.0};
    const double mean = sum / static_cast<double>(n);
    double squares = 0.0;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            if (record.Value[x][y] > NoData) {
                const double d = record.Value[x][y] - mean;
                squares += d * d;
            }
    return {mean, std::sqrt(squares / static_cast<double>(n + 1))};
}

// Count, extremes, range, mean and sigma of a valid record's data cells (an
// invalid record is left as it is); a minimum that saw no value is stored as
// the start value of the minimum.
inline void RecalcStatistics(ThkData& record) {
    if (!record.Valid) return;
    double min = std::numeric_limits<double>::infinity();
    double max = StatInitMax;
    int count = 0;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!(v > NoData)) continue;
            if (min > v) min = v;
            if (v > max) max = v;
            ++count;
        }
    if (min == std::numeric_limits<double>::infinity()) min = StatInitMin;
    record.Count = count;
    record.Min = record.RangeMin = min;
    record.Max = record.RangeMax = max;
    record.Range = max - min;
    const Moments m = MomentsOf(record);
    record.Mean = m.Mean;
    record.Sigma = m.Sigma;
}

}  // namespace plain
