#pragma once

#include <string>

#include "data/ThkData.h"

// A record as .thk text: its Size, the pitch "1,1" and one "x,y,z," line per
// data cell, X-major. z is written with 3 decimals, so the file holds every
// value rounded to the nearest thousandth: base + k x 0.001 computed in
// binary can differ from the double that "%.3f" text reads back to in its
// last bits.
std::string ThkText(const ThkData& record);
