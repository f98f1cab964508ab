#pragma once

#include <vector>

#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

// The measured sites a smooth surface is fitted through and a surface is
// judged against, with their positions in the record's cells (x right, y
// downward, not rounded) beside the cell each was stored in.

struct SurfaceSite {
    double X = 0.0;  // cell units, x right
    double Y = 0.0;  // cell units, y downward
    double Value = 0.0;
    int Number = 0;  // the site number, or the order from 1 of the data cells
    int CellX = 0;   // the cell the value was stored in
    int CellY = 0;
};

// How a record's measured points give their X and Y: millimetres from the
// wafer centre with +Y up (one cell per mm, centre at Size / 2, as a table is
// imported in millimetres), or cells as they stand.
enum class PointUnits { Millimetres, Cells };

// The sites of a Raw record: its measured points in file order when it keeps
// them, else every data cell in x-major order (a .thk file keeps none). A
// point's cell is its position rounded half away from zero, as the import
// rounds it; points outside 0..Size are left out.
std::vector<SurfaceSite> SitesOf(const ThkData& raw, PointUnits units);

// Positions in the plane a surface is fitted in: millimetres from the wafer
// centre, +X right and +Y up, with a wafer; cell units from the frame's
// centre, +Y up, without one.
struct FitPoint {
    double X = 0.0;
    double Y = 0.0;
};
inline FitPoint FitPointOf(const WaferFrame& frame, double x, double y) {
    return {MmFromCentreX(frame, x), MmFromCentreY(frame, y)};
}

// The smallest and largest value of the sites (both 0 when there is none).
struct SiteExtremes {
    double Min = 0.0;
    double Max = 0.0;
};
SiteExtremes ExtremesOf(const std::vector<SurfaceSite>& sites);
