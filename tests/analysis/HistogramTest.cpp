#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "analysis/Histogram.h"
#include "analysis/PlainAnalysis.h"
#include "support/RecordFactory.h"

namespace {

TEST(Histogram, EdgesAndCountsAsThePlainLoop) {
    struct Case {
        const char* what;
        plain::Wafer wafer;
        int bins;
        std::function<double(int, int)> value;  // of cell (x, y) of a Size 10 record
    };
    const Case cases[] = {
        {"values on the edges count in the bin they start",
         {10, 0, 0, 5, 5},
         4,
         [](int x, int) { return 2.0 * x; }},  // 0..20, edges 0, 5, 10, 15, 20
        {"tenths: edges that binary cannot hold",
         {10, 0, 0, 5, 5},
         7,
         [](int x, int y) { return 0.1 * ((x * 3 + y) % 11); }},
        {"one bin", {10, 0, 0, 5, 5}, 1, [](int x, int y) { return x - 0.5 * y; }},
        {"a wafer leaves the extremes out, holes skipped",
         {10, 50, 5, 5, 5},
         3,
         [](int x, int y) { return (x + y) % 4 == 0 ? NoData : 10.0 * x + y; }},
        {"every value the same: all in the first bin", {10, 0, 0, 5, 5}, 5, [](int, int) { return 3.25; }},
        {"no value inside: edges and counts 0", {10, 0, 0, 5, 5}, 3, [](int, int) { return NoData; }},
    };
    for (const Case& c : cases) {
        auto r = NewRecord(10, 1, 1);
        r->Valid = true;
        std::vector<double> values;
        for (int x = 0; x <= 10; ++x)
            for (int y = 0; y <= 10; ++y) {
                r->Value[x][y] = c.value(x, y);
                if (plain::Inside(c.wafer, x, y) && r->Value[x][y] > NoData) values.push_back(r->Value[x][y]);
            }
        double min = 0.0, max = 0.0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i == 0 || values[i] < min) min = values[i];
            if (i == 0 || values[i] > max) max = values[i];
        }
        std::vector<double> edges(static_cast<std::size_t>(c.bins) + 1);
        for (int i = 0; i < c.bins; ++i)
            edges[static_cast<std::size_t>(i)] = min + i * (max - min) / c.bins;
        edges.back() = max;
        // Each value in the last bin whose lower edge it reaches; all in the
        // first when every value is the same.
        std::vector<long> counts(static_cast<std::size_t>(c.bins), 0);
        for (const double v : values) {
            int b = 0;
            while (max > min && b + 1 < c.bins && v >= edges[static_cast<std::size_t>(b) + 1])
                ++b;
            ++counts[static_cast<std::size_t>(b)];
        }

        const Histogram h = CalcHistogram(*r, AnalysisMask(10, plain::GeometryOf(c.wafer)), c.bins);
        EXPECT_EQ(h.Total, static_cast<long>(values.size())) << c.what;
        EXPECT_EQ(h.Min, min) << c.what;
        EXPECT_EQ(h.Max, max) << c.what;
        EXPECT_EQ(h.Edges, edges) << c.what;
        EXPECT_EQ(h.Counts, counts) << c.what;
    }
}

}  // namespace
