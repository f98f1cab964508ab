#include "data/Deviations.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#ifdef _OPENMP
#include <omp.h>
#endif

#include "core/LaneVectors.h"
#include "core/VectorClones.h"

namespace {

// The in-order sum is one chain of dependent additions, so it is taken in
// chunks that, where possible, are added without that chain:
//
// While a sum s lies in the binade [2^(e-1), 2^e), it is S * u with the
// integer S < 2^53 and u = 2^(e-53). For a term t >= 0 whose rounded sum
// stays below 2^e, round(s + t) = (S + k) * u, k the integer nearest t / u,
// unless t / u is a tie, whose rounding follows the parity of S. So when no
// term of a chunk is a tie and S plus all the k stays below 2^53, every
// addition of the chunk stayed in the binade and the chunk's result is
// (S + sum of k) * u, whatever order the k are summed in (integers below
// 2^53 add exactly). Otherwise the chunk is added in order.
constexpr std::size_t ChunkLength = 256;
constexpr double Two52 = 4503599627370496.0;  // 2^52
constexpr double Two53 = 9007199254740992.0;  // 2^53
// Sums where u and 1 / u are normal doubles, with a wide margin: 2^-900
// and 2^900.
constexpr double LowestSum = 0x1p-900;
constexpr double HighestSum = 0x1p900;

template <typename T>
[[gnu::always_inline]] inline double AddInOrder(const T* values, std::size_t n, double mean, double sum) {
    for (std::size_t i = 0; i < n; ++i) {
        const double d = static_cast<double>(values[i]) - mean;
        sum += d * d;
    }
    return sum;
}

// Eight values' deviations v - mean.
template <typename T>
[[gnu::always_inline]] inline void LoadDeviations(DoubleLanes& d, const T* values, const DoubleLanes& mean) {
    WidenLanes(d, values);
    d -= mean;
}

// The spacing of sum's binade as its reciprocal 1 / u: sum has the biased
// exponent E, so it lies in [2^(E-1023), 2^(E-1022)) and 1 / u = 2^(1075 - E),
// whose biased exponent is 2098 - E.
inline double PerUnitOf(double sum) {
    const std::uint64_t biased = std::bit_cast<std::uint64_t>(sum) >> 52;
    return std::bit_cast<double>((2098 - biased) << 52);
}

inline bool InChunkRange(double sum) {
    return sum >= LowestSum && sum < HighestSum;
}

template <typename T>
[[gnu::always_inline]] inline DeviationChunk UnitsOf(const T* values, std::size_t n, double mean,
                                                     double perUnit) {
    const DoubleLanes meanLanes = mean - DoubleLanes{};
    const DoubleLanes perUnitLanes = perUnit - DoubleLanes{};
    const DoubleLanes two52 = Two52 - DoubleLanes{};
    // Two sets of accumulators halve the chain of dependent additions.
    DoubleLanes units[2] = {};
    DoubleLanes offset[2] = {};  // largest |t / u - k|; 0.5 only at a tie
    std::size_t i = 0;
    for (; i + 2 * LaneCount <= n; i += 2 * LaneCount)
        for (int h = 0; h < 2; ++h) {
            DoubleLanes d;
            LoadDeviations(d, values + i + h * LaneCount, meanLanes);
            const DoubleLanes q = d * d * perUnitLanes;  // exact: a power of two
            // Round to the nearest integer, ties to even, for 0 <= q < 2^52;
            // a larger q cannot pass the room test anyway.
            const DoubleLanes k = (q + two52) - two52;
            units[h] += k;
            DoubleLanes off = q - k;
            TakeMagnitudes(off);
            offset[h] = offset[h] > off ? offset[h] : off;
        }
    double total = 0.0;
    double largestOffset = 0.0;
    for (; i < n; ++i) {
        const double d = static_cast<double>(values[i]) - mean;
        const double q = d * d * perUnit;
        const double k = (q + Two52) - Two52;
        total += k;
        largestOffset = std::max(largestOffset, std::fabs(q - k));
    }
    for (int h = 0; h < 2; ++h)
        for (int j = 0; j < LaneCount; ++j) {
            total += units[h][j];
            largestOffset = std::max(largestOffset, offset[h][j]);
        }
    return {perUnit, total, largestOffset < 0.5};  // a NaN is no pass
}

// Adds the chunk to sum: as units of sum's binade when they were (or can be)
// taken in it, no term is a tie and the total stays inside the binade, else
// in order. taken: units of the chunk worked out earlier, possibly for
// another binade, or null.
template <typename T>
[[gnu::always_inline]] inline double AddChunk(const T* values, std::size_t n, double mean, double sum,
                                              const DeviationChunk* taken) {
    if (InChunkRange(sum)) {
        const double perUnit = PerUnitOf(sum);
        const DeviationChunk units =
            taken != nullptr && taken->PerUnit == perUnit ? *taken : UnitsOf(values, n, mean, perUnit);
        const double room = Two53 - sum * perUnit;  // 2^53 - S, exact
        // Non-negative units only grow when added, so a total below the
        // room (below 2^52) means no partial sum was rounded. A NaN fails.
        if (units.NoTie && units.Total < room) return sum + units.Total / perUnit;  // (S + total) * u, exact
    }
    return AddInOrder(values, n, mean, sum);
}

// Adds the values to sum chunk by chunk, each from its units taken earlier
// where taken is given.
template <typename T>
[[gnu::always_inline]] inline double AddChunks(const T* values, std::size_t n, double mean, double sum,
                                               const DeviationChunk* taken) {
    for (std::size_t i = 0; i < n; i += ChunkLength)
        sum = AddChunk(values + i, std::min(ChunkLength, n - i), mean, sum,
                       taken != nullptr ? &taken[i / ChunkLength] : nullptr);
    return sum;
}

// The units of every chunk, each in the binade an estimated running sum is
// in when the chunk begins; the estimate starts at start and grows by each
// chunk's units.
template <typename T>
[[gnu::always_inline]] inline void TakeUnits(const T* values, std::size_t n, double mean, double start,
                                             DeviationChunk* chunks) {
    double estimate = start;
    for (std::size_t i = 0; i < n; i += ChunkLength) {
        const std::size_t m = std::min(ChunkLength, n - i);
        DeviationChunk& units = chunks[i / ChunkLength];
        if (InChunkRange(estimate)) {
            units = UnitsOf(values + i, m, mean, PerUnitOf(estimate));
            estimate += units.Total / units.PerUnit;
        } else {
            units = {};
            estimate = AddInOrder(values + i, m, mean, estimate);
        }
    }
}

// The sum in lanes: close to the in-order one, as a starting estimate.
template <typename T>
[[gnu::always_inline]] inline double RoughSum(const T* values, std::size_t n, double mean) {
    const DoubleLanes meanLanes = mean - DoubleLanes{};
    DoubleLanes lanes[2] = {};
    std::size_t i = 0;
    for (; i + 2 * LaneCount <= n; i += 2 * LaneCount)
        for (int h = 0; h < 2; ++h) {
            DoubleLanes d;
            LoadDeviations(d, values + i + h * LaneCount, meanLanes);
            lanes[h] += d * d;
        }
    double sum = AddInOrder(values + i, n - i, mean, 0.0);
    for (int h = 0; h < 2; ++h)
        for (int j = 0; j < LaneCount; ++j)
            sum += lanes[h][j];
    return sum;
}

// Each piece of work runs on the chosen vector unit; the threads are started
// outside them.
template <typename T>
double SumInChunksOf(const T* values, std::size_t n, double mean) {
    return RunVectorized<AddChunks<T>>(values, n, mean, 0.0, static_cast<const DeviationChunk*>(nullptr));
}
template <typename T>
void TakeUnitsOf(const T* values, std::size_t n, double mean, double start, DeviationChunk* chunks) {
    RunVectorized<TakeUnits<T>>(values, n, mean, start, chunks);
}
template <typename T>
double RoughSumOf(const T* values, std::size_t n, double mean) {
    return RunVectorized<RoughSum<T>>(values, n, mean);
}
template <typename T>
double SettleOf(const T* values, std::size_t n, double mean, double sum, const DeviationChunk* chunks) {
    return RunVectorized<AddChunks<T>>(values, n, mean, sum, chunks);
}

// Sums of at least this many values are taken in two parts on two threads.
constexpr std::size_t TwoPartsFrom = 65536;

bool TwoThreadsFree() {
#ifdef _OPENMP
    return !omp_in_parallel() && omp_get_max_threads() >= 2;
#else
    return false;
#endif
}

std::size_t ChunkCount(std::size_t n) {
    return (n + ChunkLength - 1) / ChunkLength;
}

// The first part is summed exactly while the second part's chunks are taken
// from an estimate of the running sum where it begins; then the second part
// is settled against the exact sum.
template <typename T>
double SumInParts(const T* values, std::size_t n, double mean, std::size_t split) {
    split = std::min(split, n);
    // One entry per 256 values, little beside a sum of at least 65536 of
    // them: allocated per sum.
    std::vector<DeviationChunk> units(ChunkCount(n - split));
    DeviationChunk* const chunks = units.data();
    double head = 0.0;
#pragma omp parallel sections num_threads(2) if (TwoThreadsFree())
    {
#pragma omp section
        head = SumInChunksOf(values, split, mean);
#pragma omp section
        TakeUnitsOf(values + split, n - split, mean, RoughSumOf(values, split, mean), chunks);
    }
    return SettleOf(values + split, n - split, mean, head, chunks);
}

// The second thread works out the rough sum of the first part as well as
// the second part's units, so it takes the smaller share.
template <typename T>
double SumOfSquares(const T* values, std::size_t n, double mean) {
    if (n < TwoPartsFrom || !TwoThreadsFree()) return SumInChunksOf(values, n, mean);
    return SumInParts(values, n, mean, n / 8 * 5);
}

}  // namespace

double SumOfSquaredDeviations(const float* values, std::size_t n, double mean) {
    return SumOfSquares(values, n, mean);
}

double SumOfSquaredDeviations(const double* values, std::size_t n, double mean) {
    return SumOfSquares(values, n, mean);
}

void TakeDeviationChunks(const float* values, std::size_t n, double mean, double estimate,
                         std::vector<DeviationChunk>& chunks) {
    chunks.resize(ChunkCount(n));
    TakeUnitsOf(values, n, mean, estimate, chunks.data());
}

double SettleSquaredDeviations(const float* values, std::size_t n, double mean, double head,
                               const std::vector<DeviationChunk>& chunks) {
    return SettleOf(values, n, mean, head, chunks.data());
}
