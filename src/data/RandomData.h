#pragma once

#include <cstdint>

#include "core/Message.h"
#include "data/ThkData.h"

// Scattered test data: points at random integer positions of a square area,
// kept apart by a minimum distance, each with a random value around a base.

struct RandomDataSettings {
    int Size = 300;        // side of the area, 1..500; positions 0..Size on both axes
    int Count = 100;       // points to place, 0 or more
    int CheckRadius = 10;  // half side of the square that must be free of data, in cells
    double Base = 500.0;   // value around which the values lie
    double Width = 10.0;   // 0..9999.999; only its integer part counts
};

// Largest accepted width: 2000 x its integer part stays an int.
inline constexpr double MaxRandomWidth = 9999.999;

// Fills a cleared record with settings.Count points drawn from a generator
// seeded with seed (the same seed gives the same record).
//
// Each point draws x and then y uniformly from 0..Size until no cell of the
// square x +- r, y +- r (the point itself included) holds data. Rejections
// are counted over the whole run, not per point, and every sixth makes r one
// smaller for the rest of the run; once r is negative every position is taken,
// so a position may be drawn twice and the later value replaces the earlier one.
// The value is Base + k x 0.001 with k uniform in -1000w .. 1000w - 1,
// w = the integer part of Width, so a width below 1 gives Base everywhere.
//
// The record becomes Valid, without a Unit, with Size, pitches 1, Count = settings.Count (even
// when positions repeat), Min/Max over every value drawn, Mean and Sigma over
// the cells and the text readers' ratios. Returns 1, or -1 with one message
// when the settings are outside the ranges above (the record is untouched).
int MakeRandomData(ThkData& record, const RandomDataSettings& settings, std::uint32_t seed,
                   const MessageSink& messages);

// A seed taken from the clock, different from run to run.
std::uint32_t ClockSeed();
