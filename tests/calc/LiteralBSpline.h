#pragma once

// Literal twin of the B-spline engine and of Fill, written as the plain
// loops with no shortcut: the dense N x N interpolation matrix, the
// Y basis evaluated once per (i, a, j) while building it, elimination over every
// row and column, and all N terms summed at every raster point with the Y basis
// evaluated once per (x, y). Slow on purpose; the product code must give the
// same bits. Sized to the lattice (no fixed store), so only small lattices are
// practical.
//
// ClampParameter = false reproduces the original parameter handling, where a
// raster parameter more than 1e-6 past the last knot falls into no interval.

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "data/ThkData.h"
#include "support/PlainStatistics.h"

namespace literal {

struct SplineAxis {
    int n = 0;
    std::vector<float> t;     // n + K knots
    std::vector<float> N[2];  // Cox-de Boor columns, n + 1 each
    std::vector<float> B;     // n basis values
};

struct Spline {
    int ns = 0, nt = 0, N = 0, k = 0, K = 0, pitchX = 0, pitchY = 0, Ms = 0, Mt = 0;
    bool ClampParameter = true;
    SplineAxis ax[2];
    std::vector<float> A;  // N x N, row-major
    std::vector<float> z, cf, raster;

    float& a(int r, int m) { return A[static_cast<std::size_t>(r) * N + m]; }
};

inline void SetSizes(Spline& s, int ns, int nt, int k, int pitchX, int pitchY) {
    s.ns = ns;
    s.nt = nt;
    s.N = ns * nt;
    s.k = k;
    s.K = k + 1;
    s.pitchX = pitchX;
    s.pitchY = pitchY;
    s.Ms = (ns - 1) * pitchX + 1;
    s.Mt = (nt - 1) * pitchY + 1;
    const int counts[2] = {ns, nt};
    for (int d = 0; d < 2; ++d) {
        s.ax[d].n = counts[d];
        s.ax[d].t.assign(counts[d] + s.K, 0.0f);
        s.ax[d].N[0].assign(counts[d] + 1, 0.0f);
        s.ax[d].N[1].assign(counts[d] + 1, 0.0f);
        s.ax[d].B.assign(counts[d], 0.0f);
    }
    s.A.assign(static_cast<std::size_t>(s.N) * s.N, 0.0f);
    s.z.assign(s.N, 0.0f);
    s.cf.assign(s.N, 0.0f);
    s.raster.assign(static_cast<std::size_t>(s.Ms) * s.Mt, 0.0f);
}

inline void BuildKnots(Spline& s, int d) {
    std::vector<float>& t = s.ax[d].t;
    const int n = s.ax[d].n;
    const int K = s.K;
    for (int i = 0; i <= K - 1; ++i)
        t[i] = 0.0f;
    for (int i = 0; i <= n - K - 1; ++i)
        t[K + i] = static_cast<float>(i + K * 0.5);
    for (int i = n; i <= n + K - 1; ++i)
        t[i] = static_cast<float>(n - 1);
}

inline void EvalBasis(Spline& s, int d, float u) {
    SplineAxis& ax = s.ax[d];
    const int n = ax.n;
    const std::vector<float>& t = ax.t;
    std::vector<float>* N = ax.N;
    if (s.ClampParameter && u > t[n]) u = t[n];
    for (int i = 0; i <= n; ++i)
        N[0][i] = 0.0f;
    int span = 0;
    for (int i = 0; i <= n - 1; ++i) {
        if (t[i] <= u && u < t[i + 1]) {
            N[0][i] = 1.0f;
            span = i;
        }
    }
    if (t[n - 1] <= u && static_cast<double>(u) <= static_cast<double>(t[n]) + 1e-6) {
        N[0][n - 1] = 1.0f;
        span = n - 1;
    }
    for (int q = 1; q <= s.K - 1; ++q) {
        const int cur = q % 2;
        const int prev = (q - 1) % 2;
        for (int i = 0; i <= n; ++i)
            N[cur][i] = 0.0f;
        for (int i = std::max(span - q, 0); i <= span; ++i) {
            float a = 0.0f;
            float b = 0.0f;
            if (t[i + 1] != t[i + q + 1])
                a = static_cast<float>((static_cast<double>(t[i + q + 1]) - u) * N[prev][i + 1] /
                                       (static_cast<double>(t[i + q + 1]) - t[i + 1]));
            if (t[i] != t[i + q])
                b = static_cast<float>((static_cast<double>(u) - t[i]) * N[prev][i] /
                                       (static_cast<double>(t[i + q]) - t[i]));
            N[cur][i] = static_cast<float>(static_cast<double>(a) + b);
        }
    }
    for (int i = 0; i <= n - 1; ++i)
        ax.B[i] = N[(s.K - 1) % 2][i];
}

inline void BuildCollocation(Spline& s) {
    for (int i = 0; i < s.ns; ++i) {
        EvalBasis(s, 0, static_cast<float>(i));
        for (int a = 0; a < s.ns; ++a) {
            const float bx = s.ax[0].B[a];
            for (int j = 0; j < s.nt; ++j) {
                EvalBasis(s, 1, static_cast<float>(j));
                for (int b = 0; b < s.nt; ++b)
                    s.a(i * s.nt + j, a * s.nt + b) =
                        static_cast<float>(static_cast<double>(bx) * s.ax[1].B[b]);
            }
        }
    }
}

inline int DecomposeLU(Spline& s) {
    const int N = s.N;
    for (int r = 0; r < N; ++r) {
        bool allZero = true;
        for (int m = 0; m < N; ++m)
            allZero = allZero && s.a(r, m) == 0.0f;
        if (allZero) return -1;
    }
    for (int e = 0; e <= N - 2; ++e) {
        const double p = s.a(e, e);
        for (int r = e + 1; r <= N - 1; ++r) {
            const double f = -static_cast<double>(s.a(r, e)) / p;
            s.a(r, e) = static_cast<float>(-f);
            if (f != 0.0)
                for (int m = e + 1; m <= N - 1; ++m)
                    s.a(r, m) = static_cast<float>(f * s.a(e, m) + static_cast<double>(s.a(r, m)));
        }
    }
    return s.a(N - 1, N - 1) == 0.0f ? -1 : 1;
}

inline void SolveLU(Spline& s) {
    const int N = s.N;
    s.cf[0] = s.z[0];
    for (int i = 1; i <= N - 1; ++i) {
        double sum = 0.0;
        for (int j = 0; j < i; ++j)
            sum += static_cast<double>(s.a(i, j)) * s.cf[j];
        s.cf[i] = static_cast<float>(s.z[i] - sum);
    }
    s.cf[N - 1] = static_cast<float>(static_cast<double>(s.cf[N - 1]) / s.a(N - 1, N - 1));
    for (int i = N - 2; i >= 0; --i) {
        double sum = 0.0;
        for (int j = i + 1; j <= N - 1; ++j)
            sum += static_cast<double>(s.a(i, j)) * s.cf[j];
        s.cf[i] = static_cast<float>((s.cf[i] - sum) / s.a(i, i));
    }
}

inline void EvalSurface(Spline& s) {
    const float hx = static_cast<float>(1.0 / s.pitchX);
    const float hy = static_cast<float>(1.0 / s.pitchY);
    for (int x = 0; x <= s.Ms - 1; ++x) {
        const float u = static_cast<float>(static_cast<double>(x) * hx);
        EvalBasis(s, 0, u);
        for (int y = 0; y <= s.Mt - 1; ++y) {
            const float v = static_cast<float>(static_cast<double>(y) * hy);
            EvalBasis(s, 1, v);
            float value = 0.0f;
            for (int a = 0; a < s.ns; ++a)
                for (int b = 0; b < s.nt; ++b)
                    value = static_cast<float>(static_cast<double>(value) +
                                               static_cast<double>(s.cf[a * s.nt + b]) * s.ax[0].B[a] *
                                                   s.ax[1].B[b]);
            s.raster[static_cast<std::size_t>(x) * s.Mt + y] = value;
        }
    }
}

// The engine part of Fill on a complete Grid record (no count or node checks,
// no messages). Returns 1, or -1 when the elimination fails.
inline int FillRaster(const ThkData& grid, int k, Spline& s) {
    const int ns = grid.ExtentX / grid.PitchX + 1;
    const int nt = grid.ExtentY / grid.PitchY + 1;
    SetSizes(s, ns, nt, k, grid.PitchX, grid.PitchY);
    int r = 0;
    for (int x = 0; x <= grid.ExtentX; x += grid.PitchX)
        for (int y = 0; y <= grid.ExtentY; y += grid.PitchY)
            s.z[r++] = static_cast<float>(grid.Value[x][y]);
    BuildKnots(s, 0);
    BuildKnots(s, 1);
    BuildCollocation(s);
    if (DecomposeLU(s) != 1) return -1;
    SolveLU(s);
    EvalSurface(s);
    return 1;
}

// Raster value at (x, y) of the last FillRaster.
inline float RasterAt(const Spline& s, int x, int y) {
    return s.raster[static_cast<std::size_t>(x) * s.Mt + y];
}

// Whole Fill on a complete Grid record: FillRaster, then the store and the
// statistics of Fill. Returns 1 or -1 (no messages).
inline int FillGrid(const ThkData& grid, ThkData& fill, int k, Spline& s) {
    if (FillRaster(grid, k, s) != 1) return -1;
    ClearThkData(&fill, 1);
    double min = StatInitMin;
    double max = StatInitMax;
    for (int x = 0; x <= s.Ms - 1; ++x) {
        for (int y = 0; y <= s.Mt - 1; ++y) {
            const double v = RasterAt(s, x, y);
            fill.Value[x][y] = v;
            if (min > v) min = v;
            if (max < v) max = v;
        }
    }
    fill.Valid = true;
    fill.Min = fill.RangeMin = min;
    fill.Max = fill.RangeMax = max;
    fill.Range = max - min;
    const plain::Moments moments = plain::MomentsOf(fill);
    fill.Mean = moments.Mean;
    fill.Sigma = moments.Sigma;
    return 1;
}

// A Grid record as Calc leaves it: Size, both pitches and both extents set, a
// value at every lattice node (every other cell empty). Values are seeded
// pseudo-random thicknesses in [base, base + spread), drawn from the raw
// generator output so the sequence is the same with every standard library.
inline void MakeLattice(ThkData& grid, int size, int pitchX, int pitchY, std::uint32_t seed,
                        double base = 100.0, double spread = 50.0) {
    ClearThkData(&grid, 1);
    grid.Size = size;
    grid.PitchX = pitchX;
    grid.PitchY = pitchY;
    grid.ExtentX = size;
    grid.ExtentY = size;
    std::mt19937 gen(seed);
    for (int x = 0; x <= size; x += pitchX)
        for (int y = 0; y <= size; y += pitchY)
            grid.Value[x][y] = base + spread * static_cast<double>(gen() % 1000000u) / 1e6;
    grid.Valid = true;
}

}  // namespace literal
