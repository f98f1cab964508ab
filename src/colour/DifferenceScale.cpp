#include "colour/DifferenceScale.h"

bool DrawsDiverging(const ThkData& difference, DifferenceScale scale) {
    if (scale != DifferenceScale::Auto) return scale == DifferenceScale::Diverging;
    // Min and Max of a record without data stay at their start values, which
    // do not cross zero.
    return difference.Valid && difference.Count > 0 && difference.Min < 0.0 && difference.Max > 0.0;
}
