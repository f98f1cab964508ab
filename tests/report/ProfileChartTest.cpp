#include <gtest/gtest.h>

#include <QChart>
#include <QLegend>
#include <QLineSeries>
#include <QValueAxis>
#include <vector>

#include "report/ProfileChart.h"

namespace {

// Points from a to b (positions) with values running from lo to hi.
std::vector<ProfilePoint> Ramp(double a, double b, double lo, double hi) {
    std::vector<ProfilePoint> points;
    for (int i = 0; i <= 10; ++i)
        points.push_back({a + (b - a) * i / 10.0, lo + (hi - lo) * i / 10.0});
    return points;
}

// The axes of the chart the window and the pages show: the positions of
// every line end to end, the values with a twentieth of their span above and
// below (a flat profile 1 % of its value), ticks every 1, 2 or 5 times a
// power of ten for about six parts across and five up.
TEST(ProfileChart, AxesSpanEveryLineWithRoundTicks) {
    struct Case {
        const char* what;
        std::vector<std::vector<ProfilePoint>> lines;
        bool mm;
        double x0, x1, xStep, y0, y1, yStep;
    };
    const Case cases[] = {
        // values 990..1050, padded by 3; 500 / 6 = 83 -> 100, 66 / 5 = 13 -> 10
        {"two profiles in file units",
         {Ramp(0, 500, 990, 1040), Ramp(0, 500, 1050, 1000)},
         false,
         0,
         500,
         100,
         987,
         1053,
         10},
        // 99 / 6 = 16.5 -> 20; values 0.1..0.35 padded by 0.0125, 0.275 / 5 = 0.055 -> 0.05
        {"one profile in mm", {Ramp(-49.5, 49.5, 0.1, 0.35)}, true, -49.5, 49.5, 20, 0.0875, 0.3625, 0.05},
        // 500 +- 5; 100 / 6 = 16.7 -> 20, 10 / 5 = 2
        {"a flat profile", {Ramp(0, 100, 500, 500)}, false, 0, 100, 20, 495, 505, 2},
    };
    QChart chart;
    for (const Case& c : cases) {
        std::vector<ProfileLine> lines;
        for (const std::vector<ProfilePoint>& points : c.lines)
            lines.push_back({&points, QStringLiteral("line"), XProfileColour});
        ShowProfiles(chart, QStringLiteral("Title"), lines, c.mm);
        ASSERT_EQ(chart.series().size(), static_cast<qsizetype>(c.lines.size())) << c.what;
        EXPECT_EQ(chart.legend()->isVisible(), c.lines.size() > 1) << c.what;
        const auto* x = qobject_cast<QValueAxis*>(chart.axes(Qt::Horizontal).value(0));
        const auto* y = qobject_cast<QValueAxis*>(chart.axes(Qt::Vertical).value(0));
        ASSERT_TRUE(x && y) << c.what;
        EXPECT_EQ(chart.axes().size(), 2) << c.what;
        EXPECT_EQ(x->titleText(), c.mm ? "Position (mm)" : "Position (file units)") << c.what;
        EXPECT_EQ(y->titleText(), "Value") << c.what;
        EXPECT_NEAR(x->min(), c.x0, 1e-9) << c.what;
        EXPECT_NEAR(x->max(), c.x1, 1e-9) << c.what;
        EXPECT_NEAR(y->min(), c.y0, 1e-9) << c.what;
        EXPECT_NEAR(y->max(), c.y1, 1e-9) << c.what;
        EXPECT_EQ(x->tickType(), QValueAxis::TicksDynamic) << c.what;
        EXPECT_NEAR(x->tickInterval(), c.xStep, 1e-12) << c.what;
        EXPECT_NEAR(y->tickInterval(), c.yStep, 1e-12) << c.what;
    }
    // No points: the title alone.
    const std::vector<ProfilePoint> none;
    ShowProfiles(chart, QStringLiteral("Nothing"), {{&none, QStringLiteral("X"), XProfileColour}}, false);
    EXPECT_TRUE(chart.series().isEmpty());
    EXPECT_TRUE(chart.axes().isEmpty());
    EXPECT_EQ(chart.title(), "Nothing");
}

}  // namespace
