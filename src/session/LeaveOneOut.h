#pragma once

#include <functional>
#include <vector>

#include "analysis/SiteResiduals.h"
#include "analysis/SurfaceSites.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"

// Cross-validation of the grid-and-spline surface: each measured site
// predicted by Calc and Fill run without it (its cell emptied in a copy of
// the Raw record) at the same pitch, power, search radius and degree, read at
// the site's cell. A site whose removal leaves a lattice node without data
// gets no prediction; its note is the fill's message. Sites sharing a cell
// are removed together. The sites are spread over the cores, each thread with
// its own records and surface fitter; every site's figures are the same on
// any number of threads.

// How a long computation reports and is stopped. Both may be empty. They are
// called from the computation's threads, one call at a time: progress after
// each site with the sites done and the total; cancelled before each site,
// and once it returns true no further site is started.
struct RunControl {
    std::function<void(int done, int total)> Progress;
    std::function<bool()> Cancelled;
};

// The residual of every site, in site order. 1, or 0 when cancelled (then
// residuals is empty).
int SplineLeaveOneOut(const ThkData& raw, const std::vector<SurfaceSite>& sites, const ViewSettings& settings,
                      std::vector<SiteResidual>& residuals, const RunControl& control = {});

// One point of the cross-validation curve of the search radius.
struct RadiusScore {
    float Radius = 0.0f;
    ResidualSummary Summary;
};

// The search radii from, from + step, ... up to to (each rounded to float as
// the radius label's value is; at most MaxRadiusScanPoints of them).
inline constexpr int MaxRadiusScanPoints = 1000;
std::vector<float> ScanRadii(double from, double to, double step);

// SplineLeaveOneOut at each radius, the settings' other parameters kept.
// Progress counts sites over the whole scan. 1, or 0 when cancelled (then
// scores is empty).
int ScanSearchRadius(const ThkData& raw, const std::vector<SurfaceSite>& sites, const ViewSettings& settings,
                     const std::vector<float>& radii, std::vector<RadiusScore>& scores,
                     const RunControl& control = {});
