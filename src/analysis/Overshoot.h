#pragma once

#include <vector>

#include "analysis/SurfaceSites.h"
#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

// Whether a surface shows more than was measured: a cell below the lowest or
// above the highest measured site by more than a share of the sites' range.

inline constexpr double OvershootShare = 0.01;  // 1 % of the sites' range

struct OvershootSide {
    bool Beyond = false;  // further out than the allowance
    double Value = 0.0;   // the surface's extreme (the first in x-major order)
    int X = -1;           // its cell
    int Y = -1;
    double Excess = 0.0;  // how far beyond the site's extreme (positive when beyond)
};

struct Overshoot {
    double SitesMin = 0.0;
    double SitesMax = 0.0;
    double Allowance = 0.0;  // OvershootShare of the sites' range
    OvershootSide Below;     // the surface's minimum against the lowest site
    OvershootSide Above;     // its maximum against the highest site
    bool Any() const { return Below.Beyond || Above.Beyond; }
};

// The surface's data cells inside the frame's kept disc against the sites.
// With no site or no data cell inside, nothing is beyond.
Overshoot FindOvershoot(const ThkData& surface, const std::vector<SurfaceSite>& sites,
                        const WaferFrame& frame);
