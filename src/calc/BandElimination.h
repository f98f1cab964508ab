#pragma once

#include <atomic>
#include <cstddef>
#include <span>
#include <vector>

// Gaussian elimination without row exchanges, and the substitutions on its
// factors, for square matrices stored in band form. The B-spline interpolation
// matrices are banded (each basis function has local support), and restricted
// to the band the elimination gives the same bits as the dense loops (see the
// note in BandElimination.cpp).

// Entry (r, m) for r - Lower <= m <= r + Upper at
// Values[r * (Lower + Upper + 1) + m - r + Lower]; every entry outside the band
// is zero.
template <typename T>
struct BandMatrix {
    int N = 0;
    int Lower = 0;
    int Upper = 0;
    std::vector<T> Values;
    // After DecomposeBand: per row, its first and last column that can be
    // non-zero (every entry outside them is zero).
    std::vector<int> RowFirst;
    std::vector<int> RowLast;

    int Width() const { return Lower + Upper + 1; }
    std::size_t RowBase(int r) const { return static_cast<std::size_t>(r) * Width() + Lower - r; }
    T& At(int r, int m) { return Values[RowBase(r) + m]; }
};

// Elimination in place; the multipliers replace the eliminated entries.
// Returns 1, or -1 when a row is entirely zero or a pivot is zero.
// period > 0 (single precision): rows come in blocks of period rows (a row of
// lattice nodes), and where the matrix repeats itself block by block the
// elimination of a block is copied from the block above.
int DecomposeBand(BandMatrix<float>& matrix, int period);
int DecomposeBand(BandMatrix<double>& matrix);

// Forward and back substitution on single-precision factors, over each row's
// profile, in double rounded to float per coefficient: cf from the right-hand
// side z (N values each). When ready is given, the back substitution stores
// there, at every row that is a multiple of step, the first coefficient from
// which on every coefficient is final (release), for threads that start on
// them.
void SolveBand(const BandMatrix<float>& factors, std::span<const float> z, std::span<float> cf, int step = 1,
               std::atomic<int>* ready = nullptr);

// Forward and back substitution on double factors over whole band rows, in
// place on v (N values).
void SolveBand(const BandMatrix<double>& factors, double* v);
