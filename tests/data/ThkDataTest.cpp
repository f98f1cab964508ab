#include <gtest/gtest.h>

#include <cmath>

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
