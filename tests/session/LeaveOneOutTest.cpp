#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calc/SurfaceFitter.h"
#include "session/LeaveOneOut.h"
#include "session/Prepare.h"
#include "support/DomeSites.h"
#include "support/MessageRecorder.h"

namespace {

// Each site's prediction is Calc and Fill run on the Raw record without it,
// read at its cell; a removal that leaves a node without data predicts
// nothing and says why.
TEST(SplineLeaveOneOut, SameAsCalcAndFillWithTheSiteRemoved) {
    struct Case {
        const char* what;
        int rings;     // of the dome: 49 sites for 3, 25 for 2
        float radius;  // 0: the radius the search finds
        bool all;      // whether every site gets a prediction
    };
    const Case cases[] = {
        {"49 sites, radius 80: every node keeps data", 3, 80.0f, true},
        {"25 sites, the radius found: some removals empty a node", 2, 0.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto raw = DomeRecord(200, c.rings);
        const std::vector<SurfaceSite> sites = SitesOf(*raw, PointUnits::Millimetres);
        ASSERT_EQ(sites.size(), c.rings == 3 ? 49u : 25u);
        ViewSettings settings;
        settings.CalcPitch = 20;
        settings.SearchRad = c.radius;
        if (c.radius == 0.0f) settings.SearchRad = FindSearchRadius(*raw, settings, MessageSink())->Radius;
        std::vector<SiteResidual> residuals;
        int steps = 0;
        RunControl control;
        control.Progress = [&](int done, int total) { steps += done <= total; };
        ASSERT_EQ(SplineLeaveOneOut(*raw, sites, settings, residuals, control), 1);
        ASSERT_EQ(residuals.size(), sites.size());
        EXPECT_EQ(steps, static_cast<int>(sites.size()));
        auto without = NewRecord();
        auto grid = NewRecord(), fill = NewRecord();
        SurfaceFitter fitter;
        int predicted = 0;
        for (std::size_t i = 0; i < sites.size(); ++i) {
            const SurfaceSite& s = sites[i];
            CopyThkData(*raw, *without);
            without->Value[s.CellX][s.CellY] = NoData;
            CalcStep(*without, *grid, settings);
            MessageRecorder messages;
            const int filled = FillStep(fitter, *grid, *fill, settings, messages);
            const SiteResidual& r = residuals[i];
            EXPECT_EQ(r.Number, s.Number);
            EXPECT_EQ(r.Measured, s.Value);
            if (filled == 1) {
                ++predicted;
                ASSERT_TRUE(r.Predicted) << "site " << s.Number;
                EXPECT_EQ(r.Prediction, fill->Value[s.CellX][s.CellY]);
                EXPECT_EQ(r.Residual, s.Value - fill->Value[s.CellX][s.CellY]);
            } else {
                EXPECT_FALSE(r.Predicted);
                EXPECT_EQ(r.Note, messages.Messages.at(0));
            }
        }
        if (c.all)
            EXPECT_EQ(predicted, static_cast<int>(sites.size()));
        else
            EXPECT_LT(predicted, static_cast<int>(sites.size()));
        EXPECT_EQ(SummariseResiduals(residuals).Count, predicted);
    }
    // Cancelled at once: no residuals.
    const auto raw = DomeRecord();
    const std::vector<SurfaceSite> sites = SitesOf(*raw, PointUnits::Millimetres);
    std::vector<SiteResidual> residuals;
    RunControl stop;
    stop.Cancelled = [] { return true; };
    EXPECT_EQ(SplineLeaveOneOut(*raw, sites, ViewSettings{}, residuals, stop), 0);
    EXPECT_TRUE(residuals.empty());
}

}  // namespace
