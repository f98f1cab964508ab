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

#include "calc/FillScratch.h"
#include "calc/SurfaceFitter.h"
#include "core/LaneVectors.h"
#include "core/Message.h"
#include "core/ParallelTeam.h"
#include "core/VectorClones.h"
#include "data/Deviations.h"

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
MORVAPLOT_VECTOR_BODY void RowExtremesBody(const float* values, int n, float& min, float& max) {
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

void RowExtremes(const float* values, int n, float& min, float& max) {
    RunVectorized<RowExtremesBody>(values, n, min, max);
}

// A row of the surface into its cells, widened to double.
MORVAPLOT_VECTOR_BODY void WidenRowBody(const float* row, int n, double* cells) {
    int y = 0;
    for (; y + LaneCount <= n; y += LaneCount) {
        DoubleLanes wide;
        WidenLanes(wide, row + y);
        std::memcpy(cells + y, &wide, sizeof wide);
    }
    for (; y < n; ++y)
        cells[y] = row[y];
}

void WidenRow(const float* row, int n, double* cells) {
    RunVectorized<WidenRowBody>(row, n, cells);
}

// What the mean of each surface row needs, and its extremes, taken by the
// thread that computed the row while it is fresh in its cache. The same
// thread writes the row's cells (the surface, and empty cells beyond the
// lattice span).
struct RowSink {
    int Mt;
    FloatSummary* summaries;
    float* lows;
    float* highs;
    char* byFirstThread;  // per row: computed by the region's first thread
    ThkData* fill;
};

void MeasureRows(void* context, const float* raster, int x0, int x1) {
    const RowSink& sink = *static_cast<const RowSink*>(context);
    for (int x = x0; x < x1; ++x) {
        const float* row = raster + static_cast<std::size_t>(x) * sink.Mt;
        sink.summaries[x] = SummariseFloats(row, static_cast<std::size_t>(sink.Mt));
        RowExtremes(row, sink.Mt, sink.lows[x], sink.highs[x]);
        sink.byFirstThread[x] = TeamThread() == 0;
        double* cells = sink.fill->Value[x];
        WidenRow(row, sink.Mt, cells);
        std::fill(cells + sink.Mt, cells + ThkGridDim, NoData);
    }
}

}  // namespace

int CheckLatticeComplete(const ThkData& record, const MessageSink& messages) {
    // A non-positive pitch would never leave the walk; step by at least one.
    const int stepX = std::max(record.PitchX, 1);
    const int stepY = std::max(record.PitchY, 1);
    for (int x = 0; x <= record.ExtentX; x += stepX) {
        for (int y = 0; y <= record.ExtentY; y += stepY) {
            const bool inside = x <= ThkMaxSize && y <= ThkMaxSize;
            if (!inside || !HasData(record.Value[x][y])) {
                messages.Show("Data nothing -> X:" + std::to_string(x) + " Y:" + std::to_string(y));
                return -1;
            }
        }
    }
    return 1;
}

int FillGrid(SurfaceFitter& fitter, const ThkData& grid, ThkData& fill, int k, const MessageSink& messages) {
    // k selects the recurrence depth and the knot layout; outside the range the
    // window allows it would index the basis columns out of range.
    if (k < MinDegree || k > MaxDegree) {
        messages.Show("<FillGrid> Spline order out of range.");
        return -1;
    }
    const int nx = PitchSteps(grid.Size, grid.PitchX);
    const int ny = PitchSteps(grid.Size, grid.PitchY);
    // A negative extent leaves no lattice along that axis at all.
    if (k + 2 > nx || grid.ExtentX < 0) {
        messages.Show("No enough to fill data.(X count= " + std::to_string(nx) + ")");
        return -1;
    }
    if (k + 2 > ny || grid.ExtentY < 0) {
        messages.Show("No enough to fill data.(Y count= " + std::to_string(ny) + ")");
        return -1;
    }
    if (CheckLatticeComplete(grid, messages) != 1) return -1;

    const int ns = grid.ExtentX / grid.PitchX + 1;
    const int nt = grid.ExtentY / grid.PitchY + 1;
    // The stores are the fitter's, so a refill allocates nothing.
    FillScratch& store = fitter.FillStore();
    // The node values are staged in single precision, as the engine keeps them.
    std::vector<float>& nodes = store.Nodes;
    nodes.resize(static_cast<std::size_t>(ns) * nt);
    for (int i = 0; i < ns; ++i)
        for (int j = 0; j < nt; ++j)
            nodes[static_cast<std::size_t>(i) * nt + j] =
                static_cast<float>(grid.Value[i * grid.PitchX][j * grid.PitchY]);
    const int Ms = (ns - 1) * grid.PitchX + 1;
    const int Mt = (nt - 1) * grid.PitchY + 1;

    std::vector<FloatSummary>& rowSummaries = store.RowSummaries;
    std::vector<char>& rowByFirstThread = store.RowByFirstThread;
    std::vector<DeviationChunk>& chunks = store.TailChunks;
    rowSummaries.resize(static_cast<std::size_t>(Ms));
    store.RowMin.resize(static_cast<std::size_t>(Ms));
    store.RowMax.resize(static_cast<std::size_t>(Ms));
    rowByFirstThread.resize(static_cast<std::size_t>(Ms));
    // The threads that evaluate the surface write their rows' figures through
    // these pointers.
    float* const lows = store.RowMin.data();
    float* const highs = store.RowMax.data();
    RowSink sink{Mt, rowSummaries.data(), lows, highs, rowByFirstThread.data(), &fill};
    if (fitter.Fit(LatticeShape{ns, nt, k, grid.PitchX, grid.PitchY}, nodes, MeasureRows, &sink) != 1) {
        messages.Show("<FillGrid> Matrix decomposition error.");
        return -1;
    }
    const float* const raster = fitter.Raster();
    FloatSummary summary;
    for (const FloatSummary& row : rowSummaries)
        MergeSummary(summary, row);
    // Values near the float limit overshoot it between the nodes; a surface
    // that single precision cannot hold is refused, never shown as empty.
    if (!summary.AllFinite()) {
        messages.Show("<FillGrid> Surface out of range.");
        return -1;
    }

    ResetThkFields(fill);
    const std::size_t used = static_cast<std::size_t>(Ms) * static_cast<std::size_t>(Mt);
    const DataMean mean = MeanOf(std::span<const float>(raster, used), summary, store.Compacted);
    // Every cell is written, the surface inside the lattice span (as each row
    // was computed) and empty beyond it, so the record needs no clearing.
    for (int x = Ms; x < ThkGridDim; ++x)
        std::fill(fill.Value[x], fill.Value[x] + ThkGridDim, NoData);
    // The sum of squared deviations from the mean is taken in two parts when
    // every value has data, each by the thread that computed its rows: the
    // first sums the head rows (those the evaluation's first thread
    // computed, a leading block) exactly while the other takes the rest in
    // chunks from an estimate of the head's sum, worked out from the rows'
    // sums and sums of squares; the rest is then settled against the exact
    // head. Where the split falls changes no bit of the sum.
    int headRows = 0;
    while (headRows < Ms && rowByFirstThread[static_cast<std::size_t>(headRows)])
        ++headRows;
    const std::size_t headCount = static_cast<std::size_t>(headRows) * Mt;
    double estimate = 0.0;
    double headSum = 0.0;
    for (int x = 0; x < headRows; ++x) {
        estimate += rowSummaries[static_cast<std::size_t>(x)].LaneSquares;
        headSum += rowSummaries[static_cast<std::size_t>(x)].LaneSum;
    }
    estimate += (static_cast<double>(headCount) * mean.Mean - 2.0 * headSum) * mean.Mean;
    const bool inParts =
        mean.Data == raster && mean.Count == used && headRows > 0 && headRows < Ms && std::isfinite(estimate);
    double squares = 0.0;
    if (inParts) {
#pragma omp parallel num_threads(2) if (used >= 100000)
        {
            const int thread = TeamThread();
            if (thread == 0) squares = SumOfSquaredDeviations(raster, headCount, mean.Mean);
            if (thread == TeamSize() - 1)
                TakeDeviationChunks(raster + headCount, used - headCount, mean.Mean, estimate, chunks);
        }
        squares = SettleSquaredDeviations(raster + headCount, used - headCount, mean.Mean, squares, chunks);
    } else if (mean.Count > 0) {
        squares = SumOfSquaredDeviations(mean.Data, mean.Count, mean.Mean);
    }
    const MeanAndSigma moments{mean.Mean, mean.Count > 0 ? SigmaOf(squares, mean.Count) : 0.0};
    // The rows' extremes are combined in row order with the comparisons of
    // one running scan.
    double min = RunningMinStart;
    double max = StatInitMax;
    for (int x = 0; x < Ms; ++x) {
        const double lo = lows[x];
        const double hi = highs[x];
        if (min > lo) min = lo;
        if (max < hi) max = hi;
    }
    fill.Valid = true;
    StoreStatistics(fill, min, max, moments);
    return 1;
}

int RunFill(SurfaceFitter& fitter, const ThkData& grid, ThkData& fill, int k, const MessageSink& messages) {
    if (FillGrid(fitter, grid, fill, k, messages) != 1) {
        ClearThkData(&fill, 1);
        return -1;
    }
    fill.Size = grid.Size;
    return 1;
}
