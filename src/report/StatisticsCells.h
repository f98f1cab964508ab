#pragma once

#include <QString>
#include <array>

#include "analysis/AreaStatistics.h"

// The statistics table as pictures, pages and the analysis window show it:
// a row per figure, in this order, numbers as the scale labels write them (8
// significant digits, 3 decimals). The window names each row in full and
// gives its formula as a tooltip; a picture, with less room, uses the short
// names and states the formulas in FormulaNote below its table.
inline constexpr int StatisticRows = 14;
inline constexpr const char* StatisticNames[StatisticRows] = {"Count",
                                                              "Mean",
                                                              "Min",
                                                              "Min X",
                                                              "Min Y",
                                                              "Max",
                                                              "Max X",
                                                              "Max Y",
                                                              "Range",
                                                              "Sigma (n-1)",
                                                              "1 sigma % (n-1)",
                                                              "3 sigma % (n-1)",
                                                              "Uniformity (max-min)/(2 mean) %",
                                                              "Uniformity (max-min)/(max+min) %"};
inline constexpr const char* StatisticShortNames[StatisticRows] = {
    "Count", "Mean",  "Min",   "Min X",     "Min Y",     "Max",          "Max X",
    "Max Y", "Range", "Sigma", "1 sigma %", "3 sigma %", "Unif. mean %", "Unif. max/min %"};
inline constexpr const char* StatisticFormulas[StatisticRows] = {
    "data cells (or sites) inside the wafer",
    "sum of the values / count",
    "lowest value; its position below",
    "X of the first minimum in x-major order",
    "Y of the first minimum in x-major order",
    "highest value; its position below",
    "X of the first maximum in x-major order",
    "Y of the first maximum in x-major order",
    "max - min",
    "sample standard deviation: sqrt(sum of (value - mean)^2 / (count - 1))",
    "sigma (n-1) / mean x 100",
    "3 x sigma (n-1) / mean x 100",
    "(max - min) / (2 x mean) x 100",
    "(max - min) / (max + min) x 100"};
inline constexpr const char* FormulaNote =
    "Sigma: sample, n-1. Unif. mean: (max-min)/(2 mean). Unif. max/min: (max-min)/(max+min).";

// A value as the table writes it.
QString StatisticNumber(double value);

// One column of the table: the figures of s in the order of StatisticNames;
// "---" for every value but the count when nothing was inside.
std::array<QString, StatisticRows> StatisticCells(const AreaStatistics& s);
