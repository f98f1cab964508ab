#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AreaStatistics.h"

// One file of a batch in one row, the same for the report's summary (page and
// CSV) and the Python batch's table: the figures of the analysed record
// inside the wafer, the search radius the file was gridded with and the time
// it took, or the message that stopped it; and the messages that did not stop
// it (a radius search that found nothing, lines without a thickness).
struct SummaryRow {
    std::string Name;
    int Size = 0;  // the Raw record's Size
    AreaStatistics Figures;
    long SiteCount = 0;    // the measured sites inside the wafer
    double Radius = 0.0;   // the search radius used
    double Seconds = 0.0;  // load to figures
    std::string Error;     // empty when the file was analysed
    std::string Warnings;  // the other messages, one per line; empty when none
    bool Failed() const { return !Error.empty(); }
    // The figures are figures: the file was analysed and a data cell lay
    // inside the wafer (an empty area has a count of 0 and no mean at all).
    bool HasFigures() const { return !Failed() && Figures.Count > 0; }
};

// The columns in their order, as the CSV header and the batch table name them.
// sigma is the sample standard deviation (n - 1); uniformity_mean_pct is
// (max - min) / (2 mean) %, uniformity_maxmin_pct (max - min) / (max + min) %;
// site_count the measured sites inside the wafer.
inline constexpr std::array<std::string_view, 17> SummaryColumns = {"name",
                                                                    "size",
                                                                    "count",
                                                                    "site_count",
                                                                    "mean",
                                                                    "min",
                                                                    "max",
                                                                    "range",
                                                                    "sigma_n1",
                                                                    "sigma1_pct_n1",
                                                                    "sigma3_pct_n1",
                                                                    "uniformity_mean_pct",
                                                                    "uniformity_maxmin_pct",
                                                                    "radius",
                                                                    "seconds",
                                                                    "error",
                                                                    "warnings"};

// The rows as CSV: the header, then one line per row; figures with 17
// significant digits (C locale), counts as integers; the name and the
// messages quoted when they hold a comma, a quote or a line break; a failed
// row leaves its size, count, figures and radius empty, a row without a data
// cell inside the wafer its figures from mean to uniformity_pct.
std::string SummaryCsv(const std::vector<SummaryRow>& rows);
