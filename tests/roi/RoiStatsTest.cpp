#include <gtest/gtest.h>

#include "roi/RoiStats.h"
#include "support/RecordFactory.h"

namespace {

// A Valid record of Size 500 with data in every cell: value = 1000 + x + y / 1000,
// so the cells a region covers can be told apart by their values.
std::unique_ptr<ThkData> FullRecord() {
    auto r = NewRecord(500, 1, 1);
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            r->Value[x][y] = 1000.0 + x + y / 1000.0;
    r->Valid = true;
    return r;
}

TEST(RoiStats, CellCountsOfCirclesAndSquares) {
    const auto r = FullRecord();
    struct Case {
        const char* what;
        RoiShape shape;
        int x, y, size, count;
    };
    const Case cases[] = {
        {"circle 1: centre and the four axis neighbours", RoiShape::Circle, 100, 100, 1, 5},
        {"circle 2: adds the diagonals at 1.414 and the axis cells at 2", RoiShape::Circle, 100, 100, 2, 13},
        {"circle 5: (3, 4) at exactly 5 is inside", RoiShape::Circle, 100, 100, 5, 81},
        {"square 1: 3 x 3", RoiShape::Square, 100, 100, 1, 9},
        {"square 3: 7 x 7", RoiShape::Square, 100, 100, 3, 49},
        {"circle at the origin: only cells 0..500 are read", RoiShape::Circle, 0, 0, 1, 3},
        {"square at the far corner", RoiShape::Square, 500, 500, 1, 4},
        {"square centred outside the area", RoiShape::Square, 501, 250, 1, 3},
    };
    for (const Case& c : cases) {
        RoiStats stats{};
        EXPECT_EQ(CalcRoiStatistics(*r, c.shape, c.x, c.y, c.size, stats), c.count) << c.what;
    }
}

TEST(RoiStats, MinMaxAndMeanOfTheCoveredCells) {
    const auto r = FullRecord();
    RoiStats stats{};
    ASSERT_EQ(CalcRoiStatistics(*r, RoiShape::Circle, 100, 200, 1, stats), 5);
    EXPECT_DOUBLE_EQ(stats.Min, 1099.2);   // (99, 200)
    EXPECT_DOUBLE_EQ(stats.Max, 1101.2);   // (101, 200)
    EXPECT_DOUBLE_EQ(stats.Mean, 1100.2);  // symmetric neighbours
    ASSERT_EQ(CalcRoiStatistics(*r, RoiShape::Square, 100, 200, 1, stats), 9);
    EXPECT_DOUBLE_EQ(stats.Min, 1099.199);
    EXPECT_DOUBLE_EQ(stats.Max, 1101.201);
}

TEST(RoiStats, EmptyCellsNeverCount) {
    auto r = NewRecord(100, 10, 10);
    r->Valid = true;
    r->Value[50][50] = 7.5;
    r->Value[51][50] = -99999.0;   // exactly the no-data value: empty
    r->Value[50][51] = -100000.0;  // below it: empty too
    r->Value[49][50] = -12.25;
    RoiStats stats{};
    ASSERT_EQ(CalcRoiStatistics(*r, RoiShape::Square, 50, 50, 1, stats), 2);
    EXPECT_EQ(stats.Min, -12.25);
    EXPECT_EQ(stats.Max, 7.5);
    EXPECT_EQ(stats.Mean, (7.5 - 12.25) / 2);

    // A region over empty cells only: no count, every statistic NoData.
    ASSERT_EQ(CalcRoiStatistics(*r, RoiShape::Circle, 20, 20, 3, stats), 0);
    EXPECT_EQ(stats.Min, NoData);
    EXPECT_EQ(stats.Max, NoData);
    EXPECT_EQ(stats.Mean, NoData);
}

TEST(RoiStats, RecordWithoutDataIsRefusedAndStatsUntouched) {
    auto r = NewRecord(100, 10, 10);
    r->Value[50][50] = 1.0;  // a cell, but the record is not Valid
    RoiStats stats{1.0, 2.0, 3.0};
    EXPECT_EQ(CalcRoiStatistics(*r, RoiShape::Circle, 50, 50, 5, stats), -99999);
    EXPECT_EQ(stats.Min, 1.0);
    EXPECT_EQ(stats.Max, 2.0);
    EXPECT_EQ(stats.Mean, 3.0);
}

}  // namespace
