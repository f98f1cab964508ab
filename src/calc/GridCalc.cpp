#include "calc/GridCalc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/Message.h"

// Both operations give the bits of the plain window scan while touching only
// the data cells:
//
// - The window offsets run from -trunc(R) to R and every cell must also pass
//   the circle test float(sqrt(dx^2 + dy^2)) <= R. Rounding is monotone, so for
//   a fixed dx the cells inside form one run |dy| <= h(|dx|); h is found once
//   per column offset instead of testing every cell.
// - An index of the data cells per column (with the count of cells ahead of
//   every position) yields the data cells of such a run directly, so empty
//   space costs nothing.
// - The weighted sums are accumulated over the data cells in the same order as
//   the window scan (dx ascending, then dy ascending), with weights from a
//   table filled by the very expression the scan would evaluate, so every
//   double addition happens with the same operands in the same order.
// - Whether every node has n cells within R is monotone in R, so the radius
//   search needs only the largest n-th nearest distance over the nodes; the
//   float radius sequence is then walked against that one value, which is
//   where restarting the scan after every step would end.

namespace {

using Int64 = std::int64_t;

// Offsets beyond this cannot matter: any two cells of the record are less than
// 710 apart. Capping keeps every squared offset exact in 64-bit integers and
// doubles, whatever radius or node a caller passes.
constexpr Int64 kMaxReach = Int64{1} << 20;

// Largest coordinate that may be read: Size, but never outside the array.
int ReadLimit(const ThkData& record) {
    return std::min<int>(record.Size, ThkMaxSize);
}

// Distance between cells as it is compared with the radius: computed in double
// precision, rounded once to float.
float CellDistance(Int64 squared) {
    return static_cast<float>(std::sqrt(static_cast<double>(squared)));
}

float CellDistance(Int64 dx, Int64 dy) {
    return CellDistance(dx * dx + dy * dy);
}

// Half-width of the scanned window: trunc(R) for R >= 0, -1 (nothing) for a
// negative or NaN radius. -0.0 counts as 0, so the node's own cell is inside.
Int64 WindowHalfWidth(float radius) {
    if (!(radius >= 0.0f)) return -1;
    if (radius >= static_cast<float>(kMaxReach)) return kMaxReach;
    return static_cast<Int64>(radius);
}

// Largest b in 0..halfWidth with CellDistance(a, b) <= radius, for a column
// offset a in 0..halfWidth (where b = 0 is always inside, since float(a) <= R).
Int64 HalfHeight(Int64 a, float radius, Int64 halfWidth) {
    // Start from the exact-arithmetic answer and let the float rounding of the
    // distance widen it. The start is never too wide: R * R - a * a is exact in
    // double (R has 24 significant bits), so b <= sqrt(rem) unless the double
    // square root rounded up to the integer b, and then sqrt(a^2 + b^2)
    // exceeds R by less than half a double ulp of R, far below a float ulp:
    // CellDistance(a, b) is still R.
    const double rem = static_cast<double>(radius) * radius - static_cast<double>(a) * a;
    const double estimate = rem > 0.0 ? std::sqrt(rem) : 0.0;
    Int64 b = estimate < static_cast<double>(halfWidth) ? static_cast<Int64>(estimate) : halfWidth;
    while (b < halfWidth && CellDistance(a, b + 1) <= radius)
        ++b;
    return b;
}

double InverseDistanceWeight(float distance, double weightPower) {
    // A cell on the node weighs 1.0, not infinitely much.
    return distance > 0.0f ? 1.0 / std::pow(static_cast<double>(distance), weightPower) : 1.0;
}

// The data cells of 0..Limit on both axes in x-major order, with the number
// of data cells ahead of every position of every column that holds data, so
// the cells of any column range are found without a search. Columns without
// data (most of them when the points lie on a coarse lattice) keep no table.
struct CellIndex {
    int Limit = -1;
    std::vector<int> ColumnStart;  // data cells before column x
    std::vector<int> ColumnRow;    // table row of column x, -1 for a column without data
    std::vector<int> Ahead;        // Ahead[row * (Limit + 2) + y], y in 0..Limit + 1
    std::vector<int> Y;
    std::vector<double> V;  // only when asked for

    int CellCount() const { return static_cast<int>(Y.size()); }
    bool EmptyColumn(int x) const { return ColumnRow[static_cast<size_t>(x)] < 0; }
    // Position in Y of the first data cell of column x at or after y.
    int Position(int x, int y) const {
        const int row = ColumnRow[static_cast<size_t>(x)];
        if (row < 0) return ColumnStart[static_cast<size_t>(x)];
        return Ahead[static_cast<size_t>(row) * static_cast<size_t>(Limit + 2) + static_cast<size_t>(y)];
    }
    // Data cells of column x with yLo <= y <= yHi (both inside 0..Limit).
    int CountIn(int x, int yLo, int yHi) const { return Position(x, yHi + 1) - Position(x, yLo); }
};

void BuildCellIndex(const ThkData& record, bool withValues, CellIndex& index) {
    index.Limit = ReadLimit(record);
    const int limit = index.Limit;
    const size_t columns = limit < 0 ? 0 : static_cast<size_t>(limit + 1);
    index.ColumnStart.assign(columns, 0);
    index.ColumnRow.assign(columns, -1);
    index.Ahead.clear();
    index.Y.clear();
    index.V.clear();
    int rows = 0;
    for (int x = 0; x <= limit; ++x) {
        const double* column = record.Value[x];
        index.ColumnStart[static_cast<size_t>(x)] = static_cast<int>(index.Y.size());
        if (CountData(column, limit + 1) == 0) continue;
        index.ColumnRow[static_cast<size_t>(x)] = rows++;
        for (int y = 0; y <= limit; ++y) {
            index.Ahead.push_back(static_cast<int>(index.Y.size()));
            const double v = column[y];
            if (!HasData(v)) continue;
            index.Y.push_back(y);
            if (withValues) index.V.push_back(v);
        }
        index.Ahead.push_back(static_cast<int>(index.Y.size()));
    }
}

// The cells inside the radius by |dx| and |dy|, for nodes inside 0..limit
// (so offsets beyond limit never matter), and where their weights go.
struct WeightDisc {
    int HalfWidth = -1;
    std::vector<int> Half;      // Half[a]: largest |dy| inside at |dx| = a
    std::vector<int> RowStart;  // weight of (a, b) is at RowStart[a] + b
    size_t Size = 0;
};

void BuildWeightDisc(float radius, int limit, WeightDisc& disc) {
    const Int64 k = WindowHalfWidth(radius);
    disc.HalfWidth = static_cast<int>(std::min<Int64>(k, limit));
    disc.Half.clear();
    disc.RowStart.clear();
    disc.Size = 0;
    if (disc.HalfWidth < 0) return;
    const size_t rows = static_cast<size_t>(disc.HalfWidth) + 1;
    disc.Half.resize(rows);
    disc.RowStart.resize(rows);
    for (int a = 0; a <= disc.HalfWidth; ++a) {
        disc.Half[static_cast<size_t>(a)] =
            static_cast<int>(std::min<Int64>(HalfHeight(a, radius, k), limit));
        disc.RowStart[static_cast<size_t>(a)] = static_cast<int>(disc.Size);
        disc.Size += static_cast<size_t>(disc.Half[static_cast<size_t>(a)]) + 1;
    }
}

// A thread's weights of the disc, each computed when first needed: points on
// a coarse lattice meet only a few of the offsets, and a power costs more
// than the sum it feeds. An entry is NaN until computed (a weight that is
// itself NaN is merely computed again, to the same bits).
class DiscWeights {
public:
    DiscWeights(const WeightDisc& disc, double weightPower)
        : disc_(disc), power_(weightPower), w_(disc.Size, std::numeric_limits<double>::quiet_NaN()) {}

    // Weights of the row |dx| = a, indexed by |dy|.
    double* Row(int a) { return w_.data() + disc_.RowStart[static_cast<size_t>(a)]; }
    double Weight(double* row, int a, int b) const {
        double& w = row[b];
        if (w != w) w = InverseDistanceWeight(CellDistance(a, b), power_);
        return w;
    }

private:
    const WeightDisc& disc_;
    double power_;
    std::vector<double> w_;
};

double IdwFromIndex(const CellIndex& index, const WeightDisc& disc, DiscWeights& weights, int x0, int y0) {
    double sumW = 0.0;
    double sumWZ = 0.0;
    const int dxLo = std::max(-disc.HalfWidth, -x0);
    const int dxHi = std::min(disc.HalfWidth, index.Limit - x0);
    for (int dx = dxLo; dx <= dxHi; ++dx) {
        const int x = x0 + dx;
        if (index.EmptyColumn(x)) continue;
        const int a = dx < 0 ? -dx : dx;
        const int h = disc.Half[static_cast<size_t>(a)];
        double* row = weights.Row(a);
        const int yLo = std::max(0, y0 - h);
        const int yHi = std::min(index.Limit, y0 + h);
        const int end = index.Position(x, yHi + 1);
        for (int i = index.Position(x, yLo); i < end; ++i) {
            const int y = index.Y[static_cast<size_t>(i)];
            const double w = weights.Weight(row, a, y < y0 ? y0 - y : y - y0);
            sumWZ += index.V[static_cast<size_t>(i)] * w;
            sumW += w;
        }
    }
    return sumW != 0.0 ? sumWZ / sumW : NoData;
}

// Keeps the n smallest squared distances offered so far (max-heap).
class NearestSquares {
public:
    explicit NearestSquares(int n) : n_(static_cast<size_t>(n)) { heap_.reserve(n_); }
    void Clear() { heap_.clear(); }
    bool Full() const { return heap_.size() == n_; }
    Int64 Largest() const { return heap_.front(); }
    // Whether a square not below s can no longer change the n-th smallest.
    bool Settled(Int64 s) const { return Full() && s >= heap_.front(); }
    void Offer(Int64 s) {
        if (!Full()) {
            heap_.push_back(s);
            std::push_heap(heap_.begin(), heap_.end());
        } else if (s < heap_.front()) {
            std::pop_heap(heap_.begin(), heap_.end());
            heap_.back() = s;
            std::push_heap(heap_.begin(), heap_.end());
        }
    }

private:
    size_t n_;
    std::vector<Int64> heap_;
};

void OfferColumn(const CellIndex& index, int x, Int64 dx, int y0, NearestSquares& nearest) {
    const int* first = index.Y.data() + index.Position(x, 0);
    const int* last = index.Y.data() + index.Position(x, index.Limit + 1);
    const int* mid = index.Y.data() + index.Position(x, y0);
    // Each direction meets ever larger distances, so it stops at the first
    // cell that cannot improve the n-th smallest.
    for (const int* p = mid; p != last; ++p) {
        const Int64 dy = *p - y0;
        const Int64 s = dx * dx + dy * dy;
        if (nearest.Settled(s)) break;
        nearest.Offer(s);
    }
    for (const int* p = mid; p != first;) {
        --p;
        const Int64 dy = y0 - *p;
        const Int64 s = dx * dx + dy * dy;
        if (nearest.Settled(s)) break;
        nearest.Offer(s);
    }
}

// Largest integer h with h * h <= m, for m >= 0.
Int64 FloorSqrt(Int64 m) {
    Int64 h = static_cast<Int64>(std::sqrt(static_cast<double>(m)));
    while (h * h > m)
        --h;
    while ((h + 1) * (h + 1) <= m)
        ++h;
    return h;
}

// Whether at least n data cells lie within squared distance `squared` of
// (x0, y0); counts whole column runs, nearest columns first.
bool HasCellsWithin(const CellIndex& index, int x0, int y0, int n, Int64 squared) {
    Int64 count = 0;
    for (Int64 r = 0; r * r <= squared; ++r) {
        const Int64 h = FloorSqrt(squared - r * r);
        const int yLo = static_cast<int>(std::max<Int64>(y0 - h, 0));
        const int yHi = static_cast<int>(std::min<Int64>(y0 + h, index.Limit));
        const Int64 left = x0 - r;
        const Int64 right = x0 + r;
        if (left < 0 && right > index.Limit) break;
        if (left >= 0) count += index.CountIn(static_cast<int>(left), yLo, yHi);
        if (r > 0 && right <= index.Limit) count += index.CountIn(static_cast<int>(right), yLo, yHi);
        if (count >= n) return true;
    }
    return false;
}

// Squared distance from (x0, y0) to its n-th nearest data cell; the index
// must hold at least n cells.
Int64 NthNearestSquare(const CellIndex& index, int x0, int y0, NearestSquares& nearest) {
    nearest.Clear();
    for (Int64 r = 0;; ++r) {
        if (nearest.Settled(r * r)) break;
        const Int64 left = x0 - r;
        const Int64 right = x0 + r;
        if (left < 0 && right > index.Limit) break;
        if (left >= 0) OfferColumn(index, static_cast<int>(left), r, y0, nearest);
        if (r > 0 && right <= index.Limit) OfferColumn(index, static_cast<int>(right), r, y0, nearest);
    }
    return nearest.Largest();
}

// Largest distance from a lattice node to its n-th nearest data cell:
// -infinity without nodes, +infinity when there are fewer than n data cells
// (then every node is short, whatever the radius). Only the largest matters,
// so a node is measured exactly only when it is short within the largest
// distance found so far.
float LargestNthNearestDistance(const CellIndex& index, int step, int n) {
    if (index.Limit < 0) return -std::numeric_limits<float>::infinity();
    if (index.CellCount() < n) return std::numeric_limits<float>::infinity();
    NearestSquares nearest(n);
    Int64 largest = -1;
    for (int x0 = 0; x0 <= index.Limit; x0 += step) {
        for (int y0 = 0; y0 <= index.Limit; y0 += step) {
            if (largest >= 0 && HasCellsWithin(index, x0, y0, n, largest)) continue;
            largest = std::max(largest, NthNearestSquare(index, x0, y0, nearest));
        }
    }
    return CellDistance(largest);
}

}  // namespace

void CalcGrid(const ThkData& source, ThkData& target, double weightPower, float radius, int pitch) {
    // A pitch below 1 would never advance along the lattice.
    const int step = std::max(pitch, 1);
    const std::int32_t size = source.Size;

    // Everything is taken from the source before the target is written, so
    // the two may be one record.
    CellIndex index;
    BuildCellIndex(source, true, index);
    WeightDisc disc;
    BuildWeightDisc(radius, index.Limit, disc);

    // The nodes in x-major order, as the statistics read the cells.
    const int nodesPerAxis = index.Limit < 0 ? 0 : index.Limit / step + 1;
    std::vector<double> nodes(static_cast<size_t>(nodesPerAxis) * static_cast<size_t>(nodesPerAxis));
    double* const nodeValues = nodes.data();

    // Every cell of the target is written, the nodes with their values and
    // everything else empty; each thread takes whole columns.
    ResetThkFields(target);
    // Cells summed over all nodes, about: worth a second thread from some
    // tens of thousands on.
    const double area = static_cast<double>(index.Limit + 1) * (index.Limit + 1);
    const double reach =
        std::min(1.0, 3.2 * static_cast<double>(disc.HalfWidth + 1) * (disc.HalfWidth + 1) / area);
    const bool split = static_cast<double>(nodes.size()) * index.CellCount() * reach >= 50000.0;
#pragma omp parallel if (split)
    {
        DiscWeights weights(disc, weightPower);
#pragma omp for schedule(static)
        for (int x = 0; x < ThkGridDim; ++x) {
            double* cells = target.Value[x];
            std::fill(cells, cells + ThkGridDim, NoData);
            if (x > index.Limit || x % step != 0) continue;
            double* column = nodeValues + static_cast<size_t>(x / step) * static_cast<size_t>(nodesPerAxis);
            for (int y = 0; y <= index.Limit; y += step) {
                const double v = IdwFromIndex(index, disc, weights, x, y);
                cells[y] = v;
                column[y / step] = v;
            }
        }
    }

    target.Valid = true;
    target.Size = size;
    target.PitchX = target.PitchY = step;
    target.ExtentX = target.ExtentY = size;
    RecalcStatisticsOf(target, nodes);
}

float OptimizeSearchRadius(const ThkData& record, int pitch, int minCount, const MessageSink& messages) {
    CellIndex index;
    BuildCellIndex(record, false, index);
    const float needed = LargestNthNearestDistance(index, std::max(pitch, 1), std::max(minCount, 1));

    // Every step is taken from the float radius in double precision and
    // rounded back to float, so the radii are 20.0, 20.1, 20.2 ... as floats.
    float radius = static_cast<float>(pitch);
    while (!(needed <= radius)) {
        const float next = static_cast<float>(static_cast<double>(radius) + 0.1);
        // A radius too large for 0.1 to change it could never grow further.
        if (!(static_cast<float>(record.Size) > next) || next == radius) {
            messages.Show("Data search error.(Unable to find data.)\nPitch: " + std::to_string(pitch) +
                          " NMin: " + std::to_string(minCount));
            return -1.0f;
        }
        radius = next;
    }
    return radius;
}
