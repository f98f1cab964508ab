#include "calc/GridCalc.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "calc/LiteralGridCalc.h"
#include "core/NumberText.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}
std::uint32_t Bits(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

std::string SearchError(int pitch, int minCount) {
    return "Data search error.(Unable to find data.)\nPitch: " + std::to_string(pitch) +
           " NMin: " + std::to_string(minCount);
}

// Cell by cell and field by field, to the bit.
::testing::AssertionResult SameRecord(const ThkData& expected, const ThkData& actual) {
    if (std::memcmp(expected.Value, actual.Value, sizeof expected.Value) != 0) {
        for (int x = 0; x < ThkGridDim; ++x) {
            for (int y = 0; y < ThkGridDim; ++y) {
                if (Bits(expected.Value[x][y]) == Bits(actual.Value[x][y])) continue;
                char text[160];
                std::snprintf(text, sizeof text, "Value[%d][%d]: expected %.17g, got %.17g", x, y,
                              expected.Value[x][y], actual.Value[x][y]);
                return ::testing::AssertionFailure() << text;
            }
        }
    }
    const std::pair<const char*, std::pair<double, double>> reals[] = {
        {"Divisor", {expected.Divisor, actual.Divisor}},
        {"Min", {expected.Min, actual.Min}},
        {"Max", {expected.Max, actual.Max}},
        {"RangeMin", {expected.RangeMin, actual.RangeMin}},
        {"RangeMax", {expected.RangeMax, actual.RangeMax}},
        {"Mean", {expected.Mean, actual.Mean}},
        {"Range", {expected.Range, actual.Range}},
        {"Sigma", {expected.Sigma, actual.Sigma}}};
    for (const auto& [name, pair] : reals)
        if (Bits(pair.first) != Bits(pair.second))
            return ::testing::AssertionFailure()
                   << name << " differs: " << pair.first << " vs " << pair.second;
    if (expected.Valid != actual.Valid || expected.Count != actual.Count || expected.Size != actual.Size ||
        expected.PitchX != actual.PitchX || expected.PitchY != actual.PitchY ||
        expected.ExtentX != actual.ExtentX || expected.ExtentY != actual.ExtentY)
        return ::testing::AssertionFailure() << "header or Count differs";
    return ::testing::AssertionSuccess();
}

// The record with one data cell at (100 + dx, 100 + dy), Size 200.
std::unique_ptr<ThkData> OneCellAt(int dx, int dy, double value) {
    auto record = NewRecord(200, 1, 1);
    record->Value[100 + dx][100 + dy] = value;
    return record;
}

// ---------------------------------------------------------------------------
// One node

// The grid's value at node (node, node) of the lattice of that pitch.
double IdwNodeValue(const ThkData& record, int node, float radius, double weightPower) {
    auto grid = NewRecord();
    CalcGrid(record, *grid, weightPower, radius, node);
    return grid->Value[node][node];
}

TEST(GridCalcNode, WeightsByInverseDistance) {
    auto record = NewRecord(100, 1, 1);
    record->Value[51][50] = 10.0;  // distance 1
    record->Value[50][52] = 20.0;  // distance 2
    // (10 x 1 + 20 x 1/2) / (1 + 1/2)
    EXPECT_DOUBLE_EQ(IdwNodeValue(*record, 50, 5.0f, 1.0), 40.0 / 3.0);
}

TEST(GridCalcNode, CellOnTheNodeWeighsOne) {
    auto record = OneCellAt(0, 0, 7.25);
    EXPECT_EQ(IdwNodeValue(*record, 100, 80.0f, 3.0), 7.25);
    // Weight 1 against 1/8 for a neighbour at distance 2: a blend, not the
    // node cell alone.
    record->Value[100][102] = 3.0;
    EXPECT_EQ(IdwNodeValue(*record, 100, 80.0f, 3.0), (7.25 + 3.0 * 0.125) / 1.125);
}

TEST(GridCalcNode, CircleKeepsCellsUpToTheFloatDistance) {
    struct Case {
        int dx, dy;
        float radius;
        bool inside;
    };
    const Case cases[] = {
        {3, 4, 5.0f, true},
        {-3, -4, 5.0f, true},
        {4, 4, 5.0f, false},
        {4, 4, 5.65f, false},
        {4, 4, 5.66f, true},
        {2, 0, 2.0f, true},
        {2, 1, 2.0f, false},
        {80, 0, 80.5f, true},
        {-80, 0, 80.5f, true},
        {0, 81, 80.5f, false},
        {0, -80, 80.0f, true},
        {0, 0, 0.5f, true},
        {1, 0, 0.5f, false},
        {0, 0, 0.0f, true},
        // sqrt(2) rounds down to this float: the cell is inside although its
        // exact distance is a little larger than the radius.
        {1, 1, static_cast<float>(std::sqrt(2.0)), true},
        {-1, 1, std::nextafter(static_cast<float>(std::sqrt(2.0)), 0.0f), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "dx " << c.dx << " dy " << c.dy << " R " << c.radius);
        auto record = OneCellAt(c.dx, c.dy, 42.5);
        const double expected = c.inside ? 42.5 : NoData;
        EXPECT_EQ(IdwNodeValue(*record, 100, c.radius, 3.0), expected);
        EXPECT_EQ(literal::IdwNodeValue(*record, 100, 100, c.radius, 3.0), expected);
    }
}

TEST(GridCalcNode, NeverReadsBeyondSize) {
    auto record = NewRecord(100, 1, 1);
    // Inside the array and inside the window of node (100, 100), but beyond Size.
    record->Value[500][100] = 1e6;
    record->Value[101][100] = 1e6;
    record->Value[100][101] = 1e6;
    record->Value[150][150] = 1e6;
    EXPECT_EQ(IdwNodeValue(*record, 100, 80.0f, 3.0), NoData);
    EXPECT_EQ(IdwNodeValue(*record, 120, 200.0f, 3.0), NoData);

    auto grid = NewRecord();
    CalcGrid(*record, *grid, 3.0, 200.0f, 20);
    EXPECT_EQ(grid->Count, 0);

    record->Value[100][100] = 5.0;
    EXPECT_EQ(IdwNodeValue(*record, 100, 80.0f, 3.0), 5.0);
    MessageRecorder messages;
    EXPECT_EQ(OptimizeSearchRadius(*record, 20, 2, messages), -1.0f);
    EXPECT_EQ(messages.Messages, std::vector<std::string>{SearchError(20, 2)});
}

// ---------------------------------------------------------------------------
// The grid

TEST(GridCalcGrid, FillsOnlyTheLatticeBelowSize) {
    auto source = NewRecord();
    workload::Dome(*source, 500, 10, 1);
    auto grid = NewRecord();
    CalcGrid(*source, *grid, 3.0, 80.0f, 30);

    int nodes = 0;
    int stray = 0;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const bool node = x % 30 == 0 && y % 30 == 0 && x <= 480 && y <= 480;
            if (node && HasData(grid->Value[x][y])) ++nodes;
            if (!node && grid->Value[x][y] != NoData) ++stray;
        }
    }
    EXPECT_EQ(nodes, 17 * 17);
    EXPECT_EQ(stray, 0);
    EXPECT_TRUE(grid->Valid);
    EXPECT_EQ(grid->Size, 500);
    EXPECT_EQ(grid->PitchX, 30);
    EXPECT_EQ(grid->PitchY, 30);
    EXPECT_EQ(grid->ExtentX, 500);
    EXPECT_EQ(grid->ExtentY, 500);
    EXPECT_EQ(grid->Count, 17 * 17);
    EXPECT_EQ(grid->Mean, CalcMean(*grid));
    EXPECT_GT(grid->Min, 900.0);
    EXPECT_LT(grid->Max, 1200.0);
}

TEST(GridCalcGrid, SourceWithoutDataGivesEmptyValidGrid) {
    auto source = NewRecord(100, 10, 10);
    auto grid = NewRecord();
    CalcGrid(*source, *grid, 3.0, 80.0f, 20);
    EXPECT_TRUE(grid->Valid);
    EXPECT_EQ(grid->Count, 0);
    EXPECT_EQ(grid->Mean, NoData);
    EXPECT_EQ(grid->Value[0][0], NoData);
    EXPECT_EQ(grid->ExtentX, 100);
}

TEST(GridCalcGrid, ReplacesEverythingInTheTarget) {
    auto source = NewRecord();
    workload::Dome(*source, 100, 5, 3);
    auto expected = NewRecord();
    literal::CalcGrid(*source, *expected, 3.0, 30.0f, 20);

    auto grid = NewRecord();
    workload::Dense(*grid, 500, 4);  // a previous, larger result
    grid->PitchX = grid->PitchY = 1;
    CalcGrid(*source, *grid, 3.0, 30.0f, 20);
    EXPECT_TRUE(SameRecord(*expected, *grid));
}

TEST(GridCalcGrid, SourceMayBeTheTarget) {
    auto record = NewRecord();
    workload::RandomPoints(*record, 200, 300, 5);
    auto expected = NewRecord();
    literal::CalcGrid(*record, *expected, 2.0, 40.0f, 20);
    CalcGrid(*record, *record, 2.0, 40.0f, 20);
    EXPECT_TRUE(SameRecord(*expected, *record));
}

TEST(GridCalcGrid, PitchBelowOneCoversEveryCoordinate) {
    auto source = NewRecord();
    workload::RandomPoints(*source, 20, 30, 6);
    auto expected = NewRecord();
    literal::CalcGrid(*source, *expected, 3.0, 4.0f, 1);
    for (int pitch : {0, -3}) {
        auto grid = NewRecord();
        CalcGrid(*source, *grid, 3.0, 4.0f, pitch);
        EXPECT_TRUE(SameRecord(*expected, *grid)) << "pitch " << pitch;
    }
}

TEST(GridCalcGrid, BitIdenticalToLiteralGrid) {
    struct Case {
        const char* name;
        std::function<void(ThkData&)> make;
        float radius;
        double power;
        int pitch;
    };
    const Case cases[] = {
        {"default dome", [](ThkData& r) { workload::Dome(r, 500, 10, 1); }, 80.0f, 3.0, 20},
        {"pitch 30", [](ThkData& r) { workload::Dome(r, 500, 10, 2); }, 80.0f, 3.0, 30},
        {"sparse random", [](ThkData& r) { workload::RandomPoints(r, 500, 300, 3); }, 60.0f, 2.0, 25},
        {"empty regions",
         [](ThkData& r) {
             workload::Dome(r, 300, 5, 4);
             workload::CarveHole(r, 100, 100, 60);
             workload::CarveHole(r, 300, 0, 90);
         },
         20.0f, 3.0, 15},
        {"radius 80.5", [](ThkData& r) { workload::RandomPoints(r, 200, 500, 5); }, 80.5f, 1.5, 20},
        {"radius 2.0", [](ThkData& r) { workload::RandomPoints(r, 120, 800, 6); }, 2.0f, 3.0, 7},
        {"radius 7.3 power 0.01", [](ThkData& r) { workload::RandomPoints(r, 90, 900, 7); }, 7.3f, 0.01, 4},
        {"small", [](ThkData& r) { workload::RandomPoints(r, 7, 10, 8); }, 3.5f, 0.5, 2},
        {"single cell area", [](ThkData& r) { workload::RandomPoints(r, 0, 1, 9); }, 2.0f, 3.0, 20},
        {"border points", [](ThkData& r) { workload::BorderPoints(r, 150, 2, 200, 10); }, 12.3f, 2.5, 10},
        {"dense", [](ThkData& r) { workload::Dense(r, 120, 11); }, 15.0f, 3.0, 10},
        {"data beyond Size",
         [](ThkData& r) {
             workload::Dense(r, 500, 12);
             r.Size = 100;
         },
         30.0f, 3.0, 20},
        {"power 99.99", [](ThkData& r) { workload::RandomPoints(r, 200, 2000, 13); }, 25.0f, 99.99, 20},
    };
    auto source = NewRecord();
    auto expected = NewRecord();
    auto grid = NewRecord();
    int emptyNodes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.make(*source);
        literal::CalcGrid(*source, *expected, c.power, c.radius, c.pitch);
        CalcGrid(*source, *grid, c.power, c.radius, c.pitch);
        EXPECT_TRUE(SameRecord(*expected, *grid));
        for (int x = 0; x <= source->Size; x += c.pitch)
            for (int y = 0; y <= source->Size; y += c.pitch)
                if (grid->Value[x][y] == NoData) ++emptyNodes;
    }
    EXPECT_GT(emptyNodes, 0) << "no case left a node without data";
}

// ---------------------------------------------------------------------------
// Radius optimisation

TEST(GridCalcOptimize, DenseDataNeedsOnlyThePitch) {
    auto record = NewRecord();
    workload::Dense(*record, 200, 20);
    MessageRecorder messages;
    const float radius = OptimizeSearchRadius(*record, 20, 10, messages);
    EXPECT_EQ(radius, 20.0f);
    EXPECT_EQ(FormatFixed(radius, 5, 1), "20.0");
    EXPECT_TRUE(messages.Messages.empty());
}

TEST(GridCalcOptimize, FailsOnceWhenMinCountExceedsTheData) {
    auto record = NewRecord();
    workload::RandomPoints(*record, 100, 5, 21);
    MessageRecorder messages;
    EXPECT_EQ(OptimizeSearchRadius(*record, 20, 6, messages), -1.0f);
    EXPECT_EQ(messages.Messages, std::vector<std::string>{SearchError(20, 6)});
    EXPECT_EQ(messages.Messages[0], "Data search error.(Unable to find data.)\nPitch: 20 NMin: 6");
}

TEST(GridCalcOptimize, FailsWhenTheRadiusWouldReachSize) {
    auto record = NewRecord(60, 1, 1);
    record->Value[0][0] = 1.0;  // node (60, 60) is 84.9 away
    MessageRecorder messages;
    EXPECT_EQ(OptimizeSearchRadius(*record, 20, 1, messages), -1.0f);
    EXPECT_EQ(messages.Messages, std::vector<std::string>{SearchError(20, 1)});
}

// From pitch 20 the float steps land exactly on 35.0. The corner (0, 0) needs
// exactly 35: with Size 35 that step already reaches Size and the search
// gives up; with Size 36 it succeeds at 35.0.
TEST(GridCalcOptimize, StepLandingOnSizeFails) {
    for (const int size : {35, 36}) {
        SCOPED_TRACE(size);
        auto record = NewRecord(size, 1, 1);
        record->Value[35][0] = 1.0;
        record->Value[0][35] = 1.0;
        MessageRecorder messages;
        const float radius = OptimizeSearchRadius(*record, 20, 1, messages);
        EXPECT_EQ(Bits(radius), Bits(literal::OptimizeSearchRadius(*record, 20, 1, messages)));
        if (size == 35) {
            EXPECT_EQ(radius, -1.0f);
            EXPECT_EQ(messages.Messages.size(), 2u);  // product and literal, once each
        } else {
            EXPECT_EQ(radius, 35.0f);
            EXPECT_TRUE(messages.Messages.empty());
        }
    }
}

TEST(GridCalcOptimize, GrowsToTheFirstSufficientRadius) {
    auto record = NewRecord(100, 1, 1);
    record->Value[50][50] = 1.0;  // the corners are sqrt(5000) = 70.71 away
    MessageRecorder messages;
    const float radius = OptimizeSearchRadius(*record, 50, 1, messages);
    EXPECT_GE(radius, static_cast<float>(std::sqrt(5000.0)));
    EXPECT_LT(radius, static_cast<float>(std::sqrt(5000.0)) + 0.1f);
    EXPECT_EQ(FormatFixed(radius, 5, 1), "70.8");
    EXPECT_EQ(Bits(radius), Bits(literal::OptimizeSearchRadius(*record, 50, 1, messages)));
    EXPECT_TRUE(messages.Messages.empty());
}

TEST(GridCalcOptimize, PitchIsTriedFirstEvenBeyondSize) {
    auto record = NewRecord(10, 1, 1);
    record->Value[7][3] = 1.0;
    MessageRecorder messages;
    EXPECT_EQ(OptimizeSearchRadius(*record, 20, 1, messages), 20.0f);
    EXPECT_EQ(literal::OptimizeSearchRadius(*record, 20, 1, messages), 20.0f);

    record->Value[7][3] = NoData;
    EXPECT_EQ(OptimizeSearchRadius(*record, 20, 1, messages), -1.0f);
    EXPECT_EQ(messages.Messages, std::vector<std::string>{SearchError(20, 1)});
}

TEST(GridCalcOptimize, MinCountBelowOneCountsAsOne) {
    auto record = NewRecord(40, 1, 1);
    record->Value[20][20] = 1.0;
    MessageRecorder messages;
    EXPECT_EQ(Bits(OptimizeSearchRadius(*record, 20, 0, messages)),
              Bits(OptimizeSearchRadius(*record, 20, 1, messages)));
    EXPECT_TRUE(messages.Messages.empty());

    record->Value[20][20] = NoData;
    EXPECT_EQ(OptimizeSearchRadius(*record, 20, 0, messages), -1.0f);
    EXPECT_EQ(messages.Messages, std::vector<std::string>{SearchError(20, 0)});
}

TEST(GridCalcOptimize, PitchBelowOneStillEnds) {
    auto record = NewRecord();
    workload::Dense(*record, 30, 22);
    MessageRecorder messages;
    // Every node holds data itself: radius 0 suffices.
    EXPECT_EQ(OptimizeSearchRadius(*record, 0, 1, messages), 0.0f);
    // A second cell is 1 away: 0.0, 0.1, ... up to the float step reaching 1.
    const float radius = OptimizeSearchRadius(*record, 0, 2, messages);
    EXPECT_GE(radius, 1.0f);
    EXPECT_LT(radius, 1.1f);
    // From far below zero the steps still climb until the data is reached.
    EXPECT_GE(OptimizeSearchRadius(*record, -5, 1, messages), 0.0f);
    EXPECT_TRUE(messages.Messages.empty());
}

TEST(GridCalcOptimize, BitIdenticalToRestartingSearchOnLargeAreas) {
    struct Case {
        const char* name;
        std::function<void(ThkData&)> make;
        int pitch;
        int minCount;
    };
    const Case cases[] = {
        {"default dome n 10", [](ThkData& r) { workload::Dome(r, 500, 10, 1); }, 20, 10},
        {"dome pitch 25 n 3", [](ThkData& r) { workload::Dome(r, 500, 25, 2); }, 20, 3},
        {"dome pitch 30 n 4", [](ThkData& r) { workload::Dome(r, 300, 30, 2); }, 20, 4},
        {"sparse 25 points", [](ThkData& r) { workload::RandomPoints(r, 200, 25, 3); }, 20, 3},
        {"hole",
         [](ThkData& r) {
             workload::Dome(r, 300, 6, 4);
             workload::CarveHole(r, 150, 150, 40);
         },
         25, 2},
        {"dense", [](ThkData& r) { workload::Dense(r, 500, 5); }, 2, 10},
    };
    auto record = NewRecord();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.make(*record);
        MessageRecorder messages;
        const float expected = literal::OptimizeSearchRadius(*record, c.pitch, c.minCount, messages);
        const float radius = OptimizeSearchRadius(*record, c.pitch, c.minCount, messages);
        EXPECT_EQ(Bits(radius), Bits(expected));
        EXPECT_GT(radius, static_cast<float>(c.pitch)) << "the case should make the radius grow";
        EXPECT_TRUE(messages.Messages.empty());
    }
}

TEST(GridCalcOptimize, BitIdenticalToRestartingSearch) {
    std::mt19937 rng(77);
    auto record = NewRecord();
    int failures = 0;
    int grown = 0;
    for (int trial = 0; trial < 300; ++trial) {
        // Every draw in its own statement: argument order is unspecified.
        const int size = 5 + workload::Draw(rng, 60);
        const int count = workload::Draw(rng, 40);
        const std::uint32_t seed = rng();
        switch (trial % 4) {
            case 0:
                workload::RandomPoints(*record, size, 1 + count, seed);
                break;
            case 1:
                workload::RandomPoints(*record, size, count / 5, seed);
                break;
            case 2:
                workload::BorderPoints(*record, size, 1, 1 + count, seed);
                break;
            default: {
                workload::Dome(*record, size, 1 + count % 7, seed);
                const int cx = workload::Draw(rng, size);
                const int cy = workload::Draw(rng, size);
                workload::CarveHole(*record, cx, cy, workload::Draw(rng, size / 2));
            }
        }
        const int pitch = 2 + workload::Draw(rng, 20);
        const int n = workload::Draw(rng, 10);
        SCOPED_TRACE(::testing::Message()
                     << "trial " << trial << " Size " << size << " P " << pitch << " n " << n);
        std::vector<std::string> expectedMessages;
        float expected;
        {
            MessageRecorder messages;
            expected = literal::OptimizeSearchRadius(*record, pitch, n, messages);
            expectedMessages = messages.Messages;
        }
        MessageRecorder messages;
        const float radius = OptimizeSearchRadius(*record, pitch, n, messages);
        EXPECT_EQ(Bits(radius), Bits(expected));
        EXPECT_EQ(messages.Messages, expectedMessages);
        EXPECT_EQ(messages.Messages.size(), radius < 0.0f ? 1u : 0u);
        if (radius < 0.0f) ++failures;
        if (radius > static_cast<float>(pitch)) ++grown;
    }
    EXPECT_GT(failures, 10);
    EXPECT_GT(grown, 10);
}

}  // namespace
