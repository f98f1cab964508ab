#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "data/ThkData.h"
#include "support/RecordFactory.h"

TEST(ThkData, ClearedRecordHasNoStatistics) {
    auto r = NewRecord(100, 10, 10);
    r->Range = 5.0;
    r->Ratio = 0.25;
    r->Value[3][4] = 1.0;
    r->Valid = true;
    ClearThkData(r.get(), 1);
    EXPECT_FALSE(r->Valid);
    EXPECT_EQ(r->Value[3][4], NoData);
    EXPECT_EQ(r->Min, 99999.0);
    EXPECT_EQ(r->Max, -99999.0);
    EXPECT_EQ(r->Mean, NoData);
    EXPECT_EQ(r->Sigma, NoData);
    EXPECT_EQ(r->Divisor, 1.0);
    // Header values and the text-reader ratios survive a clear.
    EXPECT_EQ(r->Size, 100);
    EXPECT_EQ(r->PitchX, 10);
    EXPECT_EQ(r->Range, 5.0);
    EXPECT_EQ(r->Ratio, 0.25);
    EXPECT_EQ(CalcMean(*r), NoData);
    EXPECT_EQ(CalcSigma(*r), 0.0);
}

TEST(ThkData, StatisticsUseDivisorCountPlusOne) {
    auto r = NewRecord(100, 10, 10);
    r->Valid = true;
    r->Value[0][0] = 10.0;
    r->Value[500][500] = 20.0;
    RecalcStatistics(*r);
    EXPECT_EQ(r->Count, 2);
    EXPECT_EQ(r->Min, 10.0);
    EXPECT_EQ(r->Max, 20.0);
    EXPECT_EQ(r->RangeMin, 10.0);
    EXPECT_EQ(r->RangeMax, 20.0);
    EXPECT_EQ(r->Range, 10.0);
    EXPECT_EQ(r->Mean, 15.0);
    EXPECT_DOUBLE_EQ(r->Sigma, std::sqrt(50.0 / 3.0));
}

TEST(ThkData, SingleCellAndEmptyBoundary) {
    auto r = NewRecord(10, 1, 1);
    r->Valid = true;
    r->Value[5][5] = 7.5;
    r->Value[6][6] = -99999.0;  // exactly the empty value: not data
    r->Value[7][7] = -99999.5;
    RecalcStatistics(*r);
    EXPECT_EQ(r->Count, 1);
    EXPECT_EQ(r->Mean, 7.5);
    EXPECT_EQ(r->Sigma, 0.0);
    EXPECT_EQ(r->Range, 0.0);

    r->Value[6][6] = -99998.9;  // just above: data
    RecalcStatistics(*r);
    EXPECT_EQ(r->Count, 2);
    EXPECT_EQ(r->Min, -99998.9);
}

TEST(ThkData, RecalcLeavesInvalidRecordAlone) {
    auto r = NewRecord(10, 1, 1);
    r->Value[1][1] = 3.0;
    RecalcStatistics(*r);
    EXPECT_EQ(r->Count, 0);
    EXPECT_EQ(r->Min, 99999.0);
    EXPECT_EQ(r->Mean, NoData);
}

TEST(ThkData, ValueCondition) {
    for (double v : {-1e9, 0.0, 5.0, 1e9}) {
        EXPECT_TRUE(TestValueCondition(v, false, ConditionMode::Inside, 5.0, 5.0));
        EXPECT_FALSE(TestValueCondition(v, true, ConditionMode::Inside, 5.0, 5.0));
        EXPECT_FALSE(TestValueCondition(v, true, ConditionMode::Within, 6.0, 5.0));
        EXPECT_FALSE(TestValueCondition(v, true, static_cast<ConditionMode>(9), 0.0, 10.0));
    }
    EXPECT_TRUE(TestValueCondition(1.0, true, ConditionMode::Below, 2.0, 0.0));
    EXPECT_FALSE(TestValueCondition(2.0, true, ConditionMode::Below, 2.0, 0.0));
    EXPECT_TRUE(TestValueCondition(2.0, true, ConditionMode::AtMost, 2.0, 0.0));
    EXPECT_TRUE(TestValueCondition(3.0, true, ConditionMode::Above, 2.0, 0.0));
    EXPECT_FALSE(TestValueCondition(2.0, true, ConditionMode::Above, 2.0, 0.0));
    EXPECT_TRUE(TestValueCondition(2.0, true, ConditionMode::AtLeast, 2.0, 0.0));
    EXPECT_FALSE(TestValueCondition(5.0, true, ConditionMode::Inside, 5.0, 6.0));
    EXPECT_TRUE(TestValueCondition(5.5, true, ConditionMode::Inside, 5.0, 6.0));
    EXPECT_TRUE(TestValueCondition(5.0, true, ConditionMode::Within, 5.0, 6.0));
    EXPECT_TRUE(TestValueCondition(6.0, true, ConditionMode::Within, 5.0, 6.0));
}

TEST(ThkData, TextRatios) {
    auto r = NewRecord(10, 1, 1);
    r->Min = 90.0;
    r->Max = 110.0;
    r->Range = 20.0;
    r->Mean = 100.0;
    r->Sigma = 5.0;
    CalcTextRatios(*r);
    EXPECT_DOUBLE_EQ(r->Ratio, 0.1);
    EXPECT_DOUBLE_EQ(r->UniformityPct, 10.0);
    EXPECT_DOUBLE_EQ(r->Sigma1Pct, 5.0);
    EXPECT_DOUBLE_EQ(r->Sigma3Pct, 15.0);
    r->Min = -110.0;
    r->Mean = 0.0;
    CalcTextRatios(*r);
    EXPECT_EQ(r->Ratio, 0.0);
    EXPECT_EQ(r->UniformityPct, 0.0);
    EXPECT_EQ(r->Sigma3Pct, 0.0);
}

namespace {

// The statistics as plain loops over every cell, x-major: the literal twin of
// the gathered, lane-summed and list-fed ways the records are measured.
struct PlainStatistics {
    int count = 0;
    double min = RunningMinStart;
    double max = StatInitMax;
    double mean = NoData;
    double sigma = 0.0;
};

PlainStatistics Plain(const ThkData& r) {
    PlainStatistics p;
    double sum = 0.0;
    for (const auto& column : r.Value)
        for (const double v : column)
            if (HasData(v)) {
                ++p.count;
                sum += v;
                if (p.min > v) p.min = v;
                if (v > p.max) p.max = v;
            }
    if (p.min == RunningMinStart) p.min = StatInitMin;
    if (p.count > 0) p.mean = sum / p.count;
    double squares = 0.0;
    for (const auto& column : r.Value)
        for (const double v : column)
            if (HasData(v)) squares += (v - p.mean) * (v - p.mean);
    p.sigma = std::sqrt(squares / (p.count + 1));
    return p;
}

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

}  // namespace

// Every way of measuring a record gives the plain loops' bits: the record
// scan (RecalcStatistics), a producer's list of cells in x-major order
// (RecalcStatisticsOf), and single-precision cells (MeanAndSigmaOf, whose
// sum runs in lanes where that is exact).
TEST(ThkData, StatisticsMatchPlainLoops) {
    struct Case {
        const char* name;
        void (*fill)(ThkData&);
    };
    const Case cases[] = {
        {"empty", [](ThkData&) {}},
        {"dense floats near 1000",
         [](ThkData& r) {
             for (int x = 0; x < ThkGridDim; ++x)
                 for (int y = 0; y < ThkGridDim; ++y)
                     r.Value[x][y] = static_cast<float>(1000.0 + std::sin(x * 0.37 + y * 0.11) * 3.3);
         }},
        {"floats across zero, signed zeros",
         [](ThkData& r) {
             for (int x = 0; x < 200; ++x)
                 for (int y = 0; y < 300; ++y)
                     r.Value[x][y] = static_cast<float>(std::sin(x * 0.05) * std::cos(y * 0.07) * 1e-3);
             r.Value[3][4] = -0.0;
             r.Value[5][6] = 0.0;
         }},
        {"sparse lattice with cells below the empty value",
         [](ThkData& r) {
             for (int x = 0; x <= 500; x += 20)
                 for (int y = 3; y <= 500; y += 20)
                     r.Value[x][y] = static_cast<float>(x * 1.5 - y * 0.25);
             r.Value[40][23] = -123456.0f;
             r.Value[500][500] = 7.0f;
         }},
        {"a float too wide for an exact sum in lanes",
         [](ThkData& r) {
             // In order every 1 is lost against 2^60; summed apart they are not.
             r.Value[0][0] = 1152921504606846976.0;  // 2^60
             for (int x = 1; x < 9; ++x)
                 for (int y = 0; y < 500; ++y)
                     r.Value[x][y] = 1.0;
         }},
    };
    auto r = NewRecord(500, 1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearThkData(r.get(), 1);
        c.fill(*r);
        r->Valid = true;
        const PlainStatistics p = Plain(*r);

        RecalcStatistics(*r);
        EXPECT_EQ(r->Count, p.count);
        EXPECT_EQ(Bits(r->Min), Bits(p.min));
        EXPECT_EQ(Bits(r->Max), Bits(p.max));
        EXPECT_EQ(Bits(r->Mean), Bits(p.mean));
        EXPECT_EQ(Bits(r->Sigma), Bits(p.sigma));

        std::vector<double> cells;
        std::vector<float> floats;
        for (const auto& column : r->Value)
            for (const double v : column) {
                cells.push_back(v);
                floats.push_back(static_cast<float>(v));
            }
        RecalcStatisticsOf(*r, cells);
        EXPECT_EQ(r->Count, p.count);
        EXPECT_EQ(Bits(r->Min), Bits(p.min));
        EXPECT_EQ(Bits(r->Mean), Bits(p.mean));
        EXPECT_EQ(Bits(r->Sigma), Bits(p.sigma));

        // Every case holds single-precision values only.
        const MeanAndSigma m = MeanAndSigmaOf(floats);
        EXPECT_EQ(Bits(m.Mean), Bits(p.mean));
        EXPECT_EQ(Bits(m.Sigma), Bits(p.sigma));
    }
}
