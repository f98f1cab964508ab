#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "calc/BandElimination.h"
#include "calc/SplineBasis.h"
#include "calc/LiteralBSpline.h"

namespace {

std::uint32_t Bits(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

SplineAxis AxisOf(int n, int k) {
    SplineAxis axis;
    SizeAxis(axis, n, 1, k + 1);
    BuildKnots(axis, k + 1);
    return axis;
}

TEST(BSplineKnots, AveragedOpenKnotVectorForSixNodes) {
    struct Case {
        int k;
        std::vector<float> knots;
    };
    const Case cases[] = {
        {1, {0, 0, 1, 2, 3, 4, 5, 5}},
        {2, {0, 0, 0, 1.5f, 2.5f, 3.5f, 5, 5, 5}},
        {3, {0, 0, 0, 0, 2, 3, 5, 5, 5, 5}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AxisOf(6, c.k).Knots, c.knots) << "k = " << c.k;
}

// The basis at a parameter: the same bits as the literal recurrence over full
// columns, non-negative, zero outside the reported support, summing to 1.
TEST(BSplineBasis, MatchesLiteralRecurrenceAndSumsToOne) {
    for (int n : {6, 13, 26}) {
        for (int k = 1; k <= 4; ++k) {
            SplineAxis axis = AxisOf(n, k);
            literal::Spline lit;
            literal::SetSizes(lit, n, n, k, 1, 1);
            literal::BuildKnots(lit, 0);

            const float last = static_cast<float>(n - 1);
            const std::vector<float> params = {
                0.0f, 0.25f, 1.0f, 2.5f, 3.0f, last - 1.5f, last - 0.1f, last, std::nextafter(last, 100.0f)};
            for (float u : params) {
                SCOPED_TRACE(testing::Message() << "n = " << n << ", k = " << k << ", u = " << u);
                const int span = EvalBasis(axis, k, u);
                literal::EvalBasis(lit, 0, u);
                const std::vector<float>& basis = axis.Basis;
                ASSERT_GE(span, 0);
                double sum = 0.0;
                for (int i = 0; i < n; ++i) {
                    EXPECT_EQ(Bits(basis[i]), Bits(lit.ax[0].B[i])) << "i = " << i;
                    EXPECT_GE(basis[i], 0.0f);
                    if (i < span - k || i > span) {
                        EXPECT_EQ(Bits(basis[i]), 0u) << "i = " << i;
                    }
                    sum += basis[i];
                }
                EXPECT_NEAR(sum, 1.0, 1e-6);
            }
        }
    }
}

// Past 16 nodes the float step above n - 1 exceeds the 1e-6 tolerance: without
// the clamp such a parameter lies in no interval and every basis value is 0.
TEST(BSplineBasis, ParameterPastLastKnotIsTakenAsLastKnot) {
    const int n = 23;
    const int k = 3;
    const float last = static_cast<float>(n - 1);
    const float past = std::nextafter(last, 100.0f);
    ASSERT_GT(static_cast<double>(past), static_cast<double>(last) + 1e-6);

    literal::Spline unclamped;
    unclamped.ClampParameter = false;
    literal::SetSizes(unclamped, n, n, k, 1, 1);
    literal::BuildKnots(unclamped, 0);
    literal::EvalBasis(unclamped, 0, past);
    for (float b : unclamped.ax[0].B)
        EXPECT_EQ(b, 0.0f);

    SplineAxis axis = AxisOf(n, k);
    EvalBasis(axis, k, last);
    const std::vector<float> atLast = axis.Basis;
    EXPECT_EQ(EvalBasis(axis, k, past), n - 1);
    EXPECT_EQ(axis.Basis, atLast);
    EXPECT_EQ(atLast[n - 1], 1.0f);
}

// Hand-made 2 x 2 systems in band form (one node along X, two along Y: blocks
// of two rows).
class BSplineDecompose : public testing::Test {
protected:
    void SetMatrix(float a00, float a01, float a10, float a11) {
        m.N = 2;
        m.Lower = 1;
        m.Upper = 1;
        m.Values.assign(6, 0.0f);
        m.At(0, 0) = a00;
        m.At(0, 1) = a01;
        m.At(1, 0) = a10;
        m.At(1, 1) = a11;
    }
    int DecomposeLU() { return DecomposeBand(m, 2); }
    BandMatrix<float> m;
};

TEST_F(BSplineDecompose, SolvesRegularSystem) {
    SetMatrix(2.0f, 1.0f, 1.0f, 3.0f);
    ASSERT_EQ(DecomposeLU(), 1);
    const std::vector<float> z = {5.0f, 10.0f};
    std::vector<float> cf(2);
    SolveBand(m, z, cf);
    EXPECT_FLOAT_EQ(cf[0], 1.0f);
    EXPECT_FLOAT_EQ(cf[1], 3.0f);
}

TEST_F(BSplineDecompose, RefusesZeroRow) {
    SetMatrix(2.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(DecomposeLU(), -1);
}

TEST_F(BSplineDecompose, RefusesZeroFinalPivot) {
    SetMatrix(1.0f, 2.0f, 2.0f, 4.0f);
    EXPECT_EQ(DecomposeLU(), -1);
}

// Checking only the last pivot lets a zero leading pivot through: the literal
// elimination reports success with non-finite factors.
TEST_F(BSplineDecompose, RefusesZeroLeadingPivot) {
    literal::Spline lit;
    literal::SetSizes(lit, 1, 2, 1, 1, 1);
    lit.a(0, 0) = 0.0f;
    lit.a(0, 1) = 1.0f;
    lit.a(1, 0) = 1.0f;
    lit.a(1, 1) = 1.0f;
    EXPECT_EQ(literal::DecomposeLU(lit), 1);
    EXPECT_FALSE(std::isfinite(lit.a(1, 1)));

    SetMatrix(0.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(DecomposeLU(), -1);
}

}  // namespace
