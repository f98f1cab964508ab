#pragma once

#include <string>
#include <string_view>

#include "core/Message.h"
#include "data/ThkData.h"

// Reads a ".thk" thickness file into a cleared record.
//
// Layout: a Size line (1..500), a pitch line "PitchX,PitchY" (each 1..Size),
// then data lines "X,Y,Z," with every field followed by a comma. X and Y take
// digits and "."; Z also takes "+", "-", "E" and "e". Anything else inside the
// data lines is refused, and so is a Z that is not finite or lies beyond the
// float range (|Z| > FLT_MAX), which Grid and Fill could not hold: "Incorrect
// Z data.(<token>) Line: <n>". The first bad value in file order is the one
// reported: one message to messages, then -1. The first data line is
// reported as line 2; blank lines do not count. A NUL byte is named by its
// code alone ("Incorrect data. -> '(00)' Line: <n>").
//
// An empty Z field ("20,30,,") is a missing measurement, not a zero: its cell
// is left as it is and the line is not counted; after a load that met such
// lines one message says how many and names the first: "Z data missing in 3
// lines (cells left empty). First Line: 7". An empty X or Y field reads as 0.
//
// On success the record is Valid, without a Unit, with Count (every stored
// line, repeats included), Min/Max over the values as read, Mean and Sigma over the cells,
// and the ratio/percentage fields; returns 1. After a failure whatever was
// written before it stays in the record: the caller clears it.
//
// The file cannot be opened, or is a folder: "File open error. -> " + fileName.
// Reading fails after the open: "File read error. -> " + fileName, never a
// record of what was read before. The file is read in blocks, so memory
// does not grow with its length.
int ReadThkFile(const std::string& fileName, ThkData& record, const MessageSink& messages);

// The same reader over bytes in memory (a file's whole content).
int ReadThkText(std::string_view bytes, ThkData& record, const MessageSink& messages);
