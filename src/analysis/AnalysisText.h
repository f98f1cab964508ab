#pragma once

#include <span>
#include <string>
#include <string_view>

#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"

// The texts every front end shares (clipboard, batch output): one row per
// line, fields separated by a tab, each line ending in '\n'. Numbers are
// written by FormatG17 (core/RoundTripNumber.h), so a value read back is the
// same double; counts and cell coordinates as integers.

// The statistics as "name<TAB>value" lines in this order: Count, Mean, Min,
// MinX, MinY, Max, MaxX, MaxY, Range, SigmaN1 (the sample sigma), Sigma1PctN1,
// Sigma3PctN1, UniformityMeanPct ((max - min) / (2 mean) %) and
// UniformityMaxMinPct ((max - min) / (max + min) %), each name preceded by
// prefix ("Sites" for the raw sites).
std::string StatisticsText(const AreaStatistics& stats, std::string_view prefix = {});

// A profile as "position<TAB>value" rows.
std::string ProfileText(std::span<const ProfilePoint> points);

// The radial profile as "position<TAB>mean<TAB>min<TAB>max" rows, position
// the ring's inner radius; rings without data are left out.
std::string RadialProfileText(std::span<const RingStats> rings);

// The histogram as "lower<TAB>upper<TAB>count" rows, one per bin.
std::string HistogramText(const Histogram& histogram);
