#include "data/ThkData.h"

#include "core/LaneVectors.h"
#include "core/VectorClones.h"
#include "data/Deviations.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

ThkData::ThkData() {
    for (auto& column : Value)
        for (double& cell : column)
            cell = NoData;
}

namespace {

MORVAPLOT_VECTOR_BODY int CountDataBody(const double* cells, int n) {
    int count = 0;
    for (int i = 0; i < n; ++i)
        count += cells[i] > NoData ? 1 : 0;
    return count;
}

}  // namespace

int CountData(const double* cells, int n) {
    return RunVectorized<CountDataBody>(cells, n);
}

void ResetThkFields(ThkData& r) {
    std::vector<ThkPoint>().swap(r.Points);
    r.Divisor = 1.0;
    r.Count = 0;
    r.Valid = false;
    r.Min = StatInitMin;
    r.Max = StatInitMax;
    r.RangeMin = StatInitMin;
    r.RangeMax = StatInitMax;
    r.Mean = NoData;
    r.Sigma = NoData;
}

void CopyThkData(const ThkData& from, ThkData& to) {
    if (&from == &to) return;
    to.Valid = from.Valid;
    to.Name = from.Name;
    to.Unit = from.Unit;
    to.Points = from.Points;
    to.PointsInMm = from.PointsInMm;
    to.Count = from.Count;
    to.Size = from.Size;
    to.PitchX = from.PitchX;
    to.PitchY = from.PitchY;
    to.ExtentX = from.ExtentX;
    to.ExtentY = from.ExtentY;
    std::copy(&from.Value[0][0], &from.Value[0][0] + ThkGridDim * ThkGridDim, &to.Value[0][0]);
    to.Divisor = from.Divisor;
    to.Min = from.Min;
    to.Max = from.Max;
    to.RangeMin = from.RangeMin;
    to.RangeMax = from.RangeMax;
    to.Mean = from.Mean;
    to.Range = from.Range;
    to.Sigma = from.Sigma;
    to.Ratio = from.Ratio;
    to.UniformityPct = from.UniformityPct;
    to.Sigma1Pct = from.Sigma1Pct;
    to.Sigma3Pct = from.Sigma3Pct;
}

void ClearThkData(ThkData* records, int n) {
    for (int i = 0; i < n; ++i) {
        ThkData& r = records[i];
        for (auto& column : r.Value)
            std::fill(std::begin(column), std::end(column), NoData);
        ResetThkFields(r);
    }
}

namespace {

// use(values, count) on the data values of a record in x-major order (x
// outer, y inner), the order every statistic sums them in. They are gathered
// into a buffer of this call, which use must not keep.
template <typename Use>
decltype(auto) WithDataValues(const ThkData& record, const Use& use) {
    // Every value is written before it is read: the buffer is not cleared,
    // so only the pages its data fill are touched.
    const auto buffer =
        std::make_unique_for_overwrite<double[]>(static_cast<std::size_t>(ThkGridDim) * ThkGridDim);
    double* out = buffer.get();
    std::size_t n = 0;
    constexpr int Block = 8;
    for (int x = 0; x < ThkGridDim; ++x) {
        const double* column = record.Value[x];
        int y = 0;
        // Blocks without data (most of a lattice record) are passed over whole.
        if (CountData(column, ThkGridDim) == 0) continue;
        for (; y + Block <= ThkGridDim; y += Block) {
            int present = 0;
            for (int j = 0; j < Block; ++j)
                present += column[y + j] > NoData ? 1 : 0;
            if (present == 0) continue;
            for (int j = 0; j < Block; ++j) {
                out[n] = column[y + j];
                n += HasData(column[y + j]) ? 1 : 0;
            }
        }
        for (; y < ThkGridDim; ++y) {
            out[n] = column[y];
            n += HasData(column[y]) ? 1 : 0;
        }
    }
    return use(static_cast<const double*>(out), n);
}

// The sum s = s + v over the values in order, starting from +0.0.
template <typename T>
double SequentialSum(const T* values, std::size_t n) {
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        sum += static_cast<double>(values[i]);
    return sum;
}

// Whether the values' sum comes out exact in any order. Every float is a
// multiple of 2^(e - 23), e its binary exponent, so all of them are
// multiples of 2^(eMin - 23) for the smallest exponent eMin among the
// non-zero ones; while n * max|v| stays below 2^(eMin + 30), every partial
// sum of any subset is such a multiple under 2^53 times it, hence held
// exactly in double. No addition then rounds, in order or out of it, and
// both give the exact sum. A sum starting from +0.0 never becomes -0.0, so
// the lanes agree on zero too.
bool SumExactInAnyOrder(const FloatSummary& summary, std::size_t n) {
    const std::uint32_t smallest = summary.SmallestLess1 + 1u;
    const float largest = std::bit_cast<float>(summary.Largest);
    if (smallest == 0 || !(largest < std::numeric_limits<float>::infinity())) return false;
    int exponent = 0;
    std::frexp(std::bit_cast<float>(smallest), &exponent);  // smallest = f * 2^exponent, 0.5 <= f < 1
    const double bound = std::ldexp(1.0, exponent - 1 + 30);
    return static_cast<double>(n) * static_cast<double>(largest) < bound;
}

// Data is above -99999 (exact in float): a negative value at or beyond it,
// or a NaN, is none.
bool AnyEmpty(const FloatSummary& summary) {
    return summary.Largest > 0x7F800000u ||
           summary.LargestNegative >= std::bit_cast<std::uint32_t>(static_cast<float>(-NoData));
}

// Mean and sigma of data values given in x-major order, sum being their sum
// in that order.
template <typename T>
MeanAndSigma MomentsOf(const T* values, std::size_t n, double sum) {
    if (n == 0) return {NoData, 0.0};  // sigma: sqrt(0 / 1)
    const double mean = sum / static_cast<double>(n);
    return {mean, SigmaOf(SumOfSquaredDeviations(values, n, mean), n)};
}

double StoredMin(double min) {
    // A running minimum still at its start saw no value: the record keeps
    // the designed start value.
    return min == RunningMinStart ? StatInitMin : min;
}

void StoreRange(ThkData& record, double min, double max) {
    min = StoredMin(min);
    record.Min = record.RangeMin = min;
    record.Max = record.RangeMax = max;
    record.Range = max - min;
}

}  // namespace

double CalcMean(const ThkData& record) {
    return WithDataValues(record, [](const double* values, std::size_t n) {
        return n == 0 ? NoData : SequentialSum(values, n) / static_cast<double>(n);
    });
}

double CalcSigma(const ThkData& record) {
    return WithDataValues(record, [](const double* values, std::size_t n) {
        return MomentsOf(values, n, SequentialSum(values, n)).Sigma;
    });
}

namespace {

// Count, extremes, mean and sigma of a record from its data values, which are
// given compacted in x-major order.
void StoreRecalculated(ThkData& record, const double* values, std::size_t n) {
    double min = RunningMinStart;
    double max = StatInitMax;
    for (std::size_t i = 0; i < n; ++i) {
        if (min > values[i]) min = values[i];
        if (values[i] > max) max = values[i];
    }
    record.Count = static_cast<std::int32_t>(n);
    StoreStatistics(record, min, max, MomentsOf(values, n, SequentialSum(values, n)));
}

}  // namespace

void RecalcStatistics(ThkData& record) {
    if (!record.Valid) return;
    WithDataValues(record,
                   [&](const double* values, std::size_t n) { StoreRecalculated(record, values, n); });
}

void StoreStatistics(ThkData& record, double min, double max) {
    const MeanAndSigma moments = WithDataValues(record, [](const double* values, std::size_t n) {
        return MomentsOf(values, n, SequentialSum(values, n));
    });
    StoreStatistics(record, min, max, moments);
}

void RecalcStatisticsOf(ThkData& record, std::span<const double> values) {
    if (!record.Valid) return;
    // Every value is written before it is read, so the buffer is not cleared.
    const auto data = std::make_unique_for_overwrite<double[]>(values.size());
    std::size_t n = 0;
    for (const double v : values) {
        data[n] = v;
        n += HasData(v) ? 1 : 0;
    }
    StoreRecalculated(record, data.get(), n);
}

namespace {

MORVAPLOT_VECTOR_BODY FloatSummary SummariseFloatsBody(const float* values, std::size_t n) {
    // The patterns' largest as unsigned integers is the largest magnitude of
    // a negative value with its sign bit (when there is a negative value);
    // their largest as signed integers is the largest magnitude of a value
    // without one (when there is such a value, else it is negative).
    Bits32Lanes largestUnsigned{};
    SignedBits32Lanes largestSigned = SignedBits32Lanes{} + std::numeric_limits<std::int32_t>::min();
    Bits32Lanes smallestLess1 = Bits32Lanes{} - 1u;
    // Two sets of sums halve their chains of dependent additions; the sum's
    // order is free, as it is only used where it is exact in any order.
    DoubleLanes lane[2] = {};
    DoubleLanes squares[2] = {};
    std::size_t i = 0;
    for (; i + 2 * LaneCount <= n; i += 2 * LaneCount)
        for (int h = 0; h < 2; ++h) {
            Bits32Lanes bits;
            LoadLanes(bits, values + i + h * LaneCount);
            largestUnsigned = largestUnsigned > bits ? largestUnsigned : bits;
            const SignedBits32Lanes signedBits = reinterpret_cast<const SignedBits32Lanes&>(bits);
            largestSigned = largestSigned > signedBits ? largestSigned : signedBits;
            const Bits32Lanes less1 = (bits & 0x7FFFFFFFu) - 1u;
            smallestLess1 = smallestLess1 < less1 ? smallestLess1 : less1;
            DoubleLanes wide;
            WidenLanes(wide, values + i + h * LaneCount);
            lane[h] += wide;
            squares[h] += wide * wide;
        }
    std::uint32_t maxUnsigned = 0;
    std::int32_t maxSigned = std::numeric_limits<std::int32_t>::min();
    FloatSummary summary;
    for (int j = 0; j < LaneCount; ++j) {
        maxUnsigned = std::max(maxUnsigned, largestUnsigned[j]);
        maxSigned = std::max(maxSigned, largestSigned[j]);
        summary.SmallestLess1 = std::min(summary.SmallestLess1, smallestLess1[j]);
    }
    for (; i < n; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, values + i, sizeof bits);
        maxUnsigned = std::max(maxUnsigned, bits);
        maxSigned = std::max(maxSigned, static_cast<std::int32_t>(bits));
        summary.SmallestLess1 = std::min(summary.SmallestLess1, (bits & 0x7FFFFFFFu) - 1u);
        const double v = static_cast<double>(values[i]);
        summary.LaneSum += v;
        summary.LaneSquares += v * v;
    }
    summary.LargestNegative = maxUnsigned >= 0x80000000u ? maxUnsigned & 0x7FFFFFFFu : 0u;
    summary.Largest =
        std::max(maxSigned >= 0 ? static_cast<std::uint32_t>(maxSigned) : 0u, summary.LargestNegative);
    for (int h = 0; h < 2; ++h)
        for (int j = 0; j < LaneCount; ++j) {
            summary.LaneSum += lane[h][j];
            summary.LaneSquares += squares[h][j];
        }
    return summary;
}

}  // namespace

FloatSummary SummariseFloats(const float* values, std::size_t n) {
    return RunVectorized<SummariseFloatsBody>(values, n);
}

void MergeSummary(FloatSummary& into, const FloatSummary& piece) {
    into.Largest = std::max(into.Largest, piece.Largest);
    into.SmallestLess1 = std::min(into.SmallestLess1, piece.SmallestLess1);
    into.LargestNegative = std::max(into.LargestNegative, piece.LargestNegative);
    into.LaneSum += piece.LaneSum;
    into.LaneSquares += piece.LaneSquares;
}

DataMean MeanOf(std::span<const float> values, const FloatSummary& summary, std::vector<float>& compacted) {
    const float* data = values.data();
    std::size_t n = values.size();
    const FloatSummary* facts = &summary;
    // Single-precision values that are no data are rare enough to pay for a
    // compacted copy; otherwise the values are used as they stand.
    FloatSummary ofCompacted;
    if (AnyEmpty(summary)) {
        compacted.resize(values.size());
        n = 0;
        for (const float v : values) {
            compacted[n] = v;
            n += HasData(v) ? 1 : 0;
        }
        data = compacted.data();
        ofCompacted = SummariseFloats(data, n);
        facts = &ofCompacted;
    }
    if (n == 0) return {NoData, data, 0};
    const double sum = SumExactInAnyOrder(*facts, n) ? facts->LaneSum : SequentialSum(data, n);
    return {sum / static_cast<double>(n), data, n};
}

double SigmaOf(double squares, std::size_t count) {
    return std::sqrt(squares / static_cast<double>(count + 1));
}

MeanAndSigma MeanAndSigmaOf(std::span<const float> values, const FloatSummary& summary) {
    std::vector<float> compacted;
    const DataMean mean = MeanOf(values, summary, compacted);
    if (mean.Count == 0) return {NoData, 0.0};
    return {mean.Mean, SigmaOf(SumOfSquaredDeviations(mean.Data, mean.Count, mean.Mean), mean.Count)};
}

MeanAndSigma MeanAndSigmaOf(std::span<const float> values) {
    return MeanAndSigmaOf(values, SummariseFloats(values.data(), values.size()));
}

void StoreStatistics(ThkData& record, double min, double max, MeanAndSigma moments) {
    StoreRange(record, min, max);
    record.Mean = moments.Mean;
    record.Sigma = moments.Sigma;
}

void CalcTextRatios(ThkData& record) {
    const double sum = record.Max + record.Min;
    record.Ratio = sum != 0.0 ? record.Range / sum : 0.0;
    if (record.Mean != 0.0) {
        record.UniformityPct = record.Range / (record.Mean * 2.0) * 100.0;
        record.Sigma1Pct = record.Sigma * 1.0 / record.Mean * 100.0;
        record.Sigma3Pct = record.Sigma * 3.0 / record.Mean * 100.0;
    } else {
        record.UniformityPct = 0.0;
        record.Sigma1Pct = 0.0;
        record.Sigma3Pct = 0.0;
    }
}

bool TestValueCondition(double value, bool enabled, ConditionMode mode, double low, double high) {
    if (!enabled) return true;
    switch (mode) {
        case ConditionMode::Below:
            return value < low;
        case ConditionMode::AtMost:
            return value <= low;
        case ConditionMode::Above:
            return value > low;
        case ConditionMode::AtLeast:
            return value >= low;
        case ConditionMode::Inside:
            return low < high && low < value && value < high;
        case ConditionMode::Within:
            return low < high && low <= value && value <= high;
    }
    return false;
}
