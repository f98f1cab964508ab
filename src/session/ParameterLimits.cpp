#include "session/ParameterLimits.h"

#include "core/Codes.h"
#include "data/RandomData.h"
#include "data/ThkData.h"

// The table repeats bounds that the layers below hold for themselves; these
// keep the two from drifting apart.
static_assert(ParameterLimits::RoiType.Min == static_cast<int>(RoiShape::Circle) &&
              ParameterLimits::RoiType.Max == static_cast<int>(RoiShape::Square));
static_assert(ParameterLimits::FoundSearchRad.Max == ThkMaxSize);
static_assert(ParameterLimits::DataSize.Max == ThkMaxSize);
static_assert(ParameterLimits::RandomWidth.Max == MaxRandomWidth);
