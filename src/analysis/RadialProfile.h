#pragma once

#include <vector>

#include "analysis/AnalysisMask.h"
#include "data/ThkData.h"

// One ring of the radial profile: the data cells inside the mask whose
// distance from the centre lies in [Inner, Inner + 1), in file units, or in
// mm with a wafer. A cell exactly on a ring's inner circle belongs to that
// ring (compared with the slack of CircleSlack, as the mask is).
struct RingStats {
    double Inner = 0.0;  // the ring's number, which is its inner radius
    long Count = 0;      // 0: no data cell in the ring, Mean/Min/Max are 0
    double Mean = 0.0;   // values summed in x-major order from +0, divided by Count
    double Min = 0.0;
    double Max = 0.0;
};

// Rings 0 .. the outermost ring holding a data cell inside the mask (empty
// when there is none); rings between without data are kept with Count 0.
std::vector<RingStats> RadialProfile(const ThkData& record, const AnalysisMask& mask);
