#include "calc/SurfaceFitter.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>

#include "core/BothEndsSchedule.h"
#include "core/ParallelTeam.h"
#include "core/VectorPath.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

// The fit is the literal one, step by step: the same knots, the same basis
// values (SplineBasis), the same elimination and substitutions
// (BandElimination) and the same term-by-term sums at the raster points
// (SurfaceKernel); what is kept between fits (factors, raster basis) is
// exactly what a new fit of the same shape would compute again. Threads only
// share out whole items (matrix rows, raster rows), each computed as the
// plain loop computes it.

namespace {

template <typename T>
void Resize(std::vector<T>& v, std::size_t n) {
    // resize() only reallocates when n exceeds the capacity reserved by an
    // earlier, larger lattice.
    v.resize(n);
}

// 1-D collocation matrix of one axis in band form (double), for the
// axis-by-axis solve.
void BuildAxisBand(const SplineAxis& ax, int K, BandMatrix<double>& band) {
    band.N = ax.Count;
    band.Lower = 0;
    band.Upper = 0;
    for (int i = 0; i < ax.Count; ++i) {
        if (ax.NodeCount[i] == 0) continue;
        band.Lower = std::max(band.Lower, i - ax.NodeFirst[i]);
        band.Upper = std::max(band.Upper, ax.NodeFirst[i] + ax.NodeCount[i] - 1 - i);
    }
    Resize(band.Values, static_cast<std::size_t>(ax.Count) * band.Width());
    std::fill(band.Values.begin(), band.Values.end(), 0.0);
    for (int i = 0; i < ax.Count; ++i)
        for (int c = 0; c < ax.NodeCount[i]; ++c)
            band.At(i, ax.NodeFirst[i] + c) = ax.NodeBasis[static_cast<std::size_t>(i) * K + c];
}

// Spins before a waiting thread hands its core back: a row of nodes of the
// back substitution takes a few microseconds, and a thread the machine has
// descheduled may take much longer.
constexpr int SpinsBeforeYield = 4096;

// Waits until the coefficients from index from on are final.
void AwaitCoefficients(const std::atomic<int>& ready, int from) {
    for (int spins = 0; ready.load(std::memory_order_acquire) > from; ++spins) {
        if (spins >= SpinsBeforeYield) {
            std::this_thread::yield();
            continue;
        }
#if defined(__x86_64__) && defined(__GNUC__)
        _mm_pause();
#endif
    }
}

}  // namespace

void SurfaceFitter::SetSize(const LatticeShape& shape) {
    shape_ = shape;
    const int ns = shape.ns;
    const int nt = shape.nt;
    N_ = ns * nt;
    K_ = shape.k + 1;
    Ms_ = (ns - 1) * shape.pitchX + 1;
    Mt_ = (nt - 1) * shape.pitchY + 1;
    SizeAxis(axis_[SplineX], ns, shape.pitchX, K_);
    SizeAxis(axis_[SplineY], nt, shape.pitchY, K_);
    byAxis_ = !(ns <= SplineDenseMaxNodesPerAxis && nt <= SplineDenseMaxNodesPerAxis &&
                ns + K_ <= SplineDenseMaxKnots && nt + K_ <= SplineDenseMaxKnots && N_ <= SplineDenseMaxNodes &&
                Ms_ <= SplineDenseMaxRaster && Mt_ <= SplineDenseMaxRaster);
    Resize(cf_, static_cast<std::size_t>(N_));
    Resize(raster_, static_cast<std::size_t>(Ms_) * Mt_);
    if (byAxis_) {
        Resize(axisWork_, static_cast<std::size_t>(N_));
        Resize(axisRhs_, static_cast<std::size_t>(std::max(ns, nt)));
    }
}

void SurfaceFitter::PrepareCollocation() {
    const int k = shape_.k;
    SplineAxis& X = axis_[SplineX];
    SplineAxis& Y = axis_[SplineY];
    TabulateNodeBasis(X, k);
    if (SameAxis(X, Y)) {
        Y.NodeFirst = X.NodeFirst;
        Y.NodeCount = X.NodeCount;
        Y.NodeBasis = X.NodeBasis;
    } else {
        TabulateNodeBasis(Y, k);
    }
    if (byAxis_) {
        BuildAxisBand(X, K_, axisBand_[SplineX]);
        BuildAxisBand(Y, K_, axisBand_[SplineY]);
        return;
    }

    const int nt = shape_.nt;
    dense_.N = N_;
    dense_.Lower = 0;
    dense_.Upper = 0;
    for (int i = 0; i < shape_.ns; ++i) {
        if (X.NodeCount[i] == 0) continue;
        for (int j = 0; j < nt; ++j) {
            if (Y.NodeCount[j] == 0) continue;
            const int r = i * nt + j;
            const int first = X.NodeFirst[i] * nt + Y.NodeFirst[j];
            const int last = (X.NodeFirst[i] + X.NodeCount[i] - 1) * nt + Y.NodeFirst[j] + Y.NodeCount[j] - 1;
            dense_.Lower = std::max(dense_.Lower, r - first);
            dense_.Upper = std::max(dense_.Upper, last - r);
        }
    }
    Resize(dense_.Values, static_cast<std::size_t>(N_) * dense_.Width());
}

// Rows r0 .. r1 - 1 of the interpolation matrix A[(i, j)][(a, b)] =
// B^X_a(i) * B^Y_b(j).
void SurfaceFitter::FillCollocation(int r0, int r1) {
    if (byAxis_) return;
    const SplineAxis& X = axis_[SplineX];
    const SplineAxis& Y = axis_[SplineY];
    const int nt = shape_.nt;
    const std::size_t W = static_cast<std::size_t>(dense_.Width());
    std::fill(dense_.Values.begin() + static_cast<std::ptrdiff_t>(r0 * W),
              dense_.Values.begin() + static_cast<std::ptrdiff_t>(r1 * W), 0.0f);
    for (int r = r0; r < r1; ++r) {
        const int i = r / nt;
        const int j = r % nt;
        const float* bx = &X.NodeBasis[static_cast<std::size_t>(i) * K_];
        const float* by = &Y.NodeBasis[static_cast<std::size_t>(j) * K_];
        for (int ca = 0; ca < X.NodeCount[i]; ++ca) {
            const int a = X.NodeFirst[i] + ca;
            for (int cb = 0; cb < Y.NodeCount[j]; ++cb) {
                const int b = Y.NodeFirst[j] + cb;
                dense_.At(r, a * nt + b) =
                    static_cast<float>(static_cast<double>(bx[ca]) * static_cast<double>(by[cb]));
            }
        }
    }
}

int SurfaceFitter::Decompose() {
    if (byAxis_) {
        for (BandMatrix<double>& band : axisBand_)
            if (DecomposeBand(band) != 1) return -1;
        return 1;
    }
    // A block is one row of nodes along X: nt nodes.
    return DecomposeBand(dense_, shape_.nt);
}

// The basis at the raster points and the Y runs, unless they were worked out
// for this lattice shape and these pitches already. It shares no data with
// the matrix, its elimination and the solve, so it may run beside them.
void SurfaceFitter::PrepareSurface() {
    if (shape_ == rasterShape_) return;
    const int k = shape_.k;
    SplineAxis& X = axis_[SplineX];
    SplineAxis& Y = axis_[SplineY];
    TabulateRasterBasis(X, k);
    if (SameAxis(X, Y)) {
        Y.RasterFirst = X.RasterFirst;
        Y.RasterCount = X.RasterCount;
        Y.RasterBasis = X.RasterBasis;
    } else {
        TabulateRasterBasis(Y, k);
    }
    runs_.Prepare(Y, K_, X.Raster);
    rasterShape_ = shape_;
}

void SurfaceFitter::Forget() {
    factors_.Forget();
    rasterShape_ = {};
}

int SurfaceFitter::Fit(const LatticeShape& shape, std::span<const float> z, RasterRowsDone rowsDone,
                       void* context) {
    SetSize(shape);
    BuildKnots(axis_[SplineX], K_);
    BuildKnots(axis_[SplineY], K_);
    const BandMatrix<float>* factors = byAxis_ ? nullptr : factors_.Find(shape.ns, shape.nt, shape.k);
    if (factors == nullptr) {
        PrepareCollocation();
        // Two threads write half the matrix each; then the raster basis of a
        // new shape is worked out beside the elimination.
        int decomposed = 0;
#pragma omp parallel num_threads(2) if (N_ >= 256)
        {
            const int thread = TeamThread();
            const int threads = TeamSize();
            const int half = threads > 1 ? N_ / 2 : N_;
            FillCollocation(thread == 0 ? 0 : half, thread == 0 ? half : N_);
#pragma omp barrier
            if (thread == 0) decomposed = Decompose();
            if (thread == threads - 1) PrepareSurface();
        }
        if (decomposed != 1) return -1;
        if (!byAxis_) {
            factors_.Keep(shape.ns, shape.nt, shape.k, dense_);
            factors = factors_.Find(shape.ns, shape.nt, shape.k);
        }
    }
    PrepareSurface();
    EvalRaster(factors, z, rowsDone, context);
    return 1;
}

// The coefficients for the node values z; for the dense solve, ready receives
// the back substitution's progress after each row of nodes.
void SurfaceFitter::Solve(const BandMatrix<float>* factors, std::span<const float> z, std::atomic<int>* ready) {
    const int ns = shape_.ns;
    const int nt = shape_.nt;
    if (!byAxis_) {
        SolveBand(*factors, z, cf_, nt, ready);
        return;
    }
    // The interpolation matrix is B^X (x) B^Y, so the node values Z (ns x nt)
    // are B^X C (B^Y)^T: solve along X for every column, then along Y for
    // every row of the intermediate.
    double* v = axisRhs_.data();
    for (int j = 0; j < nt; ++j) {
        for (int i = 0; i < ns; ++i)
            v[i] = z[static_cast<std::size_t>(i) * nt + j];
        SolveBand(axisBand_[SplineX], v);
        for (int i = 0; i < ns; ++i)
            axisWork_[static_cast<std::size_t>(i) * nt + j] = v[i];
    }
    for (int a = 0; a < ns; ++a) {
        const std::size_t row = static_cast<std::size_t>(a) * nt;
        for (int b = 0; b < nt; ++b)
            v[b] = axisWork_[row + b];
        SolveBand(axisBand_[SplineY], v);
        for (int b = 0; b < nt; ++b)
            cf_[row + b] = static_cast<float>(v[b]);
    }
}

// The first thread solves for the coefficients before it evaluates, while
// the other threads start on the rows whose coefficients it has finished
// (the back substitution finishes the last rows of nodes first).
void SurfaceFitter::EvalRaster(const BandMatrix<float>* factors, std::span<const float> z,
                               RasterRowsDone rowsDone, void* context) {
    std::atomic<int> ready{N_};
    const SurfaceTerms terms{&axis_[SplineX], cf_.data(), shape_.nt, Ms_, Mt_, raster_.data()};
    const SupportRun* runs = runs_.Runs.data();
    const int runCount = static_cast<int>(runs_.Runs.size());
    const double* byDouble = runs_.ByDouble.data();
    // Rows are independent; each is computed whole by one thread. Small
    // surfaces stay on the calling thread.
    const bool split = static_cast<long>(Ms_) * Mt_ * K_ * K_ >= 200000;
    const auto solveFirst = [&] {
        Solve(factors, z, &ready);
        ready.store(0, std::memory_order_release);
    };
    // The coefficients a raster row reads: the rows of nodes from its first
    // X term on.
    const int* rasterFirst = axis_[SplineX].RasterFirst.data();
    const int nt = shape_.nt;
    const int Ms = Ms_;
#ifdef MORVAPLOT_ROW_AVX512
    if (ActiveVectorPath() == VectorPath::Avx512 && runs_.FitLanes) {
        const int quads = (Ms + QuadRows - 1) / QuadRows;
        // One store for each thread the region below can have.
        if (quadScratch_.size() < static_cast<std::size_t>(TeamLimit()))
            quadScratch_.resize(static_cast<std::size_t>(TeamLimit()));
        ForEachFromBothEnds(quads, split, solveFirst, [&](int q) {
            const int x0 = q * QuadRows;
            const int x1 = std::min(x0 + QuadRows, Ms);
            AwaitCoefficients(ready, *std::min_element(rasterFirst + x0, rasterFirst + x1) * nt);
            QuadScratch& scratch = quadScratch_[static_cast<std::size_t>(TeamThread())];
            EvalQuadAvx512(terms, x0, runs, runCount, byDouble, scratch);
            if (rowsDone) rowsDone(context, terms.Raster, x0, x1);
        });
        return;
    }
#endif
    ForEachFromBothEnds(Ms, split, solveFirst, [&](int x) {
        AwaitCoefficients(ready, rasterFirst[x] * nt);
        EvalRow(terms, &raster_[static_cast<std::size_t>(x) * Mt_], x, runs, runCount, byDouble);
        if (rowsDone) rowsDone(context, terms.Raster, x, x + 1);
    });
}
