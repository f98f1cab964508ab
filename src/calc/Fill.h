#pragma once

#include "core/Message.h"
#include "data/ThkData.h"

class SurfaceFitter;

// Fill completion: the tensor-product B-spline surface of degree k through every
// node of the Grid record's lattice (x = 0, PitchX, ... ExtentX; y = 0, PitchY,
// ... ExtentY), evaluated at every integer coordinate the lattice spans.

// The Fill operation of the window: FillGrid, then on failure the fill record is
// cleared; on success the grid's Size is copied into it. Returns 1 or -1.
// The fitter keeps what a refill of the same lattice shape can use again.
int RunFill(SurfaceFitter& fitter, const ThkData& grid, ThkData& fill, int k, const MessageSink& messages);

// Fits and evaluates the surface into fill: Value at every coordinate of the
// lattice span (every other cell empty), Valid, Min, Max, RangeMin, RangeMax,
// Range, Mean and Sigma. No pitch, extent or Size is set. Returns 1, or -1 after
// one message: too few pitch steps along X, then along Y (Size / pitch < k + 2),
// an empty lattice node, a spline degree outside 1..10, a failed elimination,
// or a surface beyond the float range ("<FillGrid> Surface out of range."); after
// that last one the cells have been overwritten, the record is to be cleared.
int FillGrid(SurfaceFitter& fitter, const ThkData& grid, ThkData& fill, int k, const MessageSink& messages);

// 1 when every lattice node of the record holds data; else -1 after
// "Data nothing -> X:<x> Y:<y>" naming the first empty node in X-major order
// (coordinates, not indices). A node beyond the record's cells counts as empty.
int CheckLatticeComplete(const ThkData& record, const MessageSink& messages);
