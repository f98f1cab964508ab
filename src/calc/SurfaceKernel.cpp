#include "calc/SurfaceKernel.h"

#include <algorithm>
#include <cstddef>

#include "core/VectorClones.h"

#ifdef MORVAPLOT_ROW_AVX512
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

void RasterRuns::Prepare(const SplineAxis& Y, int K, int rasterRows) {
    const int Mt = Y.Raster;
    Runs.clear();
    for (int y0 = 0; y0 < Mt;) {
        const int fy = Y.RasterFirst[y0];
        const int cy = Y.RasterCount[y0];
        int y1 = y0 + 1;
        while (y1 < Mt && Y.RasterFirst[y1] == fy && Y.RasterCount[y1] == cy)
            ++y1;
        Runs.push_back({y0, y1 - y0, fy, cy});
        y0 = y1;
    }
    ByDouble.resize(static_cast<std::size_t>(K) * Mt);
    for (int c = 0; c < K; ++c)
        for (int y = 0; y < Mt; ++y)
            ByDouble[static_cast<std::size_t>(c) * Mt + y] =
                c < Y.RasterCount[y] ? static_cast<double>(Y.RasterBasis[static_cast<std::size_t>(c) * Mt + y])
                                     : 0.0;
    FitLanes = rasterRows > 0;
    for (const SupportRun& run : Runs)
        if (run.Length < GroupPoints || run.Count != Runs.front().Count) FitLanes = false;
}

namespace {

// One raster row x: every point sums its terms in the order a outer, b
// inner, as the plain double loop over the coefficients does. cf * B^X is
// exact in double (two floats), so forming it once per run keeps the product
// (cf * B^X) * B^Y of every term.
MORVAPLOT_VECTOR_BODY void EvalRowBody(const SurfaceTerms& s, float* out, int x, const SupportRun* runs, int runCount,
             const double* byDouble) {
    const SplineAxis& X = *s.X;
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


}  // namespace

void EvalRow(const SurfaceTerms& s, float* out, int x, const SupportRun* runs, int runCount,
             const double* byDouble) {
    RunVectorized<EvalRowBody>(s, out, x, runs, runCount, byDouble);
}

#ifdef MORVAPLOT_ROW_AVX512
namespace {
// Groups of four points worked at once.
constexpr int MaxGroups = 5;

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

}  // namespace

// EvalRow for four rows x0 .. x0 + 3 at once (a row past the last is taken
// as the last, whose bits come out the same twice). A run's points are
// taken in chunks of up to five groups of four; a run's last group is moved
// back to end at the run's end, and points computed twice get the same bits
// both times.
__attribute__((target("avx512f"))) void EvalQuadAvx512(const SurfaceTerms& s, int x0, const SupportRun* runs,
                                                       int runCount, const double* byDouble,
                                                       QuadScratch& scratch) {
    const SplineAxis& X = *s.X;
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
                    EvalRow(s, &s.Raster[static_cast<std::size_t>(rows[k]) * s.Mt], rows[k], runs, runCount,
                            byDouble);
            return;
        }
    // cf * B^X for each row, term a and every Y coefficient b: the term
    // (a, b) of a run starting at coefficient First is entry First + b.
    const int nt = s.nt;
    const std::size_t rowStride = static_cast<std::size_t>(cx) * nt;
    std::vector<double>& products = scratch.Products;
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
    std::vector<RowPairLanes>& pairs = scratch.Pairs;
    pairs.resize(2 * rowStride);
    for (int p = 0; p < 2; ++p)
        for (std::size_t i = 0; i < rowStride; ++i)
            _mm512_store_pd(pairs[p * rowStride + i].Lanes,
                            _mm512_insertf64x4(_mm512_set1_pd(products[2 * p * rowStride + i]),
                                               _mm256_set1_pd(products[(2 * p + 1) * rowStride + i]), 1));
    float* out[QuadRows];
    for (int j = 0; j < QuadRows; ++j)
        out[j] = &s.Raster[static_cast<std::size_t>(rows[j]) * s.Mt];
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
