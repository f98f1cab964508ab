#pragma once

#include <vector>

#include "analysis/AnalysisMask.h"
#include "data/ThkData.h"

// Counts of the data values inside a mask in bins of equal width over
// [Min, Max] of those values.
struct Histogram {
    double Min = 0.0;  // of the values counted; 0 without any
    double Max = 0.0;
    // Bins + 1 edges, Edges[i] = Min + i * (Max - Min) / Bins (evaluated in
    // that order), the last one Max itself. All 0 without any value; all Min
    // when every value is the same.
    std::vector<double> Edges;
    std::vector<long> Counts;  // Bins counts
    long Total = 0;
};

// A value v lands in bin floor((v - Min) / width), width = (Max - Min) / Bins,
// clamped to the last bin (the last bin is closed at Max). Where rounding of
// that quotient disagrees with the edges, the bin is moved to the one whose
// edges hold v, so a value exactly on Edges[i] is counted in bin i and the
// counts always agree with the edges drawn. When Max == Min every value is
// counted in bin 0. Bins below 1 give an empty histogram (no edges, no
// counts).
Histogram CalcHistogram(const ThkData& record, const AnalysisMask& mask, int bins);
