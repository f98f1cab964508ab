#include "calc/SplineBasis.h"

#include <algorithm>
#include <cstddef>

// The recurrence is evaluated only on its support window (the columns
// span - k .. span + 1 it can touch); every other column of the full
// recurrence stays +0 throughout, so the window's values carry the bits of the
// full loop's.

namespace {

template <typename T>
void Resize(std::vector<T>& v, std::size_t n) {
    // resize() only reallocates when n exceeds the capacity reserved by an
    // earlier, larger lattice.
    v.resize(n);
}

}  // namespace

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

void BuildKnots(SplineAxis& ax, int K) {
    const int n = ax.Count;
    float* t = ax.Knots.data();
    for (int i = 0; i < K; ++i)
        t[i] = 0.0f;
    for (int i = 0; i <= n - K - 1; ++i)
        t[K + i] = static_cast<float>(i + K * 0.5);
    for (int i = n; i < n + K; ++i)
        t[i] = static_cast<float>(n - 1);
}

int EvalBasis(SplineAxis& ax, int k, float u) {
    const int n = ax.Count;
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

bool SameAxis(const SplineAxis& a, const SplineAxis& b) {
    return a.Count == b.Count && a.Pitch == b.Pitch && a.Knots == b.Knots;
}

void TabulateNodeBasis(SplineAxis& ax, int k) {
    const int K = k + 1;
    for (int i = 0; i < ax.Count; ++i) {
        const int span = EvalBasis(ax, k, static_cast<float>(i));
        int& first = ax.NodeFirst[i];
        int& count = ax.NodeCount[i];
        float* values = &ax.NodeBasis[static_cast<std::size_t>(i) * K];
        first = 0;
        count = 0;
        if (span < 0) continue;
        // At a node the support window holds exact zeros at its ends (the
        // node sits on a knot); leaving them out keeps the band of the
        // interpolation matrix to its non-zero entries.
        int lo = std::max(span - k, 0);
        int hi = span;
        while (lo <= hi && ax.Basis[lo] == 0.0f)
            ++lo;
        while (hi >= lo && ax.Basis[hi] == 0.0f)
            --hi;
        if (lo > hi) continue;
        first = lo;
        count = hi - lo + 1;
        for (int c = 0; c < count; ++c)
            values[c] = ax.Basis[first + c];
    }
}

void TabulateRasterBasis(SplineAxis& ax, int k) {
    const float h = static_cast<float>(1.0 / ax.Pitch);
    for (int p = 0; p < ax.Raster; ++p) {
        const float u = static_cast<float>(static_cast<double>(p) * static_cast<double>(h));
        const int span = EvalBasis(ax, k, u);
        const int first = span < 0 ? 0 : std::max(span - k, 0);
        const int count = span < 0 ? 0 : span - first + 1;
        ax.RasterFirst[p] = first;
        ax.RasterCount[p] = count;
        for (int c = 0; c < count; ++c)
            ax.RasterBasis[static_cast<std::size_t>(c) * ax.Raster + p] = ax.Basis[first + c];
    }
}
