#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "calc/Fill.h"
#include "calc/SurfaceFitter.h"
#include "calc/GridCalc.h"
#include "data/ThkReader.h"
#include "roi/RoiStats.h"
#include "session/Session.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"
#include "support/SampleFiles.h"
#include "support/TempDir.h"

namespace {

const char* Name(DataKind kind) {
    switch (kind) {
        case DataKind::Raw:
            return "Raw";
        case DataKind::Grid:
            return "Grid";
        case DataKind::Fill:
            return "Fill";
        case DataKind::None:
            break;
    }
    return "None";
}

// A front end without controls that writes down what the flow shows, one
// line per hook call (availability changes are left out: the window tests
// check the state table through the real controls).
class Recorder final : public SessionFrontEnd {
public:
    explicit Recorder(const MessageSink& messages) : messages_(messages) {}
    void ShowSelectedData(DataKind kind) override { Log.push_back(std::string("select ") + Name(kind)); }
    void ShowSearchRadius(const std::string& text) override { Log.push_back("radius " + text); }
    void ShowDataTable(const ThkData* record) override {
        Log.push_back(record ? "table " + std::to_string(record->Count) : "table cleared");
    }
    void ShowMap(const ThkData&, const MapPlan& plan) override {
        Log.push_back(std::string("map ") + Name(plan.Shown) +
                      (plan.Draw == DrawKind::Contour ? " contour" : " colormap") +
                      (plan.Ramp == RampSetKind::Drawing ? " drawing" : " startup") +
                      (plan.Full ? "" : " only"));
        LastPlan = plan;
    }
    void ShowMessageText(const std::string& text) override { messages_.Show(text); }
    std::vector<std::string> Log;
    MapPlan LastPlan;

private:
    const MessageSink& messages_;
};

class SessionTest : public ::testing::Test {
protected:
    MessageRecorder messages_;
    Recorder frontEnd_{messages_};
    Session session_{frontEnd_};
    TempDir temp_;
};

using Lines = std::vector<std::string>;

TEST_F(SessionTest, LoadRecomputesRawFromItsCellsAndWritesTheRadiusLabel) {
    // The spike makes the reader's Max 2000; the redraw that selecting Raw
    // runs recomputes the statistics from the cells, where the spike was
    // overwritten by the dome value.
    const std::string file = temp_.Write("d.thk", DomeThk(100, 10, true));
    ASSERT_EQ(session_.OpenFile(file), 1);
    EXPECT_EQ(messages_.Messages, Lines{});
    EXPECT_EQ(frontEnd_.Log, (Lines{"select Raw", "map Raw colormap startup", "table 121", "radius 20.0",
                                    "map Raw colormap startup"}));
    const ThkData& raw = session_.Record(DataKind::Raw);
    EXPECT_LT(raw.Max, 1100.0);
    EXPECT_EQ(raw.Count, 121);
    EXPECT_EQ(session_.Settings().SearchRad, 20.0f);
    EXPECT_EQ(session_.Settings().DataType, DataKind::Raw);
}

TEST_F(SessionTest, RadiusLabelKeepsOneDecimalForCalc) {
    // Optimisation finds a float between 70.7 and 70.8; Calc reads the label,
    // "70.8", not the float found.
    const std::string file = temp_.Write("sparse.thk", "100\n50,50\n0,0,1,\n100,100,2,\n50,50,3,\n");
    session_.Settings().CalcPitch = 50;
    ASSERT_EQ(session_.OpenFile(file), 1);
    EXPECT_EQ(frontEnd_.Log.at(3), "radius 70.8");
    EXPECT_EQ(session_.Settings().SearchRad, 70.8f);
    ASSERT_NE(OptimizeSearchRadius(session_.Record(DataKind::Raw), 50, 1, messages_), 70.8f)
        << "the case must tell them apart";
    session_.Calc();
    auto expected = NewRecord();
    CalcGrid(session_.Record(DataKind::Raw), *expected, 3.0, 70.8f, 50);
    for (int x = 0; x <= 100; x += 50)
        for (int y = 0; y <= 100; y += 50)
            EXPECT_EQ(session_.Record(DataKind::Grid).Value[x][y], expected->Value[x][y]) << x << "," << y;
}

// After each sequence of steps: the plan of the last drawing and where the
// shown record's display range came from.
TEST_F(SessionTest, RedrawsFollowTheRawRangeRuleAndTheDrawKind) {
    const std::string file = temp_.Write("d.thk", DomeThk(100, 10, false));
    struct Step {
        const char* what;
        std::function<void(Session&)> act;
        const char* lastMap;
        bool rangeFromRaw;  // else the shown record's own statistics
    };
    const auto chooseData = [](DataKind kind) {
        return [kind](Session& s) {
            s.Settings().DataType = kind;
            s.DataTypeClick();
        };
    };
    const auto chooseDraw = [](DrawKind kind) {
        return [kind](Session& s) {
            s.Settings().DrawType = kind;
            s.DrawTypeChange();
        };
    };
    const Step steps[] = {
        {"load", [&](Session& s) { s.OpenFile(file); }, "map Raw colormap startup", false},
        {"contour chosen while Raw is shown: no redraw", chooseDraw(DrawKind::Contour),
         "map Raw colormap startup", false},
        {"calc: contour applies to Fill only", [](Session& s) { s.Calc(); }, "map Grid colormap startup",
         true},
        {"contour redraw needs Fill shown", [](Session& s) { s.RedrawContour(); },
         "map Grid colormap startup", true},
        {"fill", [](Session& s) { s.Fill(); }, "map Fill contour drawing", true},
        {"grid again: colour maps keep the colour bar ramp", chooseData(DataKind::Grid),
         "map Grid colormap startup", true},
        {"raw range off",
         [](Session& s) {
             s.Settings().RawRange = false;
             s.RedrawAll();
         },
         "map Grid colormap startup", false},
        {"fill as colour map", chooseDraw(DrawKind::Colormap), "map Grid colormap startup", false},
        {"fill shown", chooseData(DataKind::Fill), "map Fill colormap startup", false},
        {"border count changed: contour only", [](Session& s) { s.RedrawContour(); },
         "map Fill contour drawing only", false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(session_);
        ASSERT_FALSE(frontEnd_.Log.empty());
        EXPECT_EQ(frontEnd_.Log.back(), step.lastMap);
        const ThkData& shown = session_.Record(frontEnd_.LastPlan.Shown);
        const ThkData& raw = session_.Record(DataKind::Raw);
        auto own = NewRecord();
        own->Valid = true;
        for (int x = 0; x <= 100; ++x)
            for (int y = 0; y <= 100; ++y)
                own->Value[x][y] = shown.Value[x][y];
        RecalcStatistics(*own);
        EXPECT_EQ(shown.Min, step.rangeFromRaw ? raw.Min : own->Min);
        EXPECT_EQ(shown.Max, step.rangeFromRaw ? raw.Max : own->Max);
    }
    EXPECT_EQ(messages_.Messages, Lines{});
}

TEST_F(SessionTest, CopyDataStepsByThePitchForGridOnly) {
    ASSERT_EQ(session_.OpenFile(temp_.Write("d.thk", DomeThk(100, 10, false))), 1);
    const auto header = [&] {
        const std::string text = session_.CopyDataText();
        return text.substr(0, text.find('\n'));
    };
    const std::string everyIndex = "Y\xEF\xBC\xBCX\t0\t1\t2\t3\t";
    EXPECT_EQ(header().rfind(everyIndex, 0), 0u) << header();
    session_.Calc();
    EXPECT_EQ(header(), "Y\xEF\xBC\xBCX\t0\t20\t40\t60\t80\t100\t");
    ASSERT_EQ(session_.Fill(), 1);
    EXPECT_EQ(header().rfind(everyIndex, 0), 0u) << header();
}

// A failed load shows its message and changes nothing: the records, what is
// enabled and what the front end shows stay as they were.
TEST_F(SessionTest, FailedLoadsChangeNothing) {
    ASSERT_EQ(session_.OpenFile(temp_.Write("d.thk", DomeThk(100, 10, false))), 1);
    session_.Calc();
    ASSERT_EQ(session_.Fill(), 1);
    const Availability before = session_.Enabled();
    const double filled = session_.Record(DataKind::Fill).Value[55][45];
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {"", "<OpenThkData> Filename is NULL."},
        {temp_.Write("bad.thk", "100\n10,10\n0,0,x,\n"), "Incorrect data. -> 'x(78)' Line: 2"},
    };
    for (const auto& c : cases) {
        messages_.Messages.clear();
        frontEnd_.Log.clear();
        EXPECT_EQ(session_.OpenFile(c.file), -1);
        EXPECT_EQ(messages_.Messages, Lines{c.message});
        EXPECT_EQ(frontEnd_.Log, Lines{});
        EXPECT_EQ(session_.Enabled(), before);
        for (DataKind kind : {DataKind::Raw, DataKind::Grid, DataKind::Fill})
            EXPECT_TRUE(session_.Record(kind).Valid);
        EXPECT_EQ(session_.Record(DataKind::Raw).Count, 121);
        EXPECT_EQ(session_.Record(DataKind::Fill).Value[55][45], filled);
    }
}

}  // namespace

namespace {

TEST_F(SessionTest, ThickFilmKeepsItsTrueMinimumInEveryRecord) {
    // A 125 um film in nm: every value above 99999. The dome varies by about
    // 110 nm; no minimum may stick at 99999.
    const std::string file = temp_.Write("thick.thk", DomeThk(100, 10, false, 125000.0));

    auto read = NewRecord();
    ASSERT_EQ(ReadThkFile(file, *read, messages_), 1);
    EXPECT_GT(read->Min, 124900.0);
    EXPECT_LT(read->Range, 120.0);
    EXPECT_NEAR(read->Ratio, read->Range / (read->Max + read->Min), 1e-15);

    // The load recomputes Raw from its cells; Grid and Fill keep what their
    // producers computed.
    ASSERT_EQ(session_.OpenFile(file), 1);
    auto grid = NewRecord();
    CalcGrid(session_.Record(DataKind::Raw), *grid, 3.0, 20.0f, 20);
    auto fill = NewRecord();
    SurfaceFitter fitter;
    ASSERT_EQ(RunFill(fitter, *grid, *fill, 3, messages_), 1);
    const struct {
        const char* what;
        const ThkData& record;
    } stages[] = {{"raw", session_.Record(DataKind::Raw)}, {"grid", *grid}, {"fill", *fill}};
    for (const auto& stage : stages) {
        EXPECT_GT(stage.record.Min, 124900.0) << stage.what;
        EXPECT_EQ(stage.record.RangeMin, stage.record.Min) << stage.what;
        EXPECT_LT(stage.record.Range, 120.0) << stage.what;
    }
    RoiStats stats{};
    ASSERT_GT(CalcRoiStatistics(*fill, RoiShape::Circle, 50, 50, 10, stats), 0);
    EXPECT_GT(stats.Min, 124900.0);
    EXPECT_LE(stats.Min, stats.Mean);

    // A record without values keeps the designed start values.
    auto empty = NewRecord(100, 10, 10);
    empty->Valid = true;
    RecalcStatistics(*empty);
    EXPECT_EQ(empty->Min, 99999.0);
    EXPECT_EQ(empty->Max, -99999.0);
}

}  // namespace
