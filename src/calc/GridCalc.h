#pragma once

#include "core/Message.h"
#include "data/ThkData.h"

// Inverse-distance weighted grid of scattered thickness data, and the search
// for the smallest search radius that gives every lattice node enough data.
//
// Distances are measured between integer cell coordinates. A distance is
// computed in double precision and rounded to float before it is compared
// with the float search radius R, so a cell whose float distance equals R is
// inside. The square window scanned around a node runs over the offsets
// -trunc(R) .. R on both axes, and only cells with both coordinates in
// 0..Size of the record are ever read.

// Fills target from source: clears target, then stores the inverse-distance
// weighted value at every node of the lattice 0, P, 2P, ... <= Size (both
// axes, x-major): the sum of v / d^p over the data cells within radius,
// divided by the sum of 1 / d^p, where a cell at the node itself weighs 1.0,
// NoData when no data cell lies within radius; cells are summed in scan order
// (x offset ascending, then y offset ascending). Every other
// cell stays empty. Sets Valid, Size, PitchX = PitchY = P, ExtentX = ExtentY =
// Size and recomputes the statistics. One pass: the nodes are computed from
// the source cells only.
// A pitch below 1 is treated as 1, so the lattice covers every coordinate.
// source and target may be the same record. The source is otherwise never
// modified.
void CalcGrid(const ThkData& source, ThkData& target, double weightPower, float radius, int pitch);

// Smallest radius of the float sequence R = P, R = float(R + 0.1), ... for
// which every node of the pitch-P lattice has at least minCount (at least 1)
// data cells within R. The radius P itself is always tried first, even when it
// is not below Size. When the sequence reaches Size (R >= Size after a step)
// with some node still short, shows
// "Data search error.(Unable to find data.)\nPitch: <pitch> NMin: <minCount>"
// once, with the arguments as passed, and returns -1.0f.
// Writes no control: the caller shows the radius (one decimal) itself.
// A pitch below 1 is treated as 1 for the lattice; R still starts at pitch.
float OptimizeSearchRadius(const ThkData& record, int pitch, int minCount, const MessageSink& messages);
