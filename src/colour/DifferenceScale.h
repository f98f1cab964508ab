#pragma once

#include "data/ThkData.h"

// How a difference map is coloured: on the diverging colours centred on zero,
// which tell the sign of a change at a glance, or on the ordinary ramp over
// the difference's own range, which shows how the change varies when it keeps
// one sign (a removal larger at the edge than in the middle).
enum class DifferenceScale { Auto, Diverging, Sequential };

// Whether the difference is drawn on the diverging colours: when asked for,
// or (Auto) when its data cells cross zero (a minimum below it and a maximum
// above it). A record without data is drawn as Auto sees it: sequential.
bool DrawsDiverging(const ThkData& difference, DifferenceScale scale);
