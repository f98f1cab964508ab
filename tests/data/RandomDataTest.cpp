#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/RandomData.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

struct Cell {
    int X;
    int Y;
    double Z;
};

std::vector<Cell> CellsOf(const ThkData& r) {
    std::vector<Cell> cells;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            if (HasData(r.Value[x][y])) cells.push_back({x, y, r.Value[x][y]});
    return cells;
}

RandomDataSettings Settings(int size, int count, int check, double base, double width) {
    return {size, count, check, base, width};
}

TEST(RandomData, ValuesSpreadOverTheWholeWidth) {
    struct Case {
        const char* label;
        RandomDataSettings settings;
        double low;   // smallest possible value
        double high;  // largest possible value
    };
    const Case cases[] = {
        {"defaults", RandomDataSettings{}, 490.0, 509.999},
        {"fraction of width ignored", Settings(300, 100, 10, 500.0, 1.9), 499.0, 500.999},
        {"width below 1", Settings(300, 100, 10, 500.0, 0.5), 500.0, 500.0},
        {"negative base", Settings(50, 40, 2, -20.25, 3.0), -23.25, -17.251},
        {"above the running start", Settings(20, 5, 1, 200000.0, 0.999), 200000.0, 200000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto r = NewRecord();
        ASSERT_EQ(MakeRandomData(*r, c.settings, 1234u, MessageRecorder()), 1);
        const std::vector<Cell> cells = CellsOf(*r);
        ASSERT_FALSE(cells.empty());
        for (const Cell& cell : cells) {
            EXPECT_LE(cell.X, c.settings.Size);
            EXPECT_LE(cell.Y, c.settings.Size);
            EXPECT_GE(cell.Z, c.low - 1e-9);
            EXPECT_LE(cell.Z, c.high + 1e-9);
            // Whole thousandths away from the base.
            const double k = (cell.Z - c.settings.Base) * 1000.0;
            EXPECT_NEAR(k, std::round(k), 1e-6);
        }
        EXPECT_GE(r->Min, c.low - 1e-9);
        EXPECT_LE(r->Max, c.high + 1e-9);
        // The spread is centred on the base: a fixed offset would shift it up.
        const double half = (c.high - c.low) / 2.0;
        EXPECT_LT(r->Min, c.settings.Base - half / 2.0 + 1e-9);
        EXPECT_GT(r->Max, c.settings.Base + half / 2.0 - 1e-9);
    }
}

TEST(RandomData, PointsKeepTheCheckRadiusOnBothAxes) {
    // Sparse enough that the radius practically never shrinks; over several
    // seeds a check that missed part of the square would let a pair through.
    const RandomDataSettings s = Settings(300, 25, 8, 500.0, 10.0);
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        auto r = NewRecord();
        ASSERT_EQ(MakeRandomData(*r, s, seed, MessageRecorder()), 1);
        const std::vector<Cell> cells = CellsOf(*r);
        ASSERT_EQ(cells.size(), 25u) << seed;
        for (std::size_t i = 0; i < cells.size(); ++i)
            for (std::size_t j = i + 1; j < cells.size(); ++j)
                EXPECT_GT(std::max(std::abs(cells[i].X - cells[j].X), std::abs(cells[i].Y - cells[j].Y)), 8)
                    << "seed " << seed;
    }
}

TEST(RandomData, RadiusShrinksUntilEveryPointFits) {
    // 500 points on 11 x 11 positions: the radius must go below 0, and later
    // points land on taken positions.
    auto r = NewRecord();
    ASSERT_EQ(MakeRandomData(*r, Settings(10, 500, 10, 500.0, 10.0), 99u, MessageRecorder()), 1);
    const std::vector<Cell> cells = CellsOf(*r);
    EXPECT_EQ(r->Count, 500);
    EXPECT_LE(cells.size(), 121u);
    EXPECT_GT(cells.size(), 100u);
    double cellMin = 1e9;
    for (const Cell& c : cells) {
        EXPECT_LE(c.X, 10);
        EXPECT_LE(c.Y, 10);
        cellMin = std::min(cellMin, c.Z);
    }
    // Min follows every value drawn, overwritten ones too.
    EXPECT_LE(r->Min, cellMin);
}

TEST(RandomData, SameSeedSameRecord) {
    auto a = NewRecord();
    auto b = NewRecord();
    auto c = NewRecord();
    ASSERT_EQ(MakeRandomData(*a, RandomDataSettings{}, 42u, MessageRecorder()), 1);
    ASSERT_EQ(MakeRandomData(*b, RandomDataSettings{}, 42u, MessageRecorder()), 1);
    ASSERT_EQ(MakeRandomData(*c, RandomDataSettings{}, 43u, MessageRecorder()), 1);
    bool sameAsB = true;
    bool sameAsC = true;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            sameAsB = sameAsB && a->Value[x][y] == b->Value[x][y];
            sameAsC = sameAsC && a->Value[x][y] == c->Value[x][y];
        }
    }
    EXPECT_TRUE(sameAsB);
    EXPECT_FALSE(sameAsC);
}

TEST(RandomData, StatisticsDescribeTheValues) {
    auto r = NewRecord();
    r->ExtentX = 77;
    ASSERT_EQ(MakeRandomData(*r, Settings(100, 30, 3, 250.0, 20.0), 7u, MessageRecorder()), 1);
    const std::vector<Cell> cells = CellsOf(*r);
    ASSERT_EQ(cells.size(), 30u);
    double sum = 0.0;
    double min = 1e9;
    double max = -1e9;
    for (const Cell& c : cells) {
        sum += c.Z;
        min = std::min(min, c.Z);
        max = std::max(max, c.Z);
    }
    const double mean = sum / 30.0;
    double squares = 0.0;
    for (const Cell& c : cells)
        squares += (c.Z - mean) * (c.Z - mean);
    EXPECT_TRUE(r->Valid);
    EXPECT_EQ(r->Size, 100);
    EXPECT_EQ(r->PitchX, 1);
    EXPECT_EQ(r->PitchY, 1);
    EXPECT_EQ(r->ExtentX, 77);
    EXPECT_EQ(r->Count, 30);
    EXPECT_EQ(r->Min, min);
    EXPECT_EQ(r->RangeMin, min);
    EXPECT_EQ(r->Max, max);
    EXPECT_EQ(r->RangeMax, max);
    EXPECT_EQ(r->Range, max - min);
    EXPECT_DOUBLE_EQ(r->Mean, mean);
    EXPECT_DOUBLE_EQ(r->Sigma, std::sqrt(squares / 31.0));
    EXPECT_DOUBLE_EQ(r->Ratio, (max - min) / (max + min));
    EXPECT_DOUBLE_EQ(r->UniformityPct, (max - min) / (2.0 * mean) * 100.0);
    EXPECT_DOUBLE_EQ(r->Sigma1Pct, r->Sigma / mean * 100.0);
    EXPECT_DOUBLE_EQ(r->Sigma3Pct, 3.0 * r->Sigma / mean * 100.0);

    // No point at all: a valid record with the statistics of no value.
    auto none = NewRecord();
    ASSERT_EQ(MakeRandomData(*none, Settings(10, 0, 1, 5.0, 1.0), 7u, MessageRecorder()), 1);
    EXPECT_TRUE(none->Valid);
    EXPECT_EQ(none->Count, 0);
    EXPECT_EQ(none->Min, StatInitMin);
    EXPECT_EQ(none->Max, StatInitMax);
}

TEST(RandomData, SettingsOutsideTheirRangesAreRefused) {
    const RandomDataSettings cases[] = {
        Settings(0, 10, 1, 0.0, 1.0),  Settings(501, 10, 1, 0.0, 1.0),
        Settings(10, -1, 1, 0.0, 1.0), Settings(10, 10, 1, 0.0, -0.5),
        Settings(10, 10, 1, 0.0, 1e6), Settings(10, 10, 1, std::nan(""), 1.0),
    };
    for (const RandomDataSettings& s : cases) {
        MessageRecorder recorder;
        auto r = NewRecord();
        EXPECT_EQ(MakeRandomData(*r, s, 1u, recorder), -1) << s.Size << " " << s.Count << " " << s.Width;
        EXPECT_EQ(recorder.Messages, std::vector<std::string>{"<MakeRandomData> Settings out of range."});
        EXPECT_FALSE(r->Valid);
        EXPECT_TRUE(CellsOf(*r).empty());
    }
}

}  // namespace
