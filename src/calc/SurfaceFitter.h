#pragma once

#include <span>
#include <vector>

#include "calc/BandElimination.h"
#include "calc/FactorCache.h"
#include "calc/FillScratch.h"
#include "calc/SplineBasis.h"
#include "calc/SurfaceKernel.h"

// Tensor-product B-spline interpolation of a rectangular lattice of ns x nt
// node values, evaluated on a raster of Ms x Mt points. Node (i, j) sits at
// spline parameters (i, j); raster point (x, y) at (x / pitchX, y / pitchY).
// Nodes and coefficients are numbered X-major: r = i * nt + j. All values are
// single precision; every quantity is worked out in double and rounded to
// float once, where it is stored.
//
// A fitter keeps its working store (one for each thread that evaluates, and
// the store of the fills it serves) and, for the last lattice shape it fitted,
// the factors of the interpolation matrix and the basis at the raster points,
// so a refill of that shape only solves and evaluates. One fitter serves one
// caller at a time; two fitters share nothing and may run on two threads.

// The sizes of one fit: ns, nt >= 1 nodes, degree k >= 1, pitches >= 1.
struct LatticeShape {
    int ns = 0;
    int nt = 0;
    int k = 0;
    int pitchX = 0;
    int pitchY = 0;
    bool operator==(const LatticeShape&) const = default;
};

// Lattices within these bounds are solved by elimination of the full
// interpolation matrix (restricted to its band), with results identical to the
// dense elimination; larger ones are solved axis by axis.
inline constexpr int SplineDenseMaxNodesPerAxis = 48;
inline constexpr int SplineDenseMaxKnots = 55;
inline constexpr int SplineDenseMaxNodes = 1024;
inline constexpr int SplineDenseMaxRaster = 529;

// Called for every block of complete raster rows x0 .. x1 - 1 (row x at
// raster + x * Mt) by the thread that computed them, at once: each row is in
// exactly one block, and blocks may come in any order and on several threads
// at the same time.
using RasterRowsDone = void (*)(void* context, const float* raster, int x0, int x1);

class SurfaceFitter {
public:
    // Fits the surface through the node values z (ns * nt, X-major) and
    // evaluates it at every raster point into Raster(). Returns 1, or -1 when
    // the elimination of the interpolation matrix fails (a zero row or pivot);
    // then the raster is not written.
    int Fit(const LatticeShape& shape, std::span<const float> z, RasterRowsDone rowsDone = nullptr,
            void* context = nullptr);

    // The surface of the last Fit: value (x, y) at Raster()[x * RasterColumns() + y].
    const float* Raster() const { return raster_.data(); }
    int RasterRows() const { return Ms_; }
    int RasterColumns() const { return Mt_; }

    // Whether the last Fit solved axis by axis (the lattice was too large for
    // the elimination of the whole matrix).
    bool SolvedByAxis() const { return byAxis_; }

    // Drops the kept factors and raster basis, so the next fit works
    // everything out again.
    void Forget();

    // The working store of the fills this fitter serves (FillGrid).
    FillScratch& FillStore() { return fillStore_; }

private:
    void SetSize(const LatticeShape& shape);
    void PrepareCollocation();
    void FillCollocation(int r0, int r1);
    int Decompose();
    void PrepareSurface();
    void Solve(const BandMatrix<float>* factors, std::span<const float> z, std::atomic<int>* ready);
    void EvalRaster(const BandMatrix<float>* factors, std::span<const float> z, RasterRowsDone rowsDone,
                    void* context);

    LatticeShape shape_;
    int N_ = 0;
    int K_ = 0;  // order, k + 1
    int Ms_ = 0;
    int Mt_ = 0;
    SplineAxis axis_[2];
    // false: the N x N interpolation matrix is eliminated (band form, float);
    // true: the lattice is too large for that and is solved axis by axis.
    bool byAxis_ = false;
    BandMatrix<float> dense_;
    BandMatrix<double> axisBand_[2];  // the 1-D collocation matrices, axis by axis
    std::vector<float> cf_;           // coefficients in coefficient order
    std::vector<double> axisWork_;    // ns x nt intermediate of the axis-by-axis solve
    std::vector<double> axisRhs_;     // one right-hand side along an axis
    std::vector<float> raster_;

    FactorCache factors_;
    // The lattice shape the raster basis and the runs were last worked out
    // for; they depend on nothing else (the knots follow from the node count
    // and the degree).
    LatticeShape rasterShape_;
    RasterRuns runs_;
#ifdef MORVAPLOT_ROW_AVX512
    std::vector<QuadScratch> quadScratch_;  // one per thread of the evaluation
#endif
    FillScratch fillStore_;
};
