#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/PlainAnalysis.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "support/RecordFactory.h"

namespace {

// A Size 20 record whose value names its cell, value = 100 x + y, with two
// empty cells on the lines below: (8, 5) and (6, 6).
std::unique_ptr<ThkData> NamedCells() {
    auto r = NewRecord(20, 1, 1);
    r->Valid = true;
    for (int x = 0; x <= 20; ++x)
        for (int y = 0; y <= 20; ++y)
            r->Value[x][y] = 100.0 * x + y;
    r->Value[8][5] = NoData;
    r->Value[6][6] = NoData;
    return r;
}

struct Expected {
    double position;
    int x, y;
};

TEST(Profile, LinesAtZeroFortyFiveAndNinetyDegrees) {
    const auto r = NamedCells();
    const plain::Wafer noWafer{20, 0, 0, 10, 10};
    // 100 mm over Size 20: 5 mm a unit; 10 mm edge keeps 8 units about (10, 10).
    const plain::Wafer wafer{20, 100, 10, 10, 10};
    struct Case {
        const char* what;
        plain::Wafer wafer;
        double x0, y0, x1, y1;
        // The sample at step i by the line's angle: cos and sin as numbers.
        double cosine, sine;
    };
    const double diagonal = std::sqrt(0.5);
    const Case cases[] = {
        {"0 degrees, across the empty (8, 5)", noWafer, 2, 5, 12, 5, 1, 0},
        {"90 degrees, downwards", noWafer, 7, 15, 7, 2, 0, -1},
        {"45 degrees: cells repeat, (6, 6) is empty", noWafer, 3, 3, 13, 13, diagonal, diagonal},
        {"45 degrees from outside the area", noWafer, -4, -4, 6, 6, diagonal, diagonal},
        {"0 degrees with a wafer: mm from the start, the rim left out", wafer, 0, 10, 20, 10, 1, 0},
        {"a point", noWafer, 4.4, 4.6, 4.4, 4.6, 0, 0},
    };
    for (const Case& c : cases) {
        const double length = std::hypot(c.x1 - c.x0, c.y1 - c.y0);
        const double mmPerUnit = c.wafer.DiameterMm == 0 ? 1.0 : 5.0;
        std::vector<Expected> want;
        for (int i = 0; i <= static_cast<int>(length); ++i) {
            const int x = static_cast<int>(std::floor(c.x0 + i * c.cosine + 0.5));
            const int y = static_cast<int>(std::floor(c.y0 + i * c.sine + 0.5));
            if (plain::Inside(c.wafer, x, y) && r->Value[x][y] > NoData)
                want.push_back({i * mmPerUnit, x, y});
        }
        const AnalysisMask mask(20, plain::GeometryOf(c.wafer));
        const std::vector<ProfilePoint> got = LineProfile(*r, mask, c.x0, c.y0, c.x1, c.y1);
        ASSERT_EQ(got.size(), want.size()) << c.what;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Position, want[i].position) << c.what << " sample " << i;
            EXPECT_EQ(got[i].X, want[i].x) << c.what << " sample " << i;
            EXPECT_EQ(got[i].Y, want[i].y) << c.what << " sample " << i;
            EXPECT_EQ(got[i].Value, r->Value[want[i].x][want[i].y]) << c.what << " sample " << i;
        }
    }
}

TEST(Profile, DiametersThroughTheRoundedCentre) {
    const auto r = NamedCells();
    struct Case {
        const char* what;
        plain::Wafer wafer;
        ProfileAxis axis;
        int fixed;  // the row (along X) or column (along Y) read
    };
    const Case cases[] = {
        {"X through row 5, its empty cell left out", {20, 0, 0, 10, 5}, ProfileAxis::X, 5},
        {"Y through column 7 (centre 6.5 rounds up)", {20, 0, 0, 6.5, 10}, ProfileAxis::Y, 7},
        {"X with a wafer: mm from the centre, rim left out", {20, 100, 10, 10, 10}, ProfileAxis::X, 10},
    };
    for (const Case& c : cases) {
        const AnalysisMask mask(20, plain::GeometryOf(c.wafer));
        const std::vector<ProfilePoint> got = DiameterProfile(*r, mask, c.axis);
        std::size_t n = 0;
        for (int i = 0; i <= 20; ++i) {
            const int x = c.axis == ProfileAxis::X ? i : c.fixed;
            const int y = c.axis == ProfileAxis::X ? c.fixed : i;
            if (!plain::Inside(c.wafer, x, y) || !(r->Value[x][y] > NoData)) continue;
            const double centre = c.axis == ProfileAxis::X ? c.wafer.CentreX : c.wafer.CentreY;
            const double position = c.wafer.DiameterMm == 0 ? i : (i - centre) * 5.0;
            ASSERT_LT(n, got.size()) << c.what;
            EXPECT_EQ(got[n].Position, position) << c.what << " cell " << i;
            EXPECT_EQ(got[n].Value, r->Value[x][y]) << c.what << " cell " << i;
            ++n;
        }
        EXPECT_EQ(got.size(), n) << c.what;
    }
}

TEST(RadialProfile, RingsAsThePlainLoop) {
    auto r = NewRecord(40, 1, 1);
    r->Valid = true;
    for (int x = 0; x <= 40; ++x)
        for (int y = 0; y <= 40; ++y)
            r->Value[x][y] = (x * 31 + y * 17) % 23 == 0 ? NoData : 1000.0 + 0.3 * x - 0.7 * y + (x * y % 5);
    struct Case {
        const char* what;
        plain::Wafer wafer;
    };
    const Case cases[] = {
        {"no wafer: rings of 1 unit about the middle", {40, 0, 0, 20, 20}},
        {"no wafer, centre on a half unit", {40, 0, 0, 13.5, 22}},
        {"80 mm on Size 40: rings of 1 mm, half a unit", {40, 80, 4, 20, 20}},
        {"100 mm, centre off the middle: rings of 0.4 unit", {40, 100, 10, 20.5, 17}},
    };
    for (const Case& c : cases) {
        struct Ring {
            long count = 0;
            double sum = 0.0, min = 0.0, max = 0.0;
        };
        std::vector<Ring> want;
        for (int x = 0; x <= 40; ++x)
            for (int y = 0; y <= 40; ++y) {
                const double v = r->Value[x][y];
                if (!plain::Inside(c.wafer, x, y) || !(v > NoData)) continue;
                const auto k = static_cast<std::size_t>(plain::Ring(c.wafer, x, y));
                if (want.size() <= k) want.resize(k + 1);
                Ring& ring = want[k];
                if (ring.count == 0 || v < ring.min) ring.min = v;
                if (ring.count == 0 || v > ring.max) ring.max = v;
                ring.sum += v;
                ++ring.count;
            }
        const std::vector<RingStats> got = RadialProfile(*r, AnalysisMask(40, plain::GeometryOf(c.wafer)));
        ASSERT_EQ(got.size(), want.size()) << c.what;
        for (std::size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].Inner, static_cast<double>(k)) << c.what << " ring " << k;
            EXPECT_EQ(got[k].Count, want[k].count) << c.what << " ring " << k;
            EXPECT_EQ(got[k].Mean, want[k].count == 0 ? 0.0 : want[k].sum / want[k].count)
                << c.what << " ring " << k;
            EXPECT_EQ(got[k].Min, want[k].min) << c.what << " ring " << k;
            EXPECT_EQ(got[k].Max, want[k].max) << c.what << " ring " << k;
        }
    }
}

}  // namespace
