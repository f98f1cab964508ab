#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "analysis/AreaStatistics.h"
#include "analysis/PlainAnalysis.h"
#include "support/RecordFactory.h"

namespace {

// The figures by their definitions, over the cells inside in x-major order.
AreaStatistics PlainStatistics(const ThkData& r, const plain::Wafer& w) {
    AreaStatistics s;
    double sum = 0.0;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = r.Value[x][y];
            if (!plain::Inside(w, x, y) || !(v > NoData)) continue;
            if (s.Count == 0 || v < s.Min) s.Min = v, s.MinX = x, s.MinY = y;
            if (s.Count == 0 || v > s.Max) s.Max = v, s.MaxX = x, s.MaxY = y;
            sum += v;
            ++s.Count;
        }
    if (s.Count == 0) return s;
    s.Mean = sum / s.Count;
    double squares = 0.0;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = r.Value[x][y];
            if (!plain::Inside(w, x, y) || !(v > NoData)) continue;
            squares += (v - s.Mean) * (v - s.Mean);
        }
    s.Sigma = s.Count > 1 ? std::sqrt(squares / (s.Count - 1)) : 0.0;
    if (s.Max + s.Min != 0.0) s.UniformityMaxMinPct = (s.Max - s.Min) / (s.Max + s.Min) * 100.0;
    s.Range = s.Max - s.Min;
    if (s.Mean != 0.0) {
        s.UniformityPct = s.Range / (s.Mean * 2.0) * 100.0;
        s.Sigma1Pct = s.Sigma * 1.0 / s.Mean * 100.0;
        s.Sigma3Pct = s.Sigma * 3.0 / s.Mean * 100.0;
    }
    return s;
}

void ExpectSame(const AreaStatistics& got, const AreaStatistics& want, const char* what) {
    EXPECT_EQ(got.Count, want.Count) << what;
    EXPECT_EQ(got.Mean, want.Mean) << what;
    EXPECT_EQ(got.Min, want.Min) << what;
    EXPECT_EQ(got.MinX, want.MinX) << what;
    EXPECT_EQ(got.MinY, want.MinY) << what;
    EXPECT_EQ(got.Max, want.Max) << what;
    EXPECT_EQ(got.MaxX, want.MaxX) << what;
    EXPECT_EQ(got.MaxY, want.MaxY) << what;
    EXPECT_EQ(got.Range, want.Range) << what;
    EXPECT_EQ(got.Sigma, want.Sigma) << what;
    EXPECT_EQ(got.Sigma1Pct, want.Sigma1Pct) << what;
    EXPECT_EQ(got.Sigma3Pct, want.Sigma3Pct) << what;
    EXPECT_EQ(got.UniformityPct, want.UniformityPct) << what;
    EXPECT_EQ(got.UniformityMaxMinPct, want.UniformityMaxMinPct) << what;
}

TEST(AreaStatistics, FiguresAndPositionsAsThePlainLoop) {
    struct Case {
        const char* what;
        plain::Wafer wafer;
        std::function<double(int, int)> value;  // of cell (x, y) of a Size 20 record; NoData: empty
    };
    const Case cases[] = {
        {"ties: the first minimum and maximum in x-major order",
         {20, 0, 0, 10, 10},
         [](int x, int y) { return 100.0 + ((x * 7 + y * 3) % 5) * 0.25; }},
        {"holes and a wafer that leaves the corner extremes out",
         {20, 100, 10, 10, 10},
         [](int x, int y) {
             if ((x + 2 * y) % 7 == 0) return NoData;
             if (x == 0 && y == 0) return -50.0;
             if (x == 20 && y == 20) return 5000.0;
             return 1000.0 + 0.1 * x - 0.37 * y + 0.001 * x * y;
         }},
        {"mean 0: percentages 0", {20, 0, 0, 10, 10}, [](int x, int) { return x % 2 == 0 ? -1.5 : 1.5; }},
        {"every cell inside is empty",
         {20, 100, 50, 10, 10},
         [](int x, int y) { return x == 10 && y == 10 ? NoData : 7.0; }},
    };
    for (const Case& c : cases) {
        auto r = NewRecord(20, 1, 1);
        r->Valid = true;
        for (int x = 0; x <= 20; ++x)
            for (int y = 0; y <= 20; ++y)
                r->Value[x][y] = c.value(x, y);
        const AnalysisMask mask(20, plain::GeometryOf(c.wafer));
        ExpectSame(CalcAreaStatistics(*r, mask), PlainStatistics(*r, c.wafer), c.what);
    }
}

// Without a wafer the figures are the record's own, bit for bit, on a
// record large enough for the sum of squares to be split across threads; the
// sample sigma against the plain loop's.
TEST(AreaStatistics, WithoutWaferTheRecordsOwnFigures) {
    auto r = SmoothRecord();
    for (int x = 0; x <= 500; x += 3)
        r->Value[x][(x * 13) % 501] = NoData;
    RecalcStatistics(*r);
    CalcTextRatios(*r);
    const AreaStatistics s = CalcAreaStatistics(*r, AnalysisMask(500, WaferGeometry{}));
    EXPECT_EQ(s.Count, r->Count);
    EXPECT_EQ(s.Mean, r->Mean);
    EXPECT_EQ(s.Min, r->Min);
    EXPECT_EQ(s.Max, r->Max);
    EXPECT_EQ(s.Range, r->Range);
    EXPECT_EQ(s.UniformityPct, r->UniformityPct);
    const AreaStatistics plain = PlainStatistics(*r, plain::Wafer{500, 0, 0, 250, 250});
    EXPECT_NEAR(s.Sigma, plain.Sigma, 1e-12 * plain.Sigma);
    EXPECT_NE(s.Sigma, r->Sigma);  // the record keeps its own divisor
}

}  // namespace
