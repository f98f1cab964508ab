#pragma once

#include <string>

#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

// A record's cells as a CSV table for other programs: a header line, then one
// line per cell holding data in x-major order (x outer, y inner), fields
// separated by commas, values with 17 significant digits (%.17g, C locale),
// lines ending in '\n'. Columns x, y, value; with a wafer in the frame also
// x_mm, y_mm, the cell's position in mm from the wafer centre.
std::string RecordCsvText(const ThkData& record, const WaferFrame& frame);
