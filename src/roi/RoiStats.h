#pragma once

#include "core/Codes.h"
#include "data/ThkData.h"

// Statistics of the data cells inside a region of interest.
struct RoiStats {
    double Min;
    double Max;
    double Mean;
};

// Returned instead of a count when the record holds no data (not Valid).
inline constexpr int RoiNoRecord = -99999;

// Counts the data cells of the region centred on (x0, y0) and fills stats with
// their minimum, maximum and mean; all three are NoData when no data cell lies
// inside. A square is the full square of side 2 * size + 1; a circle is the
// circle of radius size, where the distance of a cell is computed in double
// and rounded to float before it is compared with size (so a cell at distance
// exactly size is inside). Cells are read only at coordinates 0..500 (not
// limited to the record's Size); cells beyond are skipped, never counted.
// Returns the number of data cells, or RoiNoRecord (stats untouched) when the
// record is not Valid.
int CalcRoiStatistics(const ThkData& record, RoiShape shape, int x0, int y0, int size, RoiStats& stats);
