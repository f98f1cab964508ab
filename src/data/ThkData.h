#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "core/Codes.h"

// One thickness data set: a square area of integer coordinates 0..500 with one
// value per cell, addressed by the coordinate itself (Value[40][120] is the
// value at X = 40, Y = 120, whatever the pitch). A record is about 2 MB: own it
// on the heap (std::make_unique<ThkData>()), pass it by reference, never copy
// it casually.

inline constexpr int ThkGridDim = 501;      // cells per axis, coordinates 0..500
inline constexpr int ThkMaxSize = 500;      // largest Size and largest coordinate
inline constexpr double NoData = -99999.0;  // value of an empty cell
// Statistics of a record that holds no value.
inline constexpr double StatInitMin = 99999.0;
inline constexpr double StatInitMax = -99999.0;
// Where a running minimum starts: above every value, so films thicker than
// 99999 keep their true minimum. Only a record without values keeps
// StatInitMin.
inline constexpr double RunningMinStart = std::numeric_limits<double>::infinity();

// A cell holds data only when its value is strictly greater than NoData.
inline bool HasData(double value) {
    return value > NoData;
}

// Number of the n cells from cells on that hold data.
int CountData(const double* cells, int n);

// One measured site as its producer read it: X and Y in the producer's units
// (mm from the wafer centre, +Y up, for a table in millimetres; cells
// otherwise), the value, and the site number (the file's own, or the order
// in the file from 1).
struct ThkPoint {
    double X;
    double Y;
    double Z;
    int Site;
};

// Where a measured site lies in the record's cells (fractional, y downward):
// a millimetre point from the middle of the Size square, +Y up.
struct CellPosition {
    double X;
    double Y;
};

struct ThkData {
    bool Valid = false;
    std::string Name;
    // The thickness unit, UTF-8: "Å", "nm" or "µm" as a table's header names it
    // (any spelling), another text as a caller gives it; empty when the
    // source names none, as a .thk file never does.
    std::string Unit;
    // The measured sites in file order, beside the cells they were rounded
    // to; empty when the producer keeps none (a .thk file, Grid and Fill).
    // Only as long as the file, never a cell-sized store.
    std::vector<ThkPoint> Points;
    // Whether Points are in mm from the centre of the Size square (+Y up, one
    // mm a cell, as a table in millimetres is placed) rather than in cells.
    bool PointsInMm = false;
    std::int32_t Count = 0;
    std::int32_t Size = 0;
    std::int32_t PitchX = 0;
    std::int32_t PitchY = 0;
    std::int32_t ExtentX = 0;
    std::int32_t ExtentY = 0;
    double Value[ThkGridDim][ThkGridDim];  // [x][y]
    double Divisor = 1.0;
    double Min = StatInitMin;
    double Max = StatInitMax;
    double RangeMin = StatInitMin;
    double RangeMax = StatInitMax;
    double Mean = NoData;
    double Range = 0.0;
    double Sigma = NoData;
    double Ratio = 0.0;
    double UniformityPct = 0.0;
    double Sigma1Pct = 0.0;
    double Sigma3Pct = 0.0;
    ThkData();
    ThkData(const ThkData&) = delete;
    ThkData& operator=(const ThkData&) = delete;
};

// The cell position of a measured site of record (see PointsInMm).
inline CellPosition CellOf(const ThkData& record, const ThkPoint& p) {
    if (!record.PointsInMm) return {p.X, p.Y};
    const double centre = record.Size / 2.0;
    return {centre + p.X, centre - p.Y};
}

// Resets n consecutive records: every cell empty, no points (their memory
// given back), Divisor 1.0, Count 0, Valid false, statistics to their start
// values. Size, pitches, extents, Range, Ratio, the percentages, Name and
// Unit keep their values.
void ClearThkData(ThkData* records, int n);

// Makes to a copy of from, every field, every cell and every point.
void CopyThkData(const ThkData& from, ThkData& to);

// ClearThkData without the cells: for a producer that writes every cell itself.
void ResetThkFields(ThkData& record);

// Mean of all cells holding data; NoData when there is none.
double CalcMean(const ThkData& record);

// Square root of the sum of squared deviations from CalcMean divided by the
// number of data cells plus one; 0 when there is no data.
double CalcSigma(const ThkData& record);

// Recomputes Count, Min, Max, RangeMin, RangeMax, Range, Mean and Sigma from the
// cells; does nothing when the record is not Valid.
void RecalcStatistics(ThkData& record);

// Stores a producer's running min and max as Min/RangeMin and Max/RangeMax
// (a min still at RunningMinStart, no value seen, is stored as StatInitMin),
// their difference as Range, and Mean and Sigma computed from the cells.
void StoreStatistics(ThkData& record, double min, double max);

// Mean and Sigma as StoreStatistics computes them from the cells, for a
// producer that holds every cell that may hold data in x-major order in
// single precision (values at or below the empty value are skipped).
struct MeanAndSigma {
    double Mean;
    double Sigma;
};
MeanAndSigma MeanAndSigmaOf(std::span<const float> values);

// What the mean of single-precision values needs to know of them, gathered
// piece by piece: pieces may be summarised on any thread and merged in any
// order. Read off the bit patterns, where the magnitudes of non-negative
// floats order like the patterns.
struct FloatSummary {
    std::uint32_t Largest = 0;                  // largest magnitude (above 0x7F800000: a NaN)
    std::uint32_t SmallestLess1 = 0xFFFFFFFFu;  // smallest magnitude - 1; a zero wraps to the top
    std::uint32_t LargestNegative = 0;          // largest magnitude of a negative value
    double LaneSum = 0.0;      // the values' sum in lanes: exact only where MeanAndSigmaOf finds it so
    double LaneSquares = 0.0;  // the sum of their squares in lanes, for estimates

    bool AllFinite() const { return Largest < 0x7F800000u; }
};
FloatSummary SummariseFloats(const float* values, std::size_t n);
void MergeSummary(FloatSummary& into, const FloatSummary& piece);

// MeanAndSigmaOf(values) given the merged summary of all the values.
MeanAndSigma MeanAndSigmaOf(std::span<const float> values, const FloatSummary& summary);

// The same in two steps, for a producer that sums the squared deviations
// itself: the mean (NoData when no value has data) with the data values it
// is taken over (the values themselves, or, when some are no data, the data
// values copied into compacted), and the sigma from the sum of the data
// values' squared deviations from the mean.
struct DataMean {
    double Mean;
    const float* Data;
    std::size_t Count;
};
DataMean MeanOf(std::span<const float> values, const FloatSummary& summary, std::vector<float>& compacted);
// The divisor is the number of data cells plus one, by design of the
// statistics shown to users; it keeps a single point at sigma 0.
double SigmaOf(double squares, std::size_t count);

// StoreStatistics with Mean and Sigma already known.
void StoreStatistics(ThkData& record, double min, double max, MeanAndSigma moments);

// RecalcStatistics for a producer that holds, beside the record, every cell
// that may hold data in x-major order (every other cell empty): the same bits
// without reading the record's cells.
void RecalcStatisticsOf(ThkData& record, std::span<const double> values);

// The text readers' extra ratios: Ratio from Min/Max, the three percentages
// from Range, Sigma and Mean (each 0 when its divisor is 0).
void CalcTextRatios(ThkData& record);

// The display condition of the colour map: which values it shows.
struct DisplayCondition {
    bool Enabled = false;
    ConditionMode Mode = ConditionMode::Below;
    double Low = 0.0;
    double High = 1.0;
};

// Display condition test (see ConditionMode). Disabled passes every value; a
// two-sided mode with low not below high passes none.
bool TestValueCondition(double value, bool enabled, ConditionMode mode, double low, double high);
