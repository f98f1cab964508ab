#include "data/ThkData.h"

#include <cmath>

ThkData::ThkData() {
    for (auto& column : Value)
        for (double& cell : column)
            cell = NoData;
}

void ClearThkData(ThkData* records, int n) {
    for (int i = 0; i < n; ++i) {
        ThkData& r = records[i];
        for (auto& column : r.Value)
            for (double& cell : column)
                cell = NoData;
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
}

double CalcMean(const ThkData& record) {
    double sum = 0.0;
    long count = 0;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (HasData(v)) {
                sum += v;
                ++count;
            }
        }
    }
    return count == 0 ? NoData : sum / static_cast<double>(count);
}

double CalcSigma(const ThkData& record) {
    const double mean = CalcMean(record);
    double sum = 0.0;
    long count = 0;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (HasData(v)) {
                const double d = v - mean;
                sum += d * d;
                ++count;
            }
        }
    }
    // The divisor is the number of data cells plus one, by design of the
    // statistics shown to users; it keeps a single point at sigma 0.
    return std::sqrt(sum / static_cast<double>(count + 1));
}

void RecalcStatistics(ThkData& record) {
    if (!record.Valid) return;
    double min = RunningMinStart;
    double max = StatInitMax;
    std::int32_t count = 0;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            ++count;
            if (min > v) min = v;
            if (v > max) max = v;
        }
    }
    record.Count = count;
    StoreStatistics(record, min, max);
}

void StoreStatistics(ThkData& record, double min, double max) {
    // A running minimum still at its start saw no value: the record keeps
    // the designed start value.
    if (min == RunningMinStart) min = StatInitMin;
    record.Min = record.RangeMin = min;
    record.Max = record.RangeMax = max;
    record.Range = max - min;
    record.Mean = CalcMean(record);
    record.Sigma = CalcSigma(record);
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
