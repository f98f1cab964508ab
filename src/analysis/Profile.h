#pragma once

#include <vector>

#include "analysis/AnalysisMask.h"
#include "data/ThkData.h"

// One point of a profile: the cell it was read from, its value, and its
// position along the profile (file units, or mm with a wafer).
struct ProfilePoint {
    double Position = 0.0;
    double Value = 0.0;
    int X = 0;
    int Y = 0;
};

enum class ProfileAxis { X, Y };

// Profiles skip every cell outside the mask or without data: such a point is
// omitted, so a gap shows as a jump in X/Y (and Position) between neighbours.

// The diameter profile through the centre: along X, the row of cells at the
// centre's Y rounded to the nearest cell (halves upward), x = 0..Size; along
// Y, the column at the rounded centre X. Position is the cell's coordinate
// in file units, or with a wafer its distance in mm from the centre (signed,
// MmFromCentreX/Y). Empty when the rounded centre lies outside 0..Size.
std::vector<ProfilePoint> DiameterProfile(const ThkData& record, const AnalysisMask& mask, ProfileAxis axis);

// The profile along the line from (x0, y0) to (x1, y1) in file units:
// samples at whole unit steps from the start, i = 0 .. floor(length), at
// start + (end - start) * i / length, each read from the nearest cell
// (halves upward; a cell may repeat at slanted angles). Position is the
// distance from the start, i, in file units, or i * MmPerUnit with a wafer.
// A zero-length line gives the start alone; endpoints must be finite, and
// samples beyond the 0..500 area are omitted like masked cells.
std::vector<ProfilePoint> LineProfile(const ThkData& record, const AnalysisMask& mask, double x0, double y0,
                                      double x1, double y1);
