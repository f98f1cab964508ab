#pragma once

#include <QString>
#include <array>

#include "analysis/AreaStatistics.h"

// The statistics table as pictures, pages and the analysis window show it:
// a row per figure, named in this order, numbers as the scale labels write
// them (8 significant digits, 3 decimals).
inline constexpr int StatisticRows = 13;
inline constexpr const char* StatisticNames[StatisticRows] = {
    "Count", "Mean",  "Min",   "Min X",     "Min Y",     "Max",         "Max X",
    "Max Y", "Range", "Sigma", "1 sigma %", "3 sigma %", "Uniformity %"};

// A value as the table writes it.
QString StatisticNumber(double value);

// One column of the table: the figures of s in the order of StatisticNames;
// "---" for every value but the count when nothing was inside.
std::array<QString, StatisticRows> StatisticCells(const AreaStatistics& s);
