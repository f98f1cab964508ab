#pragma once

#include <vector>

// B-spline basis functions of one direction of a lattice: the averaged open
// knot vector, the Cox-de Boor recurrence, and the basis tabulated at the node
// parameters (for the interpolation matrix) and at the raster points (for the
// surface). All values are single precision; every quantity is worked out in
// double and rounded to float once, where it is stored.

inline constexpr int SplineX = 0;
inline constexpr int SplineY = 1;

struct SplineAxis {
    int Count = 0;   // nodes along the axis (ns or nt)
    int Pitch = 0;   // raster points per lattice step
    int Raster = 0;  // raster points, (Count - 1) * Pitch + 1

    std::vector<float> Knots;  // Count + K entries
    std::vector<float> Basis;  // B_0 .. B_{Count-1} at the last EvalBasis parameter
    int BasisFirst = 0;        // Basis is zero outside [BasisFirst, BasisLast]
    int BasisLast = -1;

    // The Cox-de Boor columns, K + 1 floats each, covering the support window.
    std::vector<float> WorkPrev;
    std::vector<float> WorkCur;

    // Basis at the node parameters 0 .. Count-1: per node the first non-zero
    // index, the number of values and K values from that index on.
    std::vector<int> NodeFirst;
    std::vector<int> NodeCount;
    std::vector<float> NodeBasis;

    // Basis at the raster parameters, stored column-wise: value c of point p is
    // RasterBasis[c * Raster + p], so points with one span read contiguous values.
    std::vector<int> RasterFirst;
    std::vector<int> RasterCount;
    std::vector<float> RasterBasis;
};

// Sizes every table of the axis for count nodes, pitch raster points per step
// and order K (degree + 1). Memory is only allocated when a lattice needs more
// than any earlier one.
void SizeAxis(SplineAxis& axis, int count, int pitch, int K);

// Averaged open knot vector: K zeros, interior knots i + K/2, K copies of
// Count - 1.
void BuildKnots(SplineAxis& axis, int K);

// Cox-de Boor recurrence of degree k at parameter u: fills axis.Basis. A
// parameter beyond the last knot is taken as the last knot. Returns the span
// (the knot interval holding u; the values B_{span-k} .. B_span are the only
// ones that can be non-zero), or -1 when u lies in no interval (all values 0).
int EvalBasis(SplineAxis& axis, int k, float u);

// Whether two axes have the same nodes, knots and pitch: every basis value of
// one is then the same computation as the other's, and may be copied.
bool SameAxis(const SplineAxis& a, const SplineAxis& b);

// The basis at the node parameters 0 .. Count-1 (NodeFirst, NodeCount,
// NodeBasis), its exact zeros at the ends of each support left out.
void TabulateNodeBasis(SplineAxis& axis, int k);

// The basis at the raster parameters p * float(1 / Pitch) (RasterFirst,
// RasterCount, RasterBasis), the whole support window of each point.
void TabulateRasterBasis(SplineAxis& axis, int k);
