#include "calc/BSpline.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "core/LaneVectors.h"
#include "core/VectorClones.h"

#ifdef _OPENMP
#include <omp.h>
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

// Why the band restriction gives the same bits as the dense loops
// --------------------------------------------------------------
// Every basis value is >= +0 (parameters past the last knot are clamped), so
// every entry of the interpolation matrix outside the product of the two
// non-zero basis ranges of its node is +0. Without row exchanges the elimination
// cannot create a non-zero entry outside the band of the original matrix: a row
// is only changed by a multiple of a pivot row when its multiplier is non-zero,
// and the pivot row is zero beyond its own band. The dense loops still touch
// those positions, but only ever add a zero to a zero, which can at most flip
// the sign of that zero. Non-zero values are therefore computed from the same
// operands in the same order and come out identical. A zero entry (of either
// sign) matters nowhere: as a multiplier it skips the row update in both
// versions, and as a term of a substitution or evaluation sum it adds nothing
// (the other factor is finite), because those sums start at +0 and
// x + (+-0) == x for every x except -0, which none of them can reach. The same
// holds for basis values outside the support window in the surface
// evaluation. The one intended difference: a zero pivot before the last stops the elimination here,
// where the dense loops would divide by it.

namespace {

SplineState state;
// Whether the dense solve's factors are the kept ones rather than those in
// the store's A (after KeepFactors or RestoreFactors, until the store is
// sized or its matrix built or decomposed again).
bool solveFromKept = false;

template <typename T>
void Resize(std::vector<T>& v, std::size_t n) {
    // resize() only reallocates when n exceeds the capacity reserved by an
    // earlier, larger lattice.
    v.resize(n);
}

void SizeAxis(SplineAxis& ax, int count, int pitch, int K) {
    ax.Count = count;
    ax.Pitch = pitch;
    ax.Raster = (count - 1) * pitch + 1;
    Resize(ax.Knots, static_cast<std::size_t>(count + K));
    Resize(ax.Basis, static_cast<std::size_t>(count));
    std::fill(ax.Basis.begin(), ax.Basis.end(), 0.0f);
    ax.BasisFirst = 0;
    ax.BasisLast = -1;
    Resize(ax.WorkPrev, static_cast<std::size_t>(K + 1));
    Resize(ax.WorkCur, static_cast<std::size_t>(K + 1));
    Resize(ax.NodeFirst, static_cast<std::size_t>(count));
    Resize(ax.NodeCount, static_cast<std::size_t>(count));
    Resize(ax.NodeBasis, static_cast<std::size_t>(count) * K);
    Resize(ax.RasterFirst, static_cast<std::size_t>(ax.Raster));
    Resize(ax.RasterCount, static_cast<std::size_t>(ax.Raster));
    Resize(ax.RasterBasis, static_cast<std::size_t>(ax.Raster) * K);
}

// Copies the non-zero values of the last EvalBasis call (span as returned).
// At a node the support window holds exact zeros at its ends (the node sits on
// a knot); leaving them out keeps the band of the interpolation matrix to its
// non-zero entries.
void TakeNonZero(const SplineAxis& ax, int span, int k, int& first, int& count, float* values) {
    first = 0;
    count = 0;
    if (span < 0) return;
    int lo = std::max(span - k, 0);
    int hi = span;
    while (lo <= hi && ax.Basis[lo] == 0.0f)
        ++lo;
    while (hi >= lo && ax.Basis[hi] == 0.0f)
        --hi;
    if (lo > hi) return;
    first = lo;
    count = hi - lo + 1;
    for (int c = 0; c < count; ++c)
        values[c] = ax.Basis[first + c];
}

// Whether two axes have the same nodes, knots and pitch: every basis value
// of one is then the same computation as the other's, and is copied.
bool SameAxis(const SplineAxis& a, const SplineAxis& b) {
    return a.Count == b.Count && a.Pitch == b.Pitch && a.Knots == b.Knots;
}

// 1-D collocation matrix of one axis in band form (double), for the
// axis-by-axis solve.
void BuildAxisBand(SplineAxis& ax, int K) {
    ax.Lower = 0;
    ax.Upper = 0;
    for (int i = 0; i < ax.Count; ++i) {
        if (ax.NodeCount[i] == 0) continue;
        ax.Lower = std::max(ax.Lower, i - ax.NodeFirst[i]);
        ax.Upper = std::max(ax.Upper, ax.NodeFirst[i] + ax.NodeCount[i] - 1 - i);
    }
    const int W = ax.Lower + ax.Upper + 1;
    Resize(ax.Band, static_cast<std::size_t>(ax.Count) * W);
    std::fill(ax.Band.begin(), ax.Band.end(), 0.0);
    for (int i = 0; i < ax.Count; ++i) {
        const std::size_t row = static_cast<std::size_t>(i) * W + ax.Lower - i;
        for (int c = 0; c < ax.NodeCount[i]; ++c)
            ax.Band[row + ax.NodeFirst[i] + c] = ax.NodeBasis[static_cast<std::size_t>(i) * K + c];
    }
}

// Elimination without row exchanges on a band matrix, in the element type T.
// The multipliers replace the eliminated entries. Returns 1, or -1 for an
// all-zero row or a zero pivot.
//
// Only the profile of each row is worked: first[r] is the first non-zero
// column of row r, which elimination never moves (an update only reaches
// columns right of its pivot), so a row whose profile starts right of a
// pivot column has nothing to eliminate there. last[r] is the last column
// that can be non-zero in row r: it starts at the row's last non-zero entry
// and grows to the pivot row's when a row is updated. Past it the pivot row
// holds zeros, and an update there would only add a zero product to the
// entry (at most flipping the sign of a zero, which nothing depends on).
// Both are left for the substitutions of the dense solve.
//
// period > 0: rows come in blocks of period (the lattice's rows of nodes),
// and elimination repeats itself block by block where the matrix does: when
// a block's rows started equal to the rows a block above, and the final rows
// their elimination reads equal the rows a block above those, the pivots of
// the block do exactly what the pivots of the block above did, one block
// further on. Their result is then copied rather than worked out again.
template <typename T>
[[gnu::always_inline]] inline int DecomposeBand(std::vector<T>& A, int n, int lower, int upper,
                                                std::vector<int>& first, std::vector<int>& last,
                                                int period = 0) {
    const int W = lower + upper + 1;
    auto rowBase = [&](int r) { return static_cast<std::size_t>(r) * W + lower - r; };
    first.resize(static_cast<std::size_t>(n));
    last.resize(static_cast<std::size_t>(n));
    // Whether each row starts equal to the row a block above (band rows
    // compare position by position: a shift by whole rows keeps them).
    thread_local std::vector<char> repeatsAbove;
    repeatsAbove.assign(static_cast<std::size_t>(n), 0);
    // One pass over each band row finds its first and last non-zero entry
    // (band position c holds column r - lower + c; the positions of columns
    // outside 0 .. n-1 hold zeros). The profile reaches the diagonal at least.
    for (int r = 0; r < n; ++r) {
        const T* row = &A[static_cast<std::size_t>(r) * W];
        if (period > 0 && r >= period)
            repeatsAbove[static_cast<std::size_t>(r)] =
                std::memcmp(row, row - static_cast<std::size_t>(period) * W,
                            sizeof(T) * static_cast<std::size_t>(W)) == 0;
        // Two plain reductions, which the compiler turns into vector code.
        int lo = W;
        for (int c = 0; c < W; ++c) {
            const int at = row[c] != T(0) ? c : W;
            lo = lo < at ? lo : at;
        }
        int hi = -1;
        for (int c = 0; c < W; ++c) {
            const int at = row[c] != T(0) ? c : -1;
            hi = hi > at ? hi : at;
        }
        if (hi < 0) return -1;
        first[static_cast<std::size_t>(r)] = std::min(lo, lower) + r - lower;
        last[static_cast<std::size_t>(r)] = std::max(hi, lower) + r - lower;
    }
    // The last row whose profile starts at or left of each pivot column: no
    // row below it has anything to eliminate there.
    thread_local std::vector<int> reach;
    reach.assign(static_cast<std::size_t>(n), -1);
    for (int r = 0; r < n; ++r)
        reach[static_cast<std::size_t>(first[static_cast<std::size_t>(r)])] = r;
    for (int e = 1; e < n; ++e)
        reach[static_cast<std::size_t>(e)] =
            std::max(reach[static_cast<std::size_t>(e)], reach[static_cast<std::size_t>(e - 1)]);
    // The last row the pivots up to e update.
    auto rowsReached = [&](int e) {
        return std::min({n - 1, e + lower, reach[static_cast<std::size_t>(e)]});
    };
    // Whether the pivots e0 .. e0 + period - 1 repeat those a block above: the
    // rows they update started equal to those a block above, and the final
    // rows these have been updated by (from the first of their profiles on)
    // equal those a block above, so the rows are now what the rows a block
    // above were before that block's pivots. No bound of the matrix cuts the
    // updates short in either block.
    auto repeatsBlockAbove = [&](int e0) {
        const int P = period;
        if (P <= 0 || e0 < P || e0 % P != 0 || e0 + P + W > n) return false;
        const int reached = rowsReached(e0 + P - 1);
        if (reached != rowsReached(e0 - 1) + P) return false;
        int from = e0;
        for (int r = e0; r <= reached; ++r) {
            if (!repeatsAbove[static_cast<std::size_t>(r)]) return false;
            from = std::min(from, first[static_cast<std::size_t>(r)]);
        }
        if (from < P) return false;
        for (int r = from; r < e0; ++r)
            if (last[static_cast<std::size_t>(r)] != last[static_cast<std::size_t>(r - P)] + P) return false;
        return std::memcmp(&A[static_cast<std::size_t>(from) * W], &A[static_cast<std::size_t>(from - P) * W],
                           sizeof(T) * static_cast<std::size_t>(e0 - from) * W) == 0;
    };
    for (int e = 0; e < n - 1; ++e) {
        if (period > 0 && e % period == 0 && repeatsBlockAbove(e)) {
            // The rows the block's pivots update become what the rows a block
            // above are after their block's pivots: those rows as they stand.
            const int reached = rowsReached(e + period - 1);
            std::memmove(&A[static_cast<std::size_t>(e) * W], &A[static_cast<std::size_t>(e - period) * W],
                         sizeof(T) * static_cast<std::size_t>(reached - e + 1) * W);
            for (int r = reached; r >= e; --r)
                last[static_cast<std::size_t>(r)] = last[static_cast<std::size_t>(r - period)] + period;
            e += period - 1;
            continue;
        }
        const std::size_t rowE = rowBase(e);
        const double p = static_cast<double>(A[rowE + e]);
        // A zero pivot before the last one would spread inf/NaN through every
        // later row; stop as for a zero last pivot.
        if (p == 0.0) return -1;
        const int rEnd = std::min({n - 1, e + lower, reach[static_cast<std::size_t>(e)]});
        const int mEnd = last[static_cast<std::size_t>(e)];
        // The updates run on in whole vectors of 16 while the band lasts:
        // past mEnd the pivot row holds zeros, so they leave every entry as
        // it is (up to the sign of a zero).
        const int mLast = std::min({n - 1, e + upper, e + ((mEnd - e + 15) / 16) * 16});
        // The pivot row's entries are widened once for all rows it updates.
        thread_local std::vector<double> pivotWide;
        pivotWide.resize(static_cast<std::size_t>(std::max(mLast - e, 0)));
        double* const pivot = pivotWide.data();  // entry m at pivot[m - e - 1]
        for (int m = e + 1; m <= mLast; ++m)
            pivot[m - e - 1] = static_cast<double>(A[rowE + m]);
        for (int r = e + 1; r <= rEnd; ++r) {
            if (first[static_cast<std::size_t>(r)] > e) continue;
            const std::size_t rowR = rowBase(r);
            const double f = -static_cast<double>(A[rowR + e]) / p;
            A[rowR + e] = static_cast<T>(-f);
            if (f == 0.0) continue;
            T* target = &A[rowR + e + 1];
            if (mLast - e == 32) {
                // The common reach of a cubic lattice, at a fixed count; floats
                // eight to a vector, widened as loaded and rounded as stored.
                if constexpr (std::is_same_v<T, float>) {
                    for (int q = 0; q < 32; q += LaneCount) {
                        DoubleLanes sum;
                        WidenLanes(sum, target + q);
                        DoubleLanes row;
                        LoadLanes(row, pivot + q);
                        sum = f * row + sum;
                        StoreNarrowed(target + q, sum);
                    }
                } else {
                    for (int m = 0; m < 32; ++m)
                        target[m] = static_cast<T>(f * pivot[m] + static_cast<double>(target[m]));
                }
            } else {
                for (int m = 0; m < mLast - e; ++m)
                    target[m] = static_cast<T>(f * pivot[m] + static_cast<double>(target[m]));
            }
            last[static_cast<std::size_t>(r)] = std::max(last[static_cast<std::size_t>(r)], mEnd);
        }
    }
    if (A[rowBase(n - 1) + (n - 1)] == T(0)) return -1;
    return 1;
}

MORVAPLOT_VECTOR_CLONES
int DecomposeFloatBand(std::vector<float>& A, int n, int lower, int upper, std::vector<int>& first,
                       std::vector<int>& last, int period) {
    return DecomposeBand(A, n, lower, upper, first, last, period);
}

// Forward and back substitution in double on the factors of an axis band,
// in place on v (Count values).
void SolveAxis(const SplineAxis& ax, double* v) {
    const int n = ax.Count;
    const int W = ax.Lower + ax.Upper + 1;
    auto rowBase = [&](int r) { return static_cast<std::size_t>(r) * W + ax.Lower - r; };
    for (int i = 1; i < n; ++i) {
        const std::size_t row = rowBase(i);
        double sum = 0.0;
        for (int j = std::max(0, i - ax.Lower); j < i; ++j)
            sum += ax.Band[row + j] * v[j];
        v[i] -= sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        const std::size_t row = rowBase(i);
        double sum = 0.0;
        const int jEnd = std::min(n - 1, i + ax.Upper);
        for (int j = i + 1; j <= jEnd; ++j)
            sum += ax.Band[row + j] * v[j];
        v[i] = (v[i] - sum) / ax.Band[row + i];
    }
}

}  // namespace

SplineState& Spline() {
    return state;
}

void SetSplineSize(int ns, int nt, int k, int pitchX, int pitchY) {
    SplineState& s = state;
    solveFromKept = false;
    s.ns = ns;
    s.nt = nt;
    s.N = ns * nt;
    s.k = k;
    s.K = k + 1;
    s.pitchX = pitchX;
    s.pitchY = pitchY;
    s.Ms = (ns - 1) * pitchX + 1;
    s.Mt = (nt - 1) * pitchY + 1;
    SizeAxis(s.Axis[SplineX], ns, pitchX, s.K);
    SizeAxis(s.Axis[SplineY], nt, pitchY, s.K);

    s.ByAxis = !(ns <= SplineDenseMaxNodesPerAxis && nt <= SplineDenseMaxNodesPerAxis &&
                 ns + s.K <= SplineDenseMaxKnots && nt + s.K <= SplineDenseMaxKnots &&
                 s.N <= SplineDenseMaxNodes && s.Ms <= SplineDenseMaxRaster && s.Mt <= SplineDenseMaxRaster);
    Resize(s.Z, static_cast<std::size_t>(s.N));
    Resize(s.Cf, static_cast<std::size_t>(s.N));
    Resize(s.Raster, static_cast<std::size_t>(s.Ms) * s.Mt);
    if (s.ByAxis) {
        Resize(s.AxisWork, static_cast<std::size_t>(s.N));
        Resize(s.AxisRhs, static_cast<std::size_t>(std::max(ns, nt)));
    }
}

void BuildKnots(int direction) {
    SplineAxis& ax = state.Axis[direction];
    const int n = ax.Count;
    const int K = state.K;
    float* t = ax.Knots.data();
    for (int i = 0; i < K; ++i)
        t[i] = 0.0f;
    for (int i = 0; i <= n - K - 1; ++i)
        t[K + i] = static_cast<float>(i + K * 0.5);
    for (int i = n; i < n + K; ++i)
        t[i] = static_cast<float>(n - 1);
}

int EvalBasis(int direction, float u) {
    SplineAxis& ax = state.Axis[direction];
    const int n = ax.Count;
    const int k = state.k;
    const float* t = ax.Knots.data();

    for (int i = ax.BasisFirst; i <= ax.BasisLast; ++i)
        ax.Basis[i] = 0.0f;
    ax.BasisFirst = 0;
    ax.BasisLast = -1;

    // With a pitch whose reciprocal is not exact in float, the last raster
    // parameter x * float(1 / pitch) can land past the last knot by more than
    // the 1e-6 tolerance below (pitch 7 from 23 nodes on) and would fall into
    // no interval at all.
    if (u > t[n]) u = t[n];

    int span = -1;
    for (int i = 0; i < n; ++i)
        if (t[i] <= u && u < t[i + 1]) span = i;
    // The last interval is closed, so u = n - 1 evaluates.
    if (t[n - 1] <= u && static_cast<double>(u) <= static_cast<double>(t[n]) + 1e-6) span = n - 1;
    if (span < 0) return -1;

    // The recurrence on the columns of the full basis only ever touches indices
    // lo .. span + 1; the window holds exactly those, everything else is zero.
    const int lo = std::max(span - k, 0);
    const int width = span + 2 - lo;
    float* prev = ax.WorkPrev.data();
    float* cur = ax.WorkCur.data();
    std::fill(prev, prev + width, 0.0f);
    prev[span - lo] = 1.0f;
    const double ud = u;
    for (int q = 1; q <= k; ++q) {
        std::fill(cur, cur + width, 0.0f);
        for (int i = std::max(span - q, 0); i <= span; ++i) {
            float a = 0.0f;
            float b = 0.0f;
            if (t[i + 1] != t[i + q + 1])
                a = static_cast<float>((static_cast<double>(t[i + q + 1]) - ud) *
                                       static_cast<double>(prev[i + 1 - lo]) /
                                       (static_cast<double>(t[i + q + 1]) - t[i + 1]));
            if (t[i] != t[i + q])
                b = static_cast<float>((ud - static_cast<double>(t[i])) * static_cast<double>(prev[i - lo]) /
                                       (static_cast<double>(t[i + q]) - t[i]));
            cur[i - lo] = static_cast<float>(static_cast<double>(a) + static_cast<double>(b));
        }
        std::swap(prev, cur);
    }
    for (int i = lo; i <= span; ++i)
        ax.Basis[i] = prev[i - lo];
    ax.BasisFirst = lo;
    ax.BasisLast = span;
    return span;
}

void PrepareCollocation() {
    SplineState& s = state;
    solveFromKept = false;
    for (int d = 0; d < 2; ++d) {
        SplineAxis& ax = s.Axis[d];
        if (d == SplineY && SameAxis(s.Axis[SplineX], ax)) {
            ax.NodeFirst = s.Axis[SplineX].NodeFirst;
            ax.NodeCount = s.Axis[SplineX].NodeCount;
            ax.NodeBasis = s.Axis[SplineX].NodeBasis;
            continue;
        }
        for (int i = 0; i < ax.Count; ++i) {
            const int span = EvalBasis(d, static_cast<float>(i));
            TakeNonZero(ax, span, s.k, ax.NodeFirst[i], ax.NodeCount[i],
                        &ax.NodeBasis[static_cast<std::size_t>(i) * s.K]);
        }
    }
    if (s.ByAxis) {
        BuildAxisBand(s.Axis[SplineX], s.K);
        BuildAxisBand(s.Axis[SplineY], s.K);
        return;
    }

    const SplineAxis& X = s.Axis[SplineX];
    const SplineAxis& Y = s.Axis[SplineY];
    s.Lower = 0;
    s.Upper = 0;
    for (int i = 0; i < s.ns; ++i) {
        if (X.NodeCount[i] == 0) continue;
        for (int j = 0; j < s.nt; ++j) {
            if (Y.NodeCount[j] == 0) continue;
            const int r = i * s.nt + j;
            const int first = X.NodeFirst[i] * s.nt + Y.NodeFirst[j];
            const int last =
                (X.NodeFirst[i] + X.NodeCount[i] - 1) * s.nt + Y.NodeFirst[j] + Y.NodeCount[j] - 1;
            s.Lower = std::max(s.Lower, r - first);
            s.Upper = std::max(s.Upper, last - r);
        }
    }
    Resize(s.A, static_cast<std::size_t>(s.N) * (s.Lower + s.Upper + 1));
}

void FillCollocation(int r0, int r1) {
    SplineState& s = state;
    if (s.ByAxis) return;
    const SplineAxis& X = s.Axis[SplineX];
    const SplineAxis& Y = s.Axis[SplineY];
    const std::size_t W = static_cast<std::size_t>(s.Lower + s.Upper + 1);
    std::fill(s.A.begin() + static_cast<std::ptrdiff_t>(r0 * W),
              s.A.begin() + static_cast<std::ptrdiff_t>(r1 * W), 0.0f);
    for (int r = r0; r < r1; ++r) {
        const int i = r / s.nt;
        const int j = r % s.nt;
        const float* bx = &X.NodeBasis[static_cast<std::size_t>(i) * s.K];
        const float* by = &Y.NodeBasis[static_cast<std::size_t>(j) * s.K];
        for (int ca = 0; ca < X.NodeCount[i]; ++ca) {
            const int a = X.NodeFirst[i] + ca;
            for (int cb = 0; cb < Y.NodeCount[j]; ++cb) {
                const int b = Y.NodeFirst[j] + cb;
                s.At(r, a * s.nt + b) =
                    static_cast<float>(static_cast<double>(bx[ca]) * static_cast<double>(by[cb]));
            }
        }
    }
}

namespace {

// The lattice shape and pitches the raster basis, the Y runs and the widened
// Y basis were last worked out for: they depend on nothing else (the knots
// follow from the node count and the degree), so a refill of the same
// lattice uses them again.
struct RasterShape {
    int ns = 0;
    int nt = 0;
    int k = 0;
    int pitchX = 0;
    int pitchY = 0;
    bool operator==(const RasterShape&) const = default;
};
RasterShape rasterShape;

// The factors of the last dense interpolation matrix decomposed. They depend
// only on the lattice shape (ns x nt nodes, degree k): knots, node basis and
// elimination are the same computation every time.
struct KeptFactors {
    bool Valid = false;
    int ns = 0;
    int nt = 0;
    int k = 0;
    int Lower = 0;
    int Upper = 0;
    std::vector<float> A;
    std::vector<int> RowFirst;
    std::vector<int> RowLast;
} kept;

}  // namespace

void KeepFactors() {
    SplineState& s = state;
    if (s.ByAxis) return;
    kept.Valid = true;
    kept.ns = s.ns;
    kept.nt = s.nt;
    kept.k = s.k;
    kept.Lower = s.Lower;
    kept.Upper = s.Upper;
    // The factors move out of the store rather than being copied; the solve
    // reads them where they are kept.
    kept.A.swap(s.A);
    solveFromKept = true;
    kept.RowFirst = s.RowFirst;
    kept.RowLast = s.RowLast;
}

void ForgetFactors() {
    kept.Valid = false;
    rasterShape = {};
}

bool RestoreFactors() {
    SplineState& s = state;
    if (s.ByAxis || !kept.Valid || kept.ns != s.ns || kept.nt != s.nt || kept.k != s.k) return false;
    s.Lower = kept.Lower;
    s.Upper = kept.Upper;
    solveFromKept = true;
    s.RowFirst = kept.RowFirst;
    s.RowLast = kept.RowLast;
    return true;
}

int DecomposeLU() {
    SplineState& s = state;
    solveFromKept = false;
    if (s.ByAxis) {
        // The axis solve sums whole band rows; the profiles are not kept.
        thread_local std::vector<int> first;
        thread_local std::vector<int> last;
        for (SplineAxis& ax : s.Axis)
            if (DecomposeBand(ax.Band, ax.Count, ax.Lower, ax.Upper, first, last) != 1) return -1;
        return 1;
    }
    // A block is one row of nodes along X: nt nodes.
    return DecomposeFloatBand(s.A, s.N, s.Lower, s.Upper, s.RowFirst, s.RowLast, s.nt);
}

namespace {

// SolveLU; when ready is given, the back substitution of the dense solve
// stores there, after each row of nodes, the first coefficient from which on
// every coefficient is final (release), for threads that start on them.
void SolveWithProgress(std::span<const float> z, std::span<float> cf, std::atomic<int>* ready) {
    SplineState& s = state;
    const int N = s.N;
    if (s.ByAxis) {
        // The interpolation matrix is B^X (x) B^Y, so the node values Z (ns x nt)
        // are B^X C (B^Y)^T: solve along X for every column, then along Y for
        // every row of the intermediate.
        double* v = s.AxisRhs.data();
        for (int j = 0; j < s.nt; ++j) {
            for (int i = 0; i < s.ns; ++i)
                v[i] = z[static_cast<std::size_t>(i) * s.nt + j];
            SolveAxis(s.Axis[SplineX], v);
            for (int i = 0; i < s.ns; ++i)
                s.AxisWork[static_cast<std::size_t>(i) * s.nt + j] = v[i];
        }
        for (int a = 0; a < s.ns; ++a) {
            const std::size_t row = static_cast<std::size_t>(a) * s.nt;
            for (int b = 0; b < s.nt; ++b)
                v[b] = s.AxisWork[row + b];
            SolveAxis(s.Axis[SplineY], v);
            for (int b = 0; b < s.nt; ++b)
                cf[row + b] = static_cast<float>(v[b]);
        }
        return;
    }

    const int W = s.Lower + s.Upper + 1;
    const float* A = solveFromKept ? kept.A.data() : s.A.data();
    auto rowBase = [&](int r) { return static_cast<std::size_t>(r) * W + s.Lower - r; };
    // Only the rows' profiles are summed: the products of the zeros outside
    // them are zeros, and a sum from +0.0 never becomes -0.0, so adding them
    // would change nothing (the coefficients are finite, or the surface is
    // refused anyway).
    const int* first = s.RowFirst.data();
    const int* last = s.RowLast.data();
    cf[0] = z[0];
    for (int i = 1; i < N; ++i) {
        const std::size_t row = rowBase(i);
        double sum = 0.0;
        for (int j = first[i]; j < i; ++j)
            sum += static_cast<double>(A[row + j]) * static_cast<double>(cf[j]);
        cf[i] = static_cast<float>(static_cast<double>(z[i]) - sum);
    }
    cf[N - 1] =
        static_cast<float>(static_cast<double>(cf[N - 1]) / static_cast<double>(A[rowBase(N - 1) + N - 1]));
    for (int i = N - 2; i >= 0; --i) {
        const std::size_t row = rowBase(i);
        double sum = 0.0;
        for (int j = i + 1; j <= last[i]; ++j)
            sum += static_cast<double>(A[row + j]) * static_cast<double>(cf[j]);
        cf[i] = static_cast<float>((static_cast<double>(cf[i]) - sum) / static_cast<double>(A[row + i]));
        if (ready && i % s.nt == 0) ready->store(i, std::memory_order_release);
    }
}

}  // namespace

void SolveLU(std::span<const float> z, std::span<float> cf) {
    SolveWithProgress(z, cf, nullptr);
}

namespace {

// Consecutive raster points along Y with one support window: they share their
// basis columns, while each point still sums its own terms in order.
struct SupportRun {
    int Start;
    int Length;
    int First;
    int Count;
};

// The Y runs and the Y basis widened to double once for all rows: value c of
// point y at ByDouble[c * Mt + y].
std::vector<SupportRun> YRuns;
std::vector<double> ByDouble;

// One raster row x: every point sums its terms in the order a outer, b
// inner, as the plain double loop over the coefficients does. cf * B^X is
// exact in double (two floats), so forming it once per run keeps the product
// (cf * B^X) * B^Y of every term.
MORVAPLOT_VECTOR_CLONES
void EvalRow(const SplineState& s, float* out, int x, const SupportRun* runs, int runCount,
             const double* byDouble) {
    const SplineAxis& X = s.Axis[SplineX];
    const int fx = X.RasterFirst[x];
    const int cx = X.RasterCount[x];
    for (int r = 0; r < runCount; ++r) {
        const SupportRun run = runs[r];
        float* o = out + run.Start;
        for (int q = 0; q < run.Length; ++q)
            o[q] = 0.0f;
        for (int ca = 0; ca < cx; ++ca) {
            const float* cfRow = &s.Cf[static_cast<std::size_t>(fx + ca) * s.nt + run.First];
            const double bx = X.RasterBasis[static_cast<std::size_t>(ca) * s.Ms + x];
            for (int cb = 0; cb < run.Count; ++cb) {
                const double cfbx = static_cast<double>(cfRow[cb]) * bx;
                const double* by = &byDouble[static_cast<std::size_t>(cb) * s.Mt + run.Start];
                for (int q = 0; q < run.Length; ++q)
                    o[q] = static_cast<float>(static_cast<double>(o[q]) + cfbx * by[q]);
            }
        }
    }
}

// Whether every run holds at least four points and all runs share one term
// count (every lattice of pitch 4 or more): then four rows are worked at
// once in lanes of two rows by four points.
bool RunsFitLanes = false;
// Points per row in one register's lanes.
constexpr int GroupPoints = 4;

#if defined(__x86_64__) && defined(__GNUC__)
#define MORVAPLOT_ROW_AVX512 1
constexpr int QuadRows = 4;
// Groups of four points worked at once.
constexpr int MaxGroups = 5;

// One register's lanes of products cf * B^X: four of one row, four of another.
struct alignas(64) RowPairLanes {
    double Lanes[8];
};

// One chunk of G groups of four consecutive points of a run, in four rows.
// The eight double lanes of a register hold four points of rows 0 and 1 (or
// 2 and 3), and each lane does exactly what one point's scalar code does
// (widen the float sum, add the term in double, round to float), over the
// terms in the point's order (a outer, b inner). pairs holds the products
// cf * B^X of rows 0 and 1 for term (a, 0) at a * nt, four lanes each, and
// those of rows 2 and 3 pairStride further on; one register of Y basis
// values serves both row pairs.
template <int G>
__attribute__((target("avx512f"), always_inline)) inline void EvalGroupsAvx512(
    const RowPairLanes* pairs, std::size_t pairStride, int nt, const double* byDouble, int Mt, int cx, int cy,
    const int* start, float* const* out) {
    __m512d sum[2][G];
    for (int p = 0; p < 2; ++p)
        for (int g = 0; g < G; ++g)
            sum[p][g] = _mm512_setzero_pd();
    for (int ca = 0; ca < cx; ++ca)
        for (int cb = 0; cb < cy; ++cb) {
            const double* by = byDouble + static_cast<std::size_t>(cb) * Mt;
            const RowPairLanes* term = pairs + static_cast<std::size_t>(ca) * nt + cb;
            const __m512d c[2] = {_mm512_load_pd(term[0].Lanes), _mm512_load_pd(term[pairStride].Lanes)};
            for (int g = 0; g < G; ++g) {
                const __m512d basis = _mm512_broadcast_f64x4(_mm256_loadu_pd(by + start[g]));
                for (int p = 0; p < 2; ++p)
                    sum[p][g] = _mm512_cvtps_pd(
                        _mm512_cvtpd_ps(_mm512_add_pd(sum[p][g], _mm512_mul_pd(c[p], basis))));
            }
        }
    for (int p = 0; p < 2; ++p)
        for (int g = 0; g < G; ++g) {
            const __m256 values = _mm512_cvtpd_ps(sum[p][g]);
            _mm_storeu_ps(out[2 * p] + start[g], _mm256_castps256_ps128(values));
            _mm_storeu_ps(out[2 * p + 1] + start[g], _mm256_extractf128_ps(values, 1));
        }
}

// EvalRow for four rows x0 .. x0 + 3 at once (a row past the last is taken
// as the last, whose bits come out the same twice). A run's points are
// taken in chunks of up to five groups of four; a run's last group is moved
// back to end at the run's end, and points computed twice get the same bits
// both times.
__attribute__((target("avx512f"))) void EvalQuadAvx512(const SplineState& s, int x0, const SupportRun* runs,
                                                       int runCount, const double* byDouble) {
    const SplineAxis& X = s.Axis[SplineX];
    const int cy = runs[0].Count;
    int rows[QuadRows];
    for (int j = 0; j < QuadRows; ++j)
        rows[j] = std::min(x0 + j, s.Ms - 1);
    const int cx = X.RasterCount[rows[0]];
    for (int j = 1; j < QuadRows; ++j)
        if (X.RasterCount[rows[j]] != cx) {
            // Rows with unequal term counts (none on a regular lattice) take
            // the plain loop one by one.
            for (int k = 0; k < QuadRows; ++k)
                if (k == 0 || rows[k] != rows[k - 1])
                    EvalRow(s, const_cast<float*>(&s.Raster[static_cast<std::size_t>(rows[k]) * s.Mt]),
                            rows[k], runs, runCount, byDouble);
            return;
        }
    // cf * B^X for each row, term a and every Y coefficient b: the term
    // (a, b) of a run starting at coefficient First is entry First + b.
    const int nt = s.nt;
    const std::size_t rowStride = static_cast<std::size_t>(cx) * nt;
    thread_local std::vector<double> products;
    products.resize(QuadRows * rowStride);
    for (int j = 0; j < QuadRows; ++j) {
        const int x = rows[j];
        const int fx = X.RasterFirst[x];
        for (int ca = 0; ca < cx; ++ca) {
            const float* cfRow = &s.Cf[static_cast<std::size_t>(fx + ca) * nt];
            const double bx = X.RasterBasis[static_cast<std::size_t>(ca) * s.Ms + x];
            double* t = &products[j * rowStride + static_cast<std::size_t>(ca) * nt];
            for (int b = 0; b < nt; ++b)
                t[b] = static_cast<double>(cfRow[b]) * bx;
        }
    }
    // The same products as the kernel's registers hold them, a pair of rows
    // four lanes each, so that each term loads them in one piece. (Formed
    // above in vectors and broadcast from memory here, they cost less than
    // formed one at a time and broadcast from registers.)
    thread_local std::vector<RowPairLanes> pairs;
    pairs.resize(2 * rowStride);
    for (int p = 0; p < 2; ++p)
        for (std::size_t i = 0; i < rowStride; ++i)
            _mm512_store_pd(pairs[p * rowStride + i].Lanes,
                            _mm512_insertf64x4(_mm512_set1_pd(products[2 * p * rowStride + i]),
                                               _mm256_set1_pd(products[(2 * p + 1) * rowStride + i]), 1));
    float* out[QuadRows];
    for (int j = 0; j < QuadRows; ++j)
        out[j] = const_cast<float*>(&s.Raster[static_cast<std::size_t>(rows[j]) * s.Mt]);
    for (int r = 0; r < runCount; ++r) {
        const SupportRun run = runs[r];
        const RowPairLanes* coefficients = &pairs[static_cast<std::size_t>(run.First)];
        const int groups = (run.Length + GroupPoints - 1) / GroupPoints;
        for (int g0 = 0; g0 < groups; g0 += MaxGroups) {
            const int count = std::min(MaxGroups, groups - g0);
            int start[MaxGroups];
            for (int g = 0; g < count; ++g)
                start[g] = run.Start + std::min((g0 + g) * GroupPoints, run.Length - GroupPoints);
            switch (count) {
                case 1:
                    EvalGroupsAvx512<1>(coefficients, rowStride, nt, byDouble, s.Mt, cx, cy, start, out);
                    break;
                case 2:
                    EvalGroupsAvx512<2>(coefficients, rowStride, nt, byDouble, s.Mt, cx, cy, start, out);
                    break;
                case 3:
                    EvalGroupsAvx512<3>(coefficients, rowStride, nt, byDouble, s.Mt, cx, cy, start, out);
                    break;
                case 4:
                    EvalGroupsAvx512<4>(coefficients, rowStride, nt, byDouble, s.Mt, cx, cy, start, out);
                    break;
                default:
                    EvalGroupsAvx512<MaxGroups>(coefficients, rowStride, nt, byDouble, s.Mt, cx, cy, start,
                                                out);
                    break;
            }
        }
    }
}
#endif

}  // namespace

namespace {

// A solve the first thread of the evaluation runs before it evaluates,
// while the other threads start on the rows whose coefficients it has
// finished: coefficients from index ready on are final.
struct PendingSolve {
    std::span<const float> z;
    std::atomic<int> ready;
};

void PrepareRaster();
void EvalRaster(RasterRowsDone rowsDone, void* context, PendingSolve& solve);

}  // namespace

void PrepareSurface() {
    const SplineState& s = state;
    const RasterShape shape{s.ns, s.nt, s.k, s.pitchX, s.pitchY};
    if (!(shape == rasterShape)) PrepareRaster();
    rasterShape = shape;
}

void SolveAndEvalSurface(std::span<const float> z, RasterRowsDone rowsDone, void* context) {
    PrepareSurface();
    PendingSolve solve{z, state.N};
    EvalRaster(rowsDone, context, solve);
}

namespace {

void PrepareRaster() {
    SplineState& s = state;
    const float h[2] = {static_cast<float>(1.0 / s.pitchX), static_cast<float>(1.0 / s.pitchY)};
    for (int d = 0; d < 2; ++d) {
        SplineAxis& ax = s.Axis[d];
        if (d == SplineY && SameAxis(s.Axis[SplineX], ax)) {
            ax.RasterFirst = s.Axis[SplineX].RasterFirst;
            ax.RasterCount = s.Axis[SplineX].RasterCount;
            ax.RasterBasis = s.Axis[SplineX].RasterBasis;
            continue;
        }
        for (int p = 0; p < ax.Raster; ++p) {
            const float u = static_cast<float>(static_cast<double>(p) * static_cast<double>(h[d]));
            const int span = EvalBasis(d, u);
            const int first = span < 0 ? 0 : std::max(span - s.k, 0);
            const int count = span < 0 ? 0 : span - first + 1;
            ax.RasterFirst[p] = first;
            ax.RasterCount[p] = count;
            for (int c = 0; c < count; ++c)
                ax.RasterBasis[static_cast<std::size_t>(c) * ax.Raster + p] = ax.Basis[first + c];
        }
    }

    const SplineAxis& Y = s.Axis[SplineY];
    YRuns.clear();
    for (int y0 = 0; y0 < s.Mt;) {
        const int fy = Y.RasterFirst[y0];
        const int cy = Y.RasterCount[y0];
        int y1 = y0 + 1;
        while (y1 < s.Mt && Y.RasterFirst[y1] == fy && Y.RasterCount[y1] == cy)
            ++y1;
        YRuns.push_back({y0, y1 - y0, fy, cy});
        y0 = y1;
    }
    Resize(ByDouble, static_cast<std::size_t>(s.K) * s.Mt);
    for (int c = 0; c < s.K; ++c)
        for (int y = 0; y < s.Mt; ++y)
            ByDouble[static_cast<std::size_t>(c) * s.Mt + y] =
                c < Y.RasterCount[y]
                    ? static_cast<double>(Y.RasterBasis[static_cast<std::size_t>(c) * s.Mt + y])
                    : 0.0;

    RunsFitLanes = s.Axis[SplineX].Raster > 0;
    for (const SupportRun& run : YRuns)
        if (run.Length < GroupPoints || run.Count != YRuns.front().Count) RunsFitLanes = false;
}

// work(i) for i = 0 .. count - 1, on the threads of one parallel region
// when split, after the first thread has run before(). The first thread
// takes items from the top and the others from the bottom until they meet,
// so the first thread's items are one leading block and the others' one
// trailing block, and a thread the machine slows down (another guest on its
// core) takes fewer items instead of holding up the rest.
template <typename Before, typename Work>
void ForEachFromBothEnds(int count, bool split, const Before& before, const Work& work) {
    std::atomic<int> claimed{0};
    std::atomic<int> bottom{count};
#pragma omp parallel if (split)
    {
#ifdef _OPENMP
        const bool first = omp_get_thread_num() == 0;
#else
        const bool first = true;
#endif
        if (first) before();
        int top = 0;
        // Every successful claim takes one item off one end; together the
        // claims never exceed count, so the two ends never cross.
        while (claimed.fetch_add(1, std::memory_order_relaxed) < count)
            work(first ? top++ : bottom.fetch_sub(1, std::memory_order_relaxed) - 1);
    }
}

// Waits until the coefficients from index from on are final.
void AwaitCoefficients(const PendingSolve& solve, int from) {
    while (solve.ready.load(std::memory_order_acquire) > from) {
#if defined(__x86_64__) && defined(__GNUC__)
        _mm_pause();
#endif
    }
}

void EvalRaster(RasterRowsDone rowsDone, void* context, PendingSolve& solve) {
    SplineState& s = state;

    const SupportRun* runs = YRuns.data();
    const int runCount = static_cast<int>(YRuns.size());
    const double* byDouble = ByDouble.data();
    // Rows are independent; each is computed whole by one thread. Small
    // surfaces stay on the calling thread.
    const bool split = static_cast<long>(s.Ms) * s.Mt * s.K * s.K >= 200000;
    const SplineState& cs = s;
    const auto solveFirst = [&] {
        SolveWithProgress(solve.z, s.Cf, &solve.ready);
        solve.ready.store(0, std::memory_order_release);
    };
    // The coefficients a raster row reads: the rows of nodes from its first
    // X term on.
    const int* rasterFirst = s.Axis[SplineX].RasterFirst.data();
#ifdef MORVAPLOT_ROW_AVX512
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    if (avx512 && RunsFitLanes) {
        const int quads = (cs.Ms + QuadRows - 1) / QuadRows;
        ForEachFromBothEnds(quads, split, solveFirst, [&](int q) {
            const int x0 = q * QuadRows;
            const int x1 = std::min(x0 + QuadRows, cs.Ms);
            AwaitCoefficients(solve, *std::min_element(rasterFirst + x0, rasterFirst + x1) * cs.nt);
            EvalQuadAvx512(cs, q * QuadRows, runs, runCount, byDouble);
            if (rowsDone) rowsDone(context, q * QuadRows, std::min((q + 1) * QuadRows, cs.Ms));
        });
        return;
    }
#endif
    ForEachFromBothEnds(cs.Ms, split, solveFirst, [&](int x) {
        AwaitCoefficients(solve, rasterFirst[x] * cs.nt);
        EvalRow(cs, &s.Raster[static_cast<std::size_t>(x) * cs.Mt], x, runs, runCount, byDouble);
        if (rowsDone) rowsDone(context, x, x + 1);
    });
}

}  // namespace
