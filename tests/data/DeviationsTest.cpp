#include "data/Deviations.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "support/RecordFactory.h"

namespace {

// The literal loop the chunked sum must reproduce bit for bit.
template <typename T>
double PlainSquares(const std::vector<T>& values, double mean) {
    double sum = 0.0;
    for (const T v : values) {
        const double d = static_cast<double>(v) - mean;
        sum += d * d;
    }
    return sum;
}

}  // namespace

// Each case stresses one way the chunked sum could part from the in-order
// one: many binade changes, ties whose rounding follows the running sum's
// parity, sums outside the range the chunks are taken in, and NaN.
TEST(Deviations, SameBitsAsTheInOrderSum) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    struct Case {
        const char* name;
        std::vector<double> values;
        double mean;
    };
    std::vector<Case> cases;

    Case smooth{"a smooth surface near 1000, 251001 values", {}, 0.0};
    for (int x = 0; x <= 500; ++x)
        for (int y = 0; y <= 500; ++y)
            smooth.values.push_back(static_cast<float>(SmoothThickness(x, y)));
    double total = 0.0;
    for (const double v : smooth.values)
        total += v;
    smooth.mean = total / static_cast<double>(smooth.values.size());
    cases.push_back(smooth);

    // Two values of 2^27 put the sum at 2^55 (spacing 8); every 2 * odd
    // after them adds (2 * odd)^2 = 8 * (odd^2 / 2), a tie, rounded by the
    // parity of the sum so far.
    Case ties{"ties in every chunk", {134217728.0, 134217728.0}, 0.0};
    for (int i = 0; i < 5000; ++i)
        ties.values.push_back(2.0 * (2 * (i % 37) + 1));
    cases.push_back(ties);

    // The first chunk ends near 2^53 - 230, where the spacing is 1; the 256
    // ones of the next chunk reach 2^53, beyond which adding 1 is a tie that
    // keeps the sum even, so the in-order sum stops there.
    Case top{
        "a chunk that runs just past its binade", {67108864.0, std::sqrt(4503599627370496.0 - 484.0)}, 0.0};
    top.values.resize(2 + 254 + 256, 1.0);
    cases.push_back(top);

    Case wide{"random magnitudes from 1e-300 to 1e300", {}, 0.0};
    for (int i = 0; i < 20000; ++i)
        wide.values.push_back(std::ldexp(unit(random), static_cast<int>(unit(random) * 2000.0) - 1000));
    cases.push_back(wide);

    Case tiny{"subnormal squares and a negative mean", {}, -1e-160};
    for (int i = 0; i < 3000; ++i)
        tiny.values.push_back(unit(random) * 1e-158);
    cases.push_back(tiny);

    Case growing{"values growing from zero past a chunk's length", {0.0, 0.0}, 0.5};
    for (int i = 0; i < 1337; ++i)
        growing.values.push_back(i * 0.001 * unit(random));
    cases.push_back(growing);

    Case nan{"a NaN among them", std::vector<double>(600, 3.0), 1.0};
    nan.values[400] = std::nan("");
    cases.push_back(nan);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(
            std::bit_cast<std::uint64_t>(SumOfSquaredDeviations(c.values.data(), c.values.size(), c.mean)),
            std::bit_cast<std::uint64_t>(PlainSquares(c.values, c.mean)));
        std::vector<float> floats(c.values.begin(), c.values.end());
        const std::uint64_t expected = std::bit_cast<std::uint64_t>(PlainSquares(floats, c.mean));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(SumOfSquaredDeviations(floats.data(), floats.size(), c.mean)),
                  expected);

        // Split in two parts, the second taken from estimates of the first's
        // sum that are exact, close, in the next binade, or no use at all.
        const std::size_t split = floats.size() / 2;
        const double head = PlainSquares(std::vector<float>(floats.begin(), floats.begin() + split), c.mean);
        const struct {
            const char* name;
            double estimate;
        } estimates[] = {{"exact", head},
                         {"one unit low", std::nextafter(head, 0.0)},
                         {"twice", 2.0 * head},
                         {"zero", 0.0},
                         {"NaN", std::nan("")}};
        const std::size_t tail = floats.size() - split;
        for (const auto& e : estimates) {
            SCOPED_TRACE(e.name);
            std::vector<DeviationChunk> chunks;
            TakeDeviationChunks(floats.data() + split, tail, c.mean, e.estimate, chunks);
            const double exactHead = SumOfSquaredDeviations(floats.data(), split, c.mean);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(
                          SettleSquaredDeviations(floats.data() + split, tail, c.mean, exactHead, chunks)),
                      expected);
        }
    }
}
