#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "calc/Fill.h"
#include "calc/SurfaceFitter.h"
#include "calc/LiteralBSpline.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

class FillTest : public testing::Test {
protected:
    std::unique_ptr<ThkData> grid = NewRecord();
    std::unique_ptr<ThkData> fill = NewRecord();
    SurfaceFitter fitter;
    MessageRecorder recorder;

    // Largest deviation of the Fill from the Grid over all lattice nodes,
    // relative to the largest node magnitude.
    double NodeError() const {
        double worst = 0.0;
        double scale = 0.0;
        for (int x = 0; x <= grid->ExtentX; x += grid->PitchX) {
            for (int y = 0; y <= grid->ExtentY; y += grid->PitchY) {
                worst = std::max(worst, std::abs(fill->Value[x][y] - grid->Value[x][y]));
                scale = std::max(scale, std::abs(grid->Value[x][y]));
            }
        }
        return worst / scale;
    }

    // Number of cells holding data in the fill record and whether they are
    // exactly the span 0..lastX x 0..lastY.
    bool FilledExactly(int lastX, int lastY) const {
        for (int x = 0; x < ThkGridDim; ++x)
            for (int y = 0; y < ThkGridDim; ++y)
                if (HasData(fill->Value[x][y]) != (x <= lastX && y <= lastY)) return false;
        return true;
    }
};

// ---------------------------------------------------------------- failures

struct FailureCase {
    const char* name;
    int size, pitchX, pitchY, k;
    int emptyX, emptyY;  // -1: lattice complete
    int extentX;         // -1: Size
    const char* message;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FillFailure : public FillTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FillFailure, ShowsOneMessageAndLeavesFillEmpty) {
    const FailureCase& c = GetParam();
    literal::MakeLattice(*grid, c.size, std::max(c.pitchX, 1), std::max(c.pitchY, 1), 7);
    grid->PitchX = c.pitchX;
    grid->PitchY = c.pitchY;
    if (c.extentX >= 0) grid->ExtentX = c.extentX;
    if (c.emptyX >= 0) grid->Value[c.emptyX][c.emptyY] = NoData;
    if (c.emptyX == 40) grid->Value[40][300] = NoData;  // a later empty node stays unreported
    literal::MakeLattice(*fill, 500, 20, 20, 3);        // stale content that must go

    EXPECT_EQ(RunFill(fitter, *grid, *fill, c.k, recorder), -1);
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0], c.message);
    EXPECT_FALSE(fill->Valid);
    EXPECT_TRUE(FilledExactly(-1, -1));
}

INSTANTIATE_TEST_SUITE_P(
    FillMessages, FillFailure,
    testing::Values(
        FailureCase{"XCount", 80, 20, 20, 3, -1, -1, -1, "No enough to fill data.(X count= 4)"},
        FailureCase{"YCount", 100, 10, 25, 3, -1, -1, -1, "No enough to fill data.(Y count= 4)"},
        FailureCase{"XBeforeY", 80, 20, 40, 3, -1, -1, -1, "No enough to fill data.(X count= 4)"},
        FailureCase{"SizeBeforeNode", 80, 20, 20, 3, 40, 40, -1, "No enough to fill data.(X count= 4)"},
        FailureCase{"DegreeNeedsSteps", 100, 20, 20, 4, -1, -1, -1, "No enough to fill data.(X count= 5)"},
        FailureCase{"EmptyNode", 500, 20, 20, 3, 40, 120, -1, "Data nothing -> X:40 Y:120"},
        FailureCase{"EmptyFirstNode", 500, 20, 20, 3, 0, 0, -1, "Data nothing -> X:0 Y:0"},
        FailureCase{"ZeroPitch", 500, 0, 20, 3, -1, -1, -1, "No enough to fill data.(X count= 0)"},
        FailureCase{"NodeBeyondRecord", 500, 20, 20, 3, -1, -1, 520, "Data nothing -> X:520 Y:0"},
        FailureCase{"SingleNodeColumn", 500, 20, 20, 3, -1, -1, 0, "<FillGrid> Matrix decomposition error."},
        FailureCase{"DegreeZero", 500, 20, 20, 0, -1, -1, -1, "<FillGrid> Spline order out of range."},
        FailureCase{"DegreeEleven", 500, 20, 20, 11, -1, -1, -1, "<FillGrid> Spline order out of range."}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(FillTest, SurfaceBeyondTheFloatRangeIsRefused) {
    // Nodes inside the float range that alternate near its limit: between
    // them the surface overshoots what single precision can hold.
    literal::MakeLattice(*grid, 100, 20, 20, 7);
    for (int x = 0; x <= 100; x += 20)
        for (int y = 0; y <= 100; y += 20)
            grid->Value[x][y] = (x + y) / 20 % 2 ? 3.3e38 : 0.0;
    EXPECT_EQ(RunFill(fitter, *grid, *fill, 3, recorder), -1);
    EXPECT_EQ(recorder.Messages, std::vector<std::string>{"<FillGrid> Surface out of range."});
    EXPECT_FALSE(fill->Valid);
}

// ------------------------------------------------------- bit identity

struct LatticeCase {
    const char* name;
    int size, pitchX, pitchY, k;
    std::uint32_t seed;
};
void PrintTo(const LatticeCase& c, std::ostream* os) {
    *os << c.name;
}

class FillMatchesLiteral : public FillTest, public testing::WithParamInterface<LatticeCase> {};

// Every cell and every statistic carries the same bits as the literal engine.
TEST_P(FillMatchesLiteral, SameBitsInEveryCell) {
    const LatticeCase& c = GetParam();
    literal::MakeLattice(*grid, c.size, c.pitchX, c.pitchY, c.seed);
    auto expected = NewRecord();
    literal::Spline lit;
    ASSERT_EQ(literal::FillGrid(*grid, *expected, c.k, lit), 1);

    // The second fit of a lattice shape solves with the factors kept from
    // the first (here made from other node values).
    for (const bool keptFactors : {false, true}) {
        SCOPED_TRACE(keptFactors ? "kept factors" : "fresh factors");
        if (keptFactors) {
            literal::MakeLattice(*grid, c.size, c.pitchX, c.pitchY, c.seed + 100);
            ASSERT_EQ(FillGrid(fitter, *grid, *fill, c.k, recorder), 1);
            literal::MakeLattice(*grid, c.size, c.pitchX, c.pitchY, c.seed);
        } else {
            fitter.Forget();
        }
        ASSERT_EQ(FillGrid(fitter, *grid, *fill, c.k, recorder), 1);
        ASSERT_FALSE(fitter.SolvedByAxis());

        int mismatches = 0;
        for (int x = 0; x < ThkGridDim; ++x)
            for (int y = 0; y < ThkGridDim; ++y)
                if (Bits(fill->Value[x][y]) != Bits(expected->Value[x][y]) && ++mismatches <= 5)
                    ADD_FAILURE() << "cell " << x << "," << y << ": " << fill->Value[x][y]
                                  << " != " << expected->Value[x][y];
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(Bits(fill->Min), Bits(expected->Min));
        EXPECT_EQ(Bits(fill->Max), Bits(expected->Max));
        EXPECT_EQ(Bits(fill->Mean), Bits(expected->Mean));
        EXPECT_EQ(Bits(fill->Sigma), Bits(expected->Sigma));
        EXPECT_TRUE(recorder.Messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    FillLattices, FillMatchesLiteral,
    testing::Values(LatticeCase{"Default26x26", 500, 20, 20, 3, 1}, LatticeCase{"Linear", 100, 10, 10, 1, 2},
                    LatticeCase{"Quadratic", 100, 10, 10, 2, 3}, LatticeCase{"Quartic", 120, 10, 10, 4, 4},
                    LatticeCase{"Degree10", 240, 20, 20, 10, 5},
                    LatticeCase{"NonSquare16x11", 300, 20, 30, 3, 6},
                    LatticeCase{"NonSquare9x21", 400, 50, 20, 2, 7},
                    LatticeCase{"Pitch30", 500, 30, 30, 3, 8}, LatticeCase{"Pitch7", 154, 7, 7, 3, 9},
                    LatticeCase{"Pitch16Largest", 500, 16, 16, 3, 10},
                    // Runs shorter than four points: the surface row by row.
                    LatticeCase{"Pitch3Quintic", 93, 3, 3, 5, 11}),
    [](const testing::TestParamInfo<LatticeCase>& info) { return info.param.name; });

// A large lattice before a small one leaves nothing behind that changes bits.
TEST_F(FillTest, LargeRunDoesNotDisturbLaterSmallRun) {
    literal::MakeLattice(*grid, 500, 2, 2, 11);
    ASSERT_EQ(FillGrid(fitter, *grid, *fill, 3, recorder), 1);
    literal::MakeLattice(*grid, 100, 10, 10, 12);
    ASSERT_EQ(FillGrid(fitter, *grid, *fill, 3, recorder), 1);
    literal::Spline lit;
    ASSERT_EQ(literal::FillRaster(*grid, 3, lit), 1);
    for (int x = 0; x <= 100; ++x)
        for (int y = 0; y <= 100; ++y)
            ASSERT_EQ(Bits(fill->Value[x][y]), Bits(literal::RasterAt(lit, x, y))) << x << "," << y;
}

// ------------------------------------------------------ behaviour of the fill

TEST_F(FillTest, DefaultLatticeFillsEveryCoordinateThroughTheNodes) {
    literal::MakeLattice(*grid, 500, 20, 20, 21);
    fill->Size = 0;
    ASSERT_EQ(RunFill(fitter, *grid, *fill, 3, recorder), 1);
    EXPECT_EQ(fill->Size, 500);
    EXPECT_TRUE(fill->Valid);
    EXPECT_TRUE(FilledExactly(500, 500));
    EXPECT_LT(NodeError(), 8 * FLT_EPSILON);

    double min = StatInitMin, max = StatInitMax;
    for (int x = 0; x <= 500; ++x)
        for (int y = 0; y <= 500; ++y) {
            min = std::min(min, fill->Value[x][y]);
            max = std::max(max, fill->Value[x][y]);
        }
    EXPECT_EQ(fill->Min, min);
    EXPECT_EQ(fill->Max, max);
    EXPECT_EQ(fill->RangeMin, min);
    EXPECT_EQ(fill->RangeMax, max);
    EXPECT_EQ(fill->Range, max - min);
    EXPECT_EQ(fill->Mean, CalcMean(*fill));
    EXPECT_EQ(fill->Sigma, CalcSigma(*fill));
}

TEST_F(FillTest, Pitch30LeavesCoordinatesPastLastNodeEmpty) {
    literal::MakeLattice(*grid, 500, 30, 30, 22);
    ASSERT_EQ(RunFill(fitter, *grid, *fill, 3, recorder), 1);
    EXPECT_TRUE(FilledExactly(480, 480));
    // float(1 / 30) is inexact: node parameters are off by up to half a float step.
    EXPECT_LT(NodeError(), 32 * FLT_EPSILON);
}

// Pitch 7 from 23 nodes on: float(1/7) * 154 rounds to the float after 22,
// which lies past the 1e-6 tolerance. Unclamped, the last row and column of
// the raster came out 0.
TEST_F(FillTest, Pitch7ReachesLastRowAndColumn) {
    literal::MakeLattice(*grid, 154, 7, 7, 23);
    literal::Spline unclamped;
    unclamped.ClampParameter = false;
    ASSERT_EQ(literal::FillRaster(*grid, 3, unclamped), 1);
    for (int i = 0; i <= 154; ++i) {
        EXPECT_EQ(literal::RasterAt(unclamped, 154, i), 0.0f);
        EXPECT_EQ(literal::RasterAt(unclamped, i, 154), 0.0f);
    }

    ASSERT_EQ(RunFill(fitter, *grid, *fill, 3, recorder), 1);
    EXPECT_TRUE(FilledExactly(154, 154));
    EXPECT_LT(NodeError(), 32 * FLT_EPSILON);
    for (int i = 0; i <= 154; ++i) {
        EXPECT_GT(fill->Value[154][i], 90.0) << i;
        EXPECT_GT(fill->Value[i][154], 90.0) << i;
    }
}

struct ShapeCase {
    const char* name;
    int pitch, k;
};
void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.name;
}

class FillShape : public FillTest, public testing::WithParamInterface<ShapeCase> {};

// Dense path (pitch 20) and axis-by-axis path (pitch 5, 2): a constant lattice
// stays constant, and degree 1 is bilinear between neighbouring nodes.
TEST_P(FillShape, ConstantStaysConstant) {
    const ShapeCase& c = GetParam();
    literal::MakeLattice(*grid, 500, c.pitch, c.pitch, 31, 123.456, 0.0);
    ASSERT_EQ(RunFill(fitter, *grid, *fill, c.k, recorder), 1);
    const double expected = static_cast<float>(123.456);
    double worst = 0.0;
    for (int x = 0; x <= 500; ++x)
        for (int y = 0; y <= 500; ++y)
            worst = std::max(worst, std::abs(fill->Value[x][y] - expected));
    EXPECT_LE(worst, 8 * FLT_EPSILON * expected);
}

// The reference is taken at the raster parameter the engine uses,
// x * float(1 / pitch) rounded to float, which for pitch 5 is not exactly x / 5.
TEST_P(FillShape, DegreeOneIsBilinear) {
    const int p = GetParam().pitch;
    const int last = 500 / p - 1;  // index of the last lattice interval
    literal::MakeLattice(*grid, 500, p, p, 32);
    ASSERT_EQ(RunFill(fitter, *grid, *fill, 1, recorder), 1);
    const float h = static_cast<float>(1.0 / p);
    auto interval = [&](int coord, int& node, double& frac) {
        const double u = std::min<double>(static_cast<float>(coord * static_cast<double>(h)), last + 1);
        node = std::min(static_cast<int>(u), last);
        frac = u - node;
        node *= p;
    };
    double worst = 0.0;
    for (int x = 0; x <= 500; ++x) {
        int x0;
        double fx;
        interval(x, x0, fx);
        for (int y = 0; y <= 500; ++y) {
            int y0;
            double fy;
            interval(y, y0, fy);
            const auto& v = grid->Value;
            const double bilinear = (1 - fx) * (1 - fy) * v[x0][y0] + fx * (1 - fy) * v[x0 + p][y0] +
                                    (1 - fx) * fy * v[x0][y0 + p] + fx * fy * v[x0 + p][y0 + p];
            worst = std::max(worst, std::abs(fill->Value[x][y] - bilinear));
        }
    }
    EXPECT_LT(worst, 150.0 * 8 * FLT_EPSILON);
}

INSTANTIATE_TEST_SUITE_P(FillPaths, FillShape,
                         testing::Values(ShapeCase{"Dense20", 20, 3}, ShapeCase{"ByAxis5", 5, 3},
                                         ShapeCase{"ByAxis2", 2, 4}),
                         [](const testing::TestParamInfo<ShapeCase>& info) { return info.param.name; });

// Lattices beyond the dense capacity (up to 251 x 251 nodes) interpolate every
// node to single-precision rounding. With pitch 15 the raster parameter of a
// node, x * float(1 / 15) rounded to float, is itself off the node by up to half
// a float step, which moves the value by that much of the local slope.
TEST_F(FillTest, LargeLatticesReproduceEveryNode) {
    struct Case {
        int pitch;
        double tolerance;
    };
    for (const Case& c : {Case{2, 8 * FLT_EPSILON}, Case{5, 8 * FLT_EPSILON}, Case{10, 8 * FLT_EPSILON},
                          Case{15, 32 * FLT_EPSILON}}) {
        for (int k : {1, 3, 5}) {
            SCOPED_TRACE(testing::Message() << "pitch " << c.pitch << ", k " << k);
            literal::MakeLattice(*grid, 500, c.pitch, c.pitch, 40 + c.pitch);
            ASSERT_EQ(RunFill(fitter, *grid, *fill, k, recorder), 1);
            EXPECT_TRUE(fitter.SolvedByAxis());
            const int last = 500 / c.pitch * c.pitch;
            EXPECT_TRUE(FilledExactly(last, last));
            EXPECT_LT(NodeError(), c.tolerance);
        }
    }
    EXPECT_TRUE(recorder.Messages.empty());
}

}  // namespace
