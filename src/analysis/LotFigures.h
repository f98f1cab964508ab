#pragma once

#include <vector>

#include "analysis/SummaryRow.h"
#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

// A lot of wafers as one: how the wafers' means spread from wafer to wafer,
// and, when the wafers were measured at the same sites, how each site varies
// over the lot.

// The figures of the files that were analysed (failed rows left out), in the
// order given: the mean of their means, the sample sigma (n - 1) of the
// means (0 for one file), their lowest, highest and range, and the means of
// the within-wafer uniformity figures (uniformity_mean_pct and
// uniformity_maxmin_pct) and of the 3 sigma % (n - 1).
struct LotFigures {
    int Files = 0;  // the rows analysed; 0: every other figure 0
    double MeanOfMeans = 0.0;
    double SigmaOfMeans = 0.0;
    double LowestMean = 0.0;
    double HighestMean = 0.0;
    double RangeOfMeans = 0.0;
    double MeanUniformityPct = 0.0;
    double MeanUniformityMaxMinPct = 0.0;
    double MeanSigma3Pct = 0.0;
};
LotFigures CalcLotFigures(const std::vector<SummaryRow>& rows);

// One file's measured sites (SitesOf) and where they lie.
struct FileSites {
    std::vector<ThkPoint> Sites;
    std::vector<CellPosition> Cells;
};

// One site of the lot: the first file's site, its place (cells, and mm from
// the wafer's centre, +Y up, or file units without a wafer), and its mean and
// sample sigma (n - 1; 0 for one file) over the files.
struct LotSite {
    int Site = 0;
    CellPosition Cell{};
    double X = 0.0;
    double Y = 0.0;
    double Mean = 0.0;
    double Sigma = 0.0;
};

// The sites of the lot when the files share their site positions: every
// file has as many sites as the first, and each of them pairs with one of the
// first file's (MatchSites within SiteToleranceUnits of frame). Otherwise, or
// for no file, none.
std::vector<LotSite> CalcLotSites(const std::vector<FileSites>& files, const WaferFrame& frame);
