#pragma once

#include <cstddef>
#include <vector>

#include "analysis/AnalysisMask.h"
#include "data/ThkData.h"

// The figures an engineer reports for the data cells of a record inside a
// mask. Mean is the record's own (data values summed in x-major order from +0
// in double, divided by the count), so with no wafer it equals the record's
// Mean bit for bit. Sigma is the sample standard deviation, the squared
// deviations summed in the same order and divided by count - 1, as
// metrology tools, spreadsheets and SPC report it; the record's own Sigma
// (main window, stats) keeps its divisor count + 1.
//
// Without a data cell inside: Count 0, every value 0 and every position -1
// (no cell). The figures of the raw sites alone are these of the Raw record.
struct AreaStatistics {
    long Count = 0;
    double Mean = 0.0;
    double Min = 0.0;
    int MinX = -1;  // the first minimum in x-major order (x outer, y inner)
    int MinY = -1;
    double Max = 0.0;
    int MaxX = -1;  // the first maximum in x-major order
    int MaxY = -1;
    double Range = 0.0;                // Max - Min
    double Sigma = 0.0;                // sample standard deviation (n - 1); 0 below two values
    double Sigma1Pct = 0.0;            // Sigma * 1 / Mean * 100; 0 when Mean is 0
    double Sigma3Pct = 0.0;            // Sigma * 3 / Mean * 100; 0 when Mean is 0
    double UniformityPct = 0.0;        // (Max - Min) / (2 Mean) * 100; 0 when Mean is 0
    double UniformityMaxMinPct = 0.0;  // (Max - Min) / (Max + Min) * 100; 0 when Max + Min is 0
};

// The statistics of the record's data cells inside the mask, which is built
// for the record's Size. The record's Valid flag is not consulted: an empty
// record simply has no data cell.
AreaStatistics CalcAreaStatistics(const ThkData& record, const AnalysisMask& mask);

// The same, the data values gathered in scratch (grown to the cells inside
// the mask when smaller): a caller that analyses record after record and
// keeps scratch allocates nothing for the figures.
AreaStatistics CalcAreaStatistics(const ThkData& record, const AnalysisMask& mask,
                                  std::vector<double>& scratch);

// The figures that follow from count values (in their order, summed to sum)
// and the extremes already in stats: Count, Mean, the sample Sigma, Range and
// the percentages. Shared by the cells' and the measured sites' figures.
void CompleteFigures(AreaStatistics& stats, const double* values, std::size_t count, double sum);
