#include "calc/BandElimination.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "core/LaneVectors.h"
#include "core/VectorClones.h"

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
[[gnu::always_inline]] inline int DecomposeRows(std::vector<T>& A, int n, int lower, int upper,
                                                std::vector<int>& first, std::vector<int>& last,
                                                int period = 0) {
    const int W = lower + upper + 1;
    auto rowBase = [&](int r) { return static_cast<std::size_t>(r) * W + lower - r; };
    first.resize(static_cast<std::size_t>(n));
    last.resize(static_cast<std::size_t>(n));
    // Whether each row starts equal to the row a block above (band rows
    // compare position by position: a shift by whole rows keeps them).
    std::vector<char> repeatsAbove(static_cast<std::size_t>(n), 0);
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
    std::vector<int> reach(static_cast<std::size_t>(n), -1);
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
    // The pivot row's entries right of the pivot, widened once for all rows
    // it updates: at most upper of them (entry m at pivot[m - e - 1]).
    std::vector<double> pivotWide(static_cast<std::size_t>(upper));
    double* const pivot = pivotWide.data();
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

MORVAPLOT_VECTOR_BODY int DecomposeFloatRows(std::vector<float>& A, int n, int lower, int upper,
                                              std::vector<int>& first, std::vector<int>& last, int period) {
    return DecomposeRows(A, n, lower, upper, first, last, period);
}

}  // namespace

int DecomposeBand(BandMatrix<float>& m, int period) {
    return RunVectorized<DecomposeFloatRows>(m.Values, m.N, m.Lower, m.Upper, m.RowFirst, m.RowLast, period);
}

int DecomposeBand(BandMatrix<double>& m) {
    return DecomposeRows(m.Values, m.N, m.Lower, m.Upper, m.RowFirst, m.RowLast);
}

void SolveBand(const BandMatrix<float>& m, std::span<const float> z, std::span<float> cf, int step,
               std::atomic<int>* ready) {
    const int N = m.N;
    const float* A = m.Values.data();
    // Only the rows' profiles are summed: the products of the zeros outside
    // them are zeros, and a sum from +0.0 never becomes -0.0, so adding them
    // would change nothing (the coefficients are finite, or the surface is
    // refused anyway).
    const int* first = m.RowFirst.data();
    const int* last = m.RowLast.data();
    cf[0] = z[0];
    for (int i = 1; i < N; ++i) {
        const std::size_t row = m.RowBase(i);
        double sum = 0.0;
        for (int j = first[i]; j < i; ++j)
            sum += static_cast<double>(A[row + j]) * static_cast<double>(cf[j]);
        cf[i] = static_cast<float>(static_cast<double>(z[i]) - sum);
    }
    cf[N - 1] =
        static_cast<float>(static_cast<double>(cf[N - 1]) / static_cast<double>(A[m.RowBase(N - 1) + N - 1]));
    for (int i = N - 2; i >= 0; --i) {
        const std::size_t row = m.RowBase(i);
        double sum = 0.0;
        for (int j = i + 1; j <= last[i]; ++j)
            sum += static_cast<double>(A[row + j]) * static_cast<double>(cf[j]);
        cf[i] = static_cast<float>((static_cast<double>(cf[i]) - sum) / static_cast<double>(A[row + i]));
        if (ready && i % step == 0) ready->store(i, std::memory_order_release);
    }
}

void SolveBand(const BandMatrix<double>& m, double* v) {
    const int n = m.N;
    for (int i = 1; i < n; ++i) {
        const std::size_t row = m.RowBase(i);
        double sum = 0.0;
        for (int j = std::max(0, i - m.Lower); j < i; ++j)
            sum += m.Values[row + j] * v[j];
        v[i] -= sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        const std::size_t row = m.RowBase(i);
        double sum = 0.0;
        const int jEnd = std::min(n - 1, i + m.Upper);
        for (int j = i + 1; j <= jEnd; ++j)
            sum += m.Values[row + j] * v[j];
        v[i] = (v[i] - sum) / m.Values[row + i];
    }
}
