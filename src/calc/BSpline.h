#pragma once

#include <cstddef>
#include <span>
#include <vector>

// Tensor-product B-spline interpolation of a rectangular lattice of ns x nt node
// values, evaluated on a raster of Ms x Mt points. Node (i, j) sits at spline
// parameters (i, j); raster point (x, y) at (x / pitchX, y / pitchY). Nodes and
// coefficients are numbered X-major: r = i * nt + j.
//
// All values the engine keeps are single precision; every quantity is worked
// out in double and rounded to float once, where it is stored.
//
// The engine has one module-level working store (SplineState), reused by every
// fit and not re-entrant. It is sized to the lattice by SetSplineSize: memory is
// reserved only when a lattice needs more than any earlier one.
//
// Calling order for one fit: SetSplineSize; stage the node values in Z;
// BuildKnots(SplineX) and BuildKnots(SplineY); PrepareCollocation and
// FillCollocation over every row; DecomposeLU; SolveAndEvalSurface(Z); read
// Raster (and Cf).

inline constexpr int SplineX = 0;
inline constexpr int SplineY = 1;

// Lattices within these bounds are solved by elimination of the full
// interpolation matrix (restricted to its band), with results identical to the
// dense elimination; larger ones are solved axis by axis.
inline constexpr int SplineDenseMaxNodesPerAxis = 48;
inline constexpr int SplineDenseMaxKnots = 55;
inline constexpr int SplineDenseMaxNodes = 1024;
inline constexpr int SplineDenseMaxRaster = 529;

// One direction of the lattice.
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

    // Axis-by-axis solve: the 1-D collocation matrix of this axis in band form
    // (double), its band widths and its elimination factors after DecomposeLU.
    int Lower = 0;
    int Upper = 0;
    std::vector<double> Band;
};

struct SplineState {
    int ns = 0;
    int nt = 0;
    int N = 0;
    int k = 0;  // degree
    int K = 0;  // order, k + 1
    int pitchX = 0;
    int pitchY = 0;
    int Ms = 0;
    int Mt = 0;

    SplineAxis Axis[2];

    // false: the N x N interpolation matrix is eliminated (band form, float);
    // true: the lattice is too large for that and is solved axis by axis.
    bool ByAxis = false;

    // Interpolation matrix in band form: entry (r, m) for r - Lower <= m <= r + Upper
    // at A[r * (Lower + Upper + 1) + m - r + Lower]; every entry outside the band is zero.
    int Lower = 0;
    int Upper = 0;
    std::vector<float> A;
    // Per row of the factors, its first and last column that can be
    // non-zero; every entry outside them is zero.
    std::vector<int> RowFirst;
    std::vector<int> RowLast;

    std::vector<float> Z;          // node values in node order
    std::vector<float> Cf;         // coefficients in coefficient order
    std::vector<double> AxisWork;  // ns x nt intermediate of the axis-by-axis solve
    std::vector<double> AxisRhs;   // one right-hand side along an axis

    std::vector<float> Raster;  // surface values, Raster[x * Mt + y]

    float& At(int r, int m) { return A[static_cast<std::size_t>(r) * (Lower + Upper + 1) + (m - r + Lower)]; }
};

// The one working store of the program.
SplineState& Spline();

// Sets every size of a fit (ns, nt >= 1, k >= 1, pitches >= 1) and sizes the
// store for it. Chooses the dense or the axis-by-axis solve.
void SetSplineSize(int ns, int nt, int k, int pitchX, int pitchY);

// Averaged open knot vector of the direction: K zeros, interior knots i + K/2,
// K copies of Count - 1.
void BuildKnots(int direction);

// Cox-de Boor recurrence at parameter u: fills Axis[direction].Basis. A
// parameter beyond the last knot is taken as the last knot. Returns the span
// (the knot interval holding u; the values B_{span-k} .. B_span are the only
// ones that can be non-zero), or -1 when u lies in no interval (all values 0).
int EvalBasis(int direction, float u);

// Basis values at the node parameters of both axes; for the dense solve also
// the interpolation matrix A[(i, j)][(a, b)] = B^X_a(i) * B^Y_b(j), in two
// steps so that threads can share the second: PrepareCollocation works out
// the node basis, the band and (for the axis-by-axis solve) everything;
// FillCollocation(r0, r1) writes rows r0 .. r1 - 1 of the dense matrix.
void PrepareCollocation();
void FillCollocation(int r0, int r1);

// Gaussian elimination in place without row exchanges. Returns 1, or -1 when a
// row is entirely zero or a pivot is zero.
int DecomposeLU();

// The factors of a successful DecomposeLU of the dense solve are kept for the
// lattice shape (ns, nt, k) they belong to: KeepFactors moves them out of the
// store's A, and SolveLU reads them where they are kept. RestoreFactors, when
// the current size has that shape, makes SolveLU use them again, puts Lower,
// Upper and the row profiles back into the store as DecomposeLU left them (the
// node basis is not restored) and returns true; else it changes nothing and
// returns false. Sizing the store, building its matrix or decomposing it
// makes SolveLU use the store's A again.
void KeepFactors();
bool RestoreFactors();
// Drops the kept factors (and the raster basis kept with the lattice shape),
// so the next fit works everything out again.
void ForgetFactors();

// Coefficients for the node values z (N each) from the factors of DecomposeLU.
void SolveLU(std::span<const float> z, std::span<float> cf);

// Works out the basis at the raster points for the current size unless the
// last call (or SolveAndEvalSurface) did so for its lattice shape and pitches. It
// shares no data with DecomposeLU, SolveLU and KeepFactors, so it may run on
// another thread at the same time as those; not with anything else.
void PrepareSurface();

// SolveLU(z, Cf), then the surface values at every raster point from the
// coefficients in Cf, summed term by term in a float in coefficient order
// (a outer, b inner). While one thread substitutes, the others evaluate the
// rows whose coefficients it has finished (the back substitution finishes
// the last rows of nodes first); the results are the same. The basis at the
// raster points is worked out again only when the lattice shape or a pitch
// differs from the last call's (ForgetFactors forces it).
//
// rowsDone, when given, is called for every block of complete raster rows
// x0 .. x1 - 1 by the thread that computed them, at once: each row is in
// exactly one block, and blocks may come in any order and on several threads
// at the same time.
using RasterRowsDone = void (*)(void* context, int x0, int x1);
void SolveAndEvalSurface(std::span<const float> z, RasterRowsDone rowsDone = nullptr,
                         void* context = nullptr);
