#pragma once

#include <string>

#include "data/ThkData.h"

// The tab-separated table of a record as it goes to the clipboard: a header
// "Y\uFF3CX" (UTF-8) followed by the X indices 0, step, 2*step ... <= Size, then
// one line per Y index with the values in "%.3f" form (an empty cell is a lone
// tab). Every cell ends in a tab, every line in a line feed. A step of 0 is 1.
std::string BuildThkDataText(const ThkData& record, int step);
