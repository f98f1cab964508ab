#include <gtest/gtest.h>

#include <cmath>

#include "analysis/AnalysisMask.h"
#include "analysis/PlainAnalysis.h"

namespace {

TEST(AnalysisMask, EveryCellAsTheExactIntegerTest) {
    struct Case {
        const char* what;
        plain::Wafer wafer;
    };
    const Case cases[] = {
        {"no wafer: every cell of 0..Size", {20, 0, 0, 10, 10}},
        {"200 mm, 5 mm edge on Size 500", {500, 200, 5, 250, 250}},
        {"kept radius 225 units: (25, 250) and (385, 430) on the circle", {500, 200, 10, 250, 250}},
        {"no edge: the rim cells (0, 250) and (250, 500) on the circle", {500, 200, 0, 250, 250}},
        {"odd Size, centre on a half unit", {41, 100, 10, 20.5, 20.5}},
        {"centre set off the middle", {40, 80, 3, 12, 27.5}},
        {"edge leaves the centre point alone", {40, 80, 40, 20, 20}},
        {"edge wider than the wafer's radius: nothing", {40, 80, 41, 20, 20}},
    };
    for (const Case& c : cases) {
        const AnalysisMask mask(c.wafer.Size, plain::GeometryOf(c.wafer));
        long count = 0;
        int wrong = 0;
        for (int x = -1; x <= ThkGridDim; ++x)
            for (int y = -1; y <= ThkGridDim; ++y) {
                const bool expected = plain::Inside(c.wafer, x, y);
                count += expected ? 1 : 0;
                wrong += mask.Inside(x, y) != expected ? 1 : 0;
            }
        EXPECT_EQ(wrong, 0) << c.what;
        EXPECT_EQ(mask.CellCount(), count) << c.what;
    }
}

TEST(AnalysisMask, CellsOnTheExclusionCircleAreInside) {
    WaferGeometry g;
    g.DiameterMm = 200.0;
    g.EdgeExclusionMm = 10.0;  // 90 mm kept: 225 units on Size 500
    const AnalysisMask whole(500, g);
    // Decimal figures that binary doubles hold only roughly: 17.8 mm kept of
    // 100 mm is 89 units, which the doubles make 88.99999999999999, so the
    // cell (161, 250) on that circle needs the slack.
    g.DiameterMm = 100.0;
    g.EdgeExclusionMm = 32.2;
    const AnalysisMask decimal(500, g);
    struct Case {
        const char* what;
        const AnalysisMask& mask;
        int x, y;
        bool inside;
    };
    const Case cases[] = {
        {"on the circle along X", whole, 25, 250, true},
        {"one cell beyond it", whole, 24, 250, false},
        {"on the circle along Y", whole, 250, 475, true},
        {"on the circle at a 3-4-5 angle", whole, 385, 430, true},
        {"beside it, outside", whole, 386, 430, false},
        {"decimal figures: on the circle", decimal, 161, 250, true},
        {"decimal figures: the same on the far side", decimal, 250, 339, true},
        {"decimal figures: beyond", decimal, 160, 250, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.mask.Inside(c.x, c.y), c.inside) << c.what;
}

TEST(WaferGeometry, FaultsAndMillimetres) {
    struct Case {
        const char* what;
        double diameter, edge, centre;
        WaferFault fault;
    };
    const Case cases[] = {
        {"no wafer", 0.0, 0.0, 250.0, WaferFault::None},
        {"negative diameter", -1.0, 0.0, 250.0, WaferFault::Diameter},
        {"NaN diameter", std::nan(""), 0.0, 250.0, WaferFault::Diameter},
        {"negative edge", 200.0, -0.5, 250.0, WaferFault::Edge},
        {"centre beyond the area", 200.0, 5.0, 500.5, WaferFault::Centre},
    };
    for (const Case& c : cases) {
        WaferGeometry g;
        g.DiameterMm = c.diameter;
        g.EdgeExclusionMm = c.edge;
        g.CentreY = c.centre;
        EXPECT_EQ(CheckWaferGeometry(g), c.fault) << c.what;
    }
    WaferGeometry g;
    g.DiameterMm = 300.0;
    const WaferFrame frame = FrameOf(g, 500);  // 0.6 mm per unit
    EXPECT_EQ(MmFromCentreX(frame, 0.0), -150.0);
    // +Y up: the bottom row of cells is -150 mm, the top one +150 mm.
    EXPECT_EQ(MmFromCentreY(frame, 500.0), -150.0);
    EXPECT_EQ(MmFromCentreY(frame, 0.0), 150.0);
    EXPECT_EQ(MmFromCentreX(frame, 250.0), 0.0);
}

}  // namespace
