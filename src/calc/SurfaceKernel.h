#pragma once

#include <vector>

#include "calc/SplineBasis.h"

// The surface at the raster points from the coefficients: every point sums its
// terms cf(a, b) * B^X_a(x) * B^Y_b(y) in a float, in coefficient order (a
// outer, b inner), as the plain double loop over the coefficients does. Both
// kernels here give those bits: the plain row loop, and a four-row kernel in
// AVX-512 lanes whose every lane does what one point's scalar code does.

#if defined(__x86_64__) && defined(__GNUC__)
#define MORVAPLOT_ROW_AVX512 1
#endif

// Rows the four-row kernel works at once.
inline constexpr int QuadRows = 4;
// Points per row in one register's lanes.
inline constexpr int GroupPoints = 4;

// Consecutive raster points along Y with one support window: they share their
// basis columns, while each point still sums its own terms in order.
struct SupportRun {
    int Start;
    int Length;
    int First;
    int Count;
};

// What the kernels read along Y, worked out once per lattice shape: the runs,
// and the Y basis widened to double for all rows (value c of point y at
// ByDouble[c * Mt + y]).
struct RasterRuns {
    std::vector<SupportRun> Runs;
    std::vector<double> ByDouble;
    // Every run holds at least four points and all runs share one term count
    // (every lattice of pitch 4 or more): four rows can be worked at once in
    // lanes of two rows by four points.
    bool FitLanes = false;

    // From the Y axis's raster basis (order K) for rasterRows rows along X.
    void Prepare(const SplineAxis& Y, int K, int rasterRows);
};

// The coefficients and the X basis the kernels read, and where they write.
struct SurfaceTerms {
    const SplineAxis* X;  // basis at the raster rows
    const float* Cf;      // coefficients, X-major, nt per row of nodes
    int nt;
    int Ms;         // raster rows (along X)
    int Mt;         // raster points per row (along Y)
    float* Raster;  // Raster[x * Mt + y]
};

// Raster row x into out (Mt values).
void EvalRow(const SurfaceTerms& s, float* out, int x, const SupportRun* runs, int runCount,
             const double* byDouble);

#ifdef MORVAPLOT_ROW_AVX512
// One register's lanes of products cf * B^X: four of one row, four of another.
struct alignas(64) RowPairLanes {
    double Lanes[8];
};

// What the four-row kernel works in: the products cf * B^X of its four rows,
// and the same products as the kernel's registers take them. Every element is
// written before it is read; a thread that runs the kernel needs one of its
// own, which keeps its storage from one call to the next.
struct QuadScratch {
    std::vector<double> Products;
    std::vector<RowPairLanes> Pairs;
};

// Rows x0 .. x0 + 3 into the raster (a row past the last is taken as the
// last); only where runs.FitLanes and the processor runs AVX-512.
void EvalQuadAvx512(const SurfaceTerms& s, int x0, const SupportRun* runs, int runCount,
                    const double* byDouble, QuadScratch& scratch);
#endif
