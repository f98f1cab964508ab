#include "calc/Fill.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "calc/BSpline.h"
#include "core/Message.h"
#include "core/VectorClones.h"

namespace {

constexpr int MinDegree = 1;
constexpr int MaxDegree = 10;

// Pitch steps across the data area; a non-positive pitch has none (and must not
// reach an integer division).
int PitchSteps(int size, int pitch) {
    return pitch > 0 ? size / pitch : 0;
}

// A key that orders floats like their values (-0 just below +0): the
// pattern itself for a positive float, its magnitude bits flipped for a
// negative one. The same operation turns a key back into the float.
inline std::int32_t OrderKey(std::int32_t bits) {
    return bits ^ ((bits >> 31) & 0x7FFFFFFF);
}

// The extremes of one row of finite values as a running scan finds them
// (min > v replaces the minimum, max < v the maximum; the maximum starts at
// the empty value, so nothing at or below it is taken). The scan runs on the
// order keys, which integer units compare in vectors; keys and values order
// alike except that -0 and +0 differ, so a zero extreme, where the running
// scan keeps whichever zero came first, is settled by a plain rescan.
MORVAPLOT_VECTOR_CLONES
void RowExtremes(const float* values, int n, float& min, float& max) {
    const std::int32_t start = OrderKey(std::bit_cast<std::int32_t>(static_cast<float>(StatInitMax)));
    std::int32_t lo = OrderKey(std::bit_cast<std::int32_t>(std::numeric_limits<float>::infinity()));
    std::int32_t hi = start;
    for (int i = 0; i < n; ++i) {
        std::int32_t bits;
        std::memcpy(&bits, values + i, sizeof bits);
        const std::int32_t key = OrderKey(bits);
        lo = key < lo ? key : lo;
        hi = key > hi ? key : hi;
    }
    float l = std::bit_cast<float>(OrderKey(lo));
    float h = std::bit_cast<float>(OrderKey(hi));
    if (l == 0.0f || h == 0.0f) {
        l = std::numeric_limits<float>::infinity();
        h = static_cast<float>(StatInitMax);
        for (int k = 0; k < n; ++k) {
            if (l > values[k]) l = values[k];
            if (h < values[k]) h = values[k];
        }
    }
    min = l;
    max = h;
}

// Where the surface rows go as they are computed: the record's cells (every
// cell of the column, empty beyond the surface) and, per row, its extremes
// and what its mean needs.
struct RowSink {
    ThkData* fill;
    const float* raster;
    int Mt;
    float* lows;
    float* highs;
    FloatSummary* summaries;
};

void TakeRows(void* context, int x0, int x1) {
    const RowSink& sink = *static_cast<const RowSink*>(context);
    for (int x = x0; x < x1; ++x) {
        const float* column = sink.raster + static_cast<std::size_t>(x) * sink.Mt;
        double* cells = sink.fill->Value[x];
        for (int y = 0; y < sink.Mt; ++y)
            cells[y] = column[y];
        std::fill(cells + sink.Mt, cells + ThkGridDim, NoData);
        RowExtremes(column, sink.Mt, sink.lows[x], sink.highs[x]);
        sink.summaries[x] = SummariseFloats(column, static_cast<std::size_t>(sink.Mt));
    }
}

}  // namespace

int CheckLatticeComplete(const ThkData& record) {
    // A non-positive pitch would never leave the walk; step by at least one.
    const int stepX = std::max(record.PitchX, 1);
    const int stepY = std::max(record.PitchY, 1);
    for (int x = 0; x <= record.ExtentX; x += stepX) {
        for (int y = 0; y <= record.ExtentY; y += stepY) {
            const bool inside = x <= ThkMaxSize && y <= ThkMaxSize;
            if (!inside || !HasData(record.Value[x][y])) {
                ShowMessage("Data nothing -> X:" + std::to_string(x) + " Y:" + std::to_string(y));
                return -1;
            }
        }
    }
    return 1;
}

int FillGrid(const ThkData& grid, ThkData& fill, int k) {
    // k selects the recurrence depth and the knot layout; outside the range the
    // window allows it would index the basis columns out of range.
    if (k < MinDegree || k > MaxDegree) {
        ShowMessage("<FillGrid> Spline order out of range.");
        return -1;
    }
    const int nx = PitchSteps(grid.Size, grid.PitchX);
    const int ny = PitchSteps(grid.Size, grid.PitchY);
    // A negative extent leaves no lattice along that axis at all.
    if (k + 2 > nx || grid.ExtentX < 0) {
        ShowMessage("No enough to fill data.(X count= " + std::to_string(nx) + ")");
        return -1;
    }
    if (k + 2 > ny || grid.ExtentY < 0) {
        ShowMessage("No enough to fill data.(Y count= " + std::to_string(ny) + ")");
        return -1;
    }
    if (CheckLatticeComplete(grid) != 1) return -1;

    const int ns = grid.ExtentX / grid.PitchX + 1;
    const int nt = grid.ExtentY / grid.PitchY + 1;
    SetSplineSize(ns, nt, k, grid.PitchX, grid.PitchY);
    SplineState& s = Spline();
    for (int i = 0; i < ns; ++i)
        for (int j = 0; j < nt; ++j)
            s.Z[static_cast<std::size_t>(i) * nt + j] =
                static_cast<float>(grid.Value[i * grid.PitchX][j * grid.PitchY]);

    BuildKnots(SplineX);
    BuildKnots(SplineY);
    // A refill of the same lattice shape (a new Calc at the same pitch) uses
    // the factors of the last one.
    if (!RestoreFactors()) {
        BuildCollocation();
        if (DecomposeLU() != 1) {
            ShowMessage("<FillGrid> Matrix decomposition error.");
            return -1;
        }
        KeepFactors();
    }
    SolveLU(s.Z, s.Cf);

    // Each surface row is written to the record, and measured, by the thread
    // that computed it while the row is fresh in its cache. The record needs
    // no clearing first: every cell is written, the surface inside the
    // lattice span and empty beyond it.
    thread_local std::vector<float> rowMin;
    thread_local std::vector<float> rowMax;
    thread_local std::vector<FloatSummary> rowSummaries;
    const int Ms = s.Ms;
    rowMin.resize(static_cast<std::size_t>(Ms));
    rowMax.resize(static_cast<std::size_t>(Ms));
    rowSummaries.resize(static_cast<std::size_t>(Ms));
    RowSink sink{&fill, s.Raster.data(), s.Mt, rowMin.data(), rowMax.data(), rowSummaries.data()};
    EvalSurface(TakeRows, &sink);
    FloatSummary summary;
    for (const FloatSummary& row : rowSummaries)
        MergeSummary(summary, row);
    // Values near the float limit overshoot it between the nodes; a surface
    // that single precision cannot hold is refused, never shown as empty.
    if (!summary.AllFinite()) {
        ShowMessage("<FillGrid> Surface out of range.");
        return -1;
    }
    for (int x = Ms; x < ThkGridDim; ++x)
        std::fill(fill.Value[x], fill.Value[x] + ThkGridDim, NoData);
    ResetThkFields(fill);
    const MeanAndSigma moments =
        MeanAndSigmaOf(std::span<const float>(sink.raster, static_cast<std::size_t>(Ms) * sink.Mt), summary);
    double min = RunningMinStart;
    double max = StatInitMax;
    for (int x = 0; x < Ms; ++x) {
        const double lo = rowMin[static_cast<std::size_t>(x)];
        const double hi = rowMax[static_cast<std::size_t>(x)];
        if (min > lo) min = lo;
        if (max < hi) max = hi;
    }
    fill.Valid = true;
    StoreStatistics(fill, min, max, moments);
    return 1;
}

int RunFill(const ThkData& grid, ThkData& fill, int k) {
    if (FillGrid(grid, fill, k) != 1) {
        ClearThkData(&fill, 1);
        return -1;
    }
    fill.Size = grid.Size;
    return 1;
}
