#pragma once

#include <span>
#include <vector>

#include "analysis/RecordDifference.h"
#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

// The measured sites of two files of one wafer, site by site: a site of the
// second file lies within the tolerance of a site of the first when both
// were measured at the same place. Positions are in the records' cells
// (CellOf), so the tolerance is in file units.

// The tolerance in file units: 0.5 mm on a wafer frame, half a cell without
// a wafer.
double SiteToleranceUnits(const WaferFrame& frame);

// For each position of first, the index of its partner in second, or -1.
// Every pair of sites within tolerance (distance <= tolerance) is a
// candidate; the nearest candidates are taken first, a tie going to the
// earlier site of first, then to the earlier site of second, and each site
// is in at most one pair.
std::vector<int> MatchSites(std::span<const CellPosition> first, std::span<const CellPosition> second,
                            double tolerance);

// One site of the comparison. Paired: measured in both files. Otherwise the
// file that lacks the site gives its surface's value at the site's position
// (Interpolated).
struct PairedSite {
    int Site = 0;      // the first file's site number (the second's for a site only it has)
    double CellX = 0;  // position in cells (fractional, y downward)
    double CellY = 0;
    double X = 0;  // wafer frame: mm from the centre, +Y up (file units without a wafer)
    double Y = 0;
    ThkPoint At{};          // the site as its file gave it (its Points' units)
    double First = 0;       // the first file's value
    double Second = 0;      // the second file's value
    double Difference = 0;  // in the comparison's order, divided by the time for a rate
    bool Interpolated = false;
};

// The sites of a record as its producer kept them (Points, in file order),
// or, without Points, its data cells x-major, numbered from 1.
std::vector<ThkPoint> SitesOf(const ThkData& raw, std::vector<CellPosition>& cells);

// A surface's value at a fractional cell: bilinear between the four cells
// around it when all four hold data, else the nearest cell's value; NoData
// when that cell holds none.
double SurfaceAt(const ThkData& surface, double x, double y);

// The sites of firstRaw and secondRaw paired within toleranceUnits (MatchSites),
// the first file's sites in its order, then the second file's unpaired
// sites in theirs. Sites the other surface cannot give a value for (no data
// at their position) are left out. order and time as DifferenceOfRecords.
std::vector<PairedSite> PairSites(const ThkData& firstRaw, const ThkData& firstSurface,
                                  const ThkData& secondRaw, const ThkData& secondSurface,
                                  const WaferFrame& frame, double toleranceUnits, DifferenceOrder order,
                                  double time);

// Makes the paired (not interpolated) sites the measured sites of the
// difference record, their difference as the value, in the first file's
// units (pointsInMm as its Points), so the site figures of the difference are
// those of the paired sites.
void KeepPairedSites(const std::vector<PairedSite>& sites, const ThkData& firstRaw, ThkData& difference);
