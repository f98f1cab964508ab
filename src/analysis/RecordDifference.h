#pragma once

#include "core/Message.h"
#include "data/ThkData.h"

// What changed between two maps of one area: post minus pre, the removal, or
// with the time between them the rate.

enum class DifferenceOrder { FirstMinusSecond, SecondMinusFirst };

// Cell by cell where both records hold data: first - second (or second -
// first), divided by time when time > 0 (a rate per unit of time); every
// other cell is empty. The result is a Valid record of the records' Size and
// pitches with its statistics. Returns 1, or -1 after
// "Different Size data cannot be compared. -> Size: <first> / <second>"
// (difference left as it was). A record may not be its own difference.
int DifferenceOfRecords(const ThkData& first, const ThkData& second, DifferenceOrder order, double time,
                        ThkData& difference, const MessageSink& messages);
