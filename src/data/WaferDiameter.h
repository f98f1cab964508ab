#pragma once

#include <span>

#include "data/ThkData.h"

// Standard wafer diameters in mm, smallest first.
inline constexpr double StandardWaferDiameters[] = {100.0, 150.0, 200.0, 300.0, 450.0};

// The smallest standard wafer whose disc about the centre holds every point
// (X and Y in mm from the centre; a point on the rim is held): the diameter
// to propose for a table in millimetres. 0 when there is no point or none is
// large enough; a diameter of 0 then takes the smallest one that holds the
// points.
double ProposedWaferDiameter(std::span<const ThkPoint> points);
