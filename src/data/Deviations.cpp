#include "data/Deviations.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

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

// Adds the chunk to sum as explained above and returns true, or returns
// false and leaves sum as it was.
template <typename T>
[[gnu::always_inline]] inline bool AddInBinade(const T* values, std::size_t n, double mean, double& sum) {
    // sum has the biased exponent E, so it lies in [2^(E-1023), 2^(E-1022))
    // and 1 / u = 2^(1075 - E), whose biased exponent is 2098 - E.
    const std::uint64_t biased = std::bit_cast<std::uint64_t>(sum) >> 52;
    const double perUnit = std::bit_cast<double>((2098 - biased) << 52);
    const double room = Two53 - sum * perUnit;  // 2^53 - S, exact
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
            WidenLanes(d, values + i + h * LaneCount);
            d -= meanLanes;
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
    // Non-negative units only grow when added, so a total below the room
    // (below 2^52) means no partial sum was rounded. A NaN fails both tests.
    if (!(largestOffset < 0.5 && total < room)) return false;
    sum += total / perUnit;  // (S + total) * u, exact
    return true;
}

template <typename T>
[[gnu::always_inline]] inline double SumInChunks(const T* values, std::size_t n, double mean) {
    double sum = 0.0;
    for (std::size_t i = 0; i < n; i += ChunkLength) {
        const std::size_t m = std::min(ChunkLength, n - i);
        const bool inRange = sum >= LowestSum && sum < HighestSum;
        if (!inRange || !AddInBinade(values + i, m, mean, sum)) sum = AddInOrder(values + i, m, mean, sum);
    }
    return sum;
}

}  // namespace

MORVAPLOT_VECTOR_CLONES
double SumOfSquaredDeviations(const float* values, std::size_t n, double mean) {
    return SumInChunks(values, n, mean);
}

MORVAPLOT_VECTOR_CLONES
double SumOfSquaredDeviations(const double* values, std::size_t n, double mean) {
    return SumInChunks(values, n, mean);
}
