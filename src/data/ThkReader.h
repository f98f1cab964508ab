#pragma once

#include <string>

#include "data/ThkData.h"

// Reads a ".thk" thickness file into a cleared record.
//
// Layout: a Size line (1..500), a pitch line "PitchX,PitchY" (each 1..Size),
// then data lines "X,Y,Z," with every field followed by a comma. X and Y take
// digits and "."; Z also takes "+", "-", "E" and "e". Anything else inside the
// data lines is refused, and the first bad value in file order is the one
// reported: one message through ShowMessage, then -1. The first data line is
// reported as line 2; blank lines do not count.
//
// On success the record is Valid with Count (every stored line, repeats
// included), Min/Max over the values as read, Mean and Sigma over the cells,
// and the ratio/percentage fields; returns 1. After a failure whatever was
// written before it stays in the record: the caller clears it.
int ReadThkFile(const std::string& fileName, ThkData& record);
