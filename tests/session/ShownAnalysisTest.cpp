#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "analysis/AnalysisText.h"
#include "session/Session.h"
#include "session/ShownAnalysis.h"
#include "support/MessageRecorder.h"
#include "support/SampleFiles.h"
#include "support/TempDir.h"

namespace {

using Messages = std::vector<std::string>;

// A film of Size size with a site every 10 units: value(x, y) per site.
std::string SitesThk(int size, const std::function<int(int, int)>& value) {
    std::string text = std::to_string(size) + "\n10,10\n";
    for (int x = 0; x <= size; x += 10)
        for (int y = 0; y <= size; y += 10)
            text += std::to_string(x) + ',' + std::to_string(y) + ',' + std::to_string(value(x, y)) + ",\n";
    return text;
}

// The main window's flow without a window: every drawing it makes is
// followed, as the analysis window follows the main window's.
class ShownAnalysisTest : public ::testing::Test, private SessionFrontEnd {
protected:
    void ShowMap(const ThkData& record, const MapPlan& plan) override { analysis_.Follow(record, plan); }
    void ShowMessageText(const std::string& text) override { messages_.Show(text); }

    void Select(DataKind kind) {
        session_.Settings().DataType = kind;
        session_.DataTypeClick();
    }

    TempDir temp_;
    MessageRecorder messages_;
    Session session_{*this};
    ShownAnalysis analysis_{session_};
};

// The shown record is the one the flow last drew, analysed under the wafer
// with the Raw record's sites; nodes only beside gridded data; the texts of
// Copy and of a picture name what is shown.
TEST_F(ShownAnalysisTest, AnalysesTheRecordTheFlowDrewLast) {
    EXPECT_EQ(analysis_.Shown(), nullptr);
    EXPECT_EQ(analysis_.Analyze(messages_), -1);
    ASSERT_EQ(session_.OpenFile(temp_.Write("dome.thk", DomeThk(100, 10, false))), 1);
    session_.Calc();
    ASSERT_EQ(session_.Fill(), 1);
    const ThkData& fill = session_.Record(DataKind::Fill);
    const ThkData& raw = session_.Record(DataKind::Raw);
    EXPECT_EQ(analysis_.Shown(), &fill);
    EXPECT_EQ(analysis_.Sites(), &raw);
    EXPECT_EQ(analysis_.Nodes(), &session_.Record(DataKind::Grid));
    EXPECT_EQ(analysis_.ShownName(), "Fill");
    EXPECT_EQ(analysis_.SquareMiddle(), 50.0);

    WaferGeometry wafer;
    wafer.DiameterMm = 100.0;
    wafer.EdgeExclusionMm = 5.0;
    ASSERT_TRUE(analysis_.SetWafer(wafer));
    WaferGeometry refused = wafer;
    refused.EdgeExclusionMm = -1.0;
    EXPECT_FALSE(analysis_.SetWafer(refused));
    analysis_.SetHistogramBins(7);
    ASSERT_EQ(analysis_.Analyze(messages_), 1);
    const AnalysisMask mask(100, wafer);
    const AreaStatistics shown = CalcAreaStatistics(fill, mask);
    const AreaStatistics sites = CalcAreaStatistics(raw, mask);
    ASSERT_GT(shown.Count, 0);
    EXPECT_EQ(analysis_.Result().Shown.Count, shown.Count);
    EXPECT_EQ(analysis_.Result().Shown.Mean, shown.Mean);
    EXPECT_EQ(analysis_.SitesStatistics().Count, sites.Count);
    EXPECT_EQ(analysis_.Mask()->CellCount(), mask.CellCount());
    EXPECT_EQ(analysis_.Result().Histo->Counts.size(), 7u);
    EXPECT_FALSE(analysis_.Result().YProfile.empty());
    EXPECT_EQ(analysis_.StatisticsClipboardText(), StatisticsText(shown) + StatisticsText(sites, "Sites"));

    ShownAnalysis::Picture picture = analysis_.ShownPicture(true, messages_);
    EXPECT_EQ(picture.Record, &fill);
    EXPECT_FALSE(picture.SiteMarkers);  // a Fill map shows every cell
    EXPECT_EQ(picture.FileName, "(no file)");
    EXPECT_EQ(picture.DataType, "Fill");
    EXPECT_EQ(picture.Figures.Shown.Count, shown.Count);
    EXPECT_EQ(picture.Figures.Sites->Count, sites.Count);

    analysis_.SetSourceName("dome.thk");
    Select(DataKind::Raw);
    EXPECT_EQ(analysis_.Shown(), &raw);
    EXPECT_EQ(analysis_.Nodes(), nullptr);
    picture = analysis_.ShownPicture(true, messages_);
    EXPECT_TRUE(picture.SiteMarkers);
    EXPECT_EQ(picture.FileName, "dome.thk");
    EXPECT_EQ(picture.DataType, "Raw");
    EXPECT_EQ(messages_.Messages, Messages{});
}

// Compare: the difference of the shown record and a second file replaces it
// until the flow draws anew in full; a refused file leaves it standing.
TEST_F(ShownAnalysisTest, ComparesTheShownRecordUntilTheNextFullDrawing) {
    const std::string before =
        temp_.Write("before.thk", SitesThk(100, [](int x, int y) { return 500 + x + y; }));
    const std::string later =
        temp_.Write("later.thk", SitesThk(100, [](int x, int y) { return 506 + x + y + (x == 50 ? 4 : 0); }));
    EXPECT_EQ(analysis_.CompareWith(SourceOfFile(later), "later.thk", DifferenceOrder::FirstMinusSecond, 0.0,
                                    "s", messages_),
              -1);
    EXPECT_EQ(messages_.Messages, Messages{"There is no data to compare with."});
    messages_.Messages.clear();

    // Raw data, the later sites 6 higher (10 on the column x = 50) two
    // minutes on.
    ASSERT_EQ(session_.OpenFile(before), 1);
    analysis_.SetSourceName("before.thk");
    ASSERT_EQ(analysis_.CompareWith(SourceOfFile(later), "later.thk", DifferenceOrder::SecondMinusFirst, 2.0,
                                    "min", messages_),
              1);
    ASSERT_TRUE(analysis_.Comparing());
    const ThkData& rate = *analysis_.Shown();
    EXPECT_NE(&rate, &session_.Record(DataKind::Raw));
    int sites = 0;
    for (int x = 0; x <= 100; ++x)
        for (int y = 0; y <= 100; ++y) {
            if (x % 10 != 0 || y % 10 != 0) {
                EXPECT_FALSE(HasData(rate.Value[x][y]));
                continue;
            }
            ++sites;
            EXPECT_EQ(rate.Value[x][y], x == 50 ? 5.0 : 3.0) << x << ',' << y;
        }
    EXPECT_EQ(sites, 121);
    EXPECT_EQ(analysis_.ShownName(), "Rate per min");
    EXPECT_EQ(analysis_.Compared().Title(), "later.thk - before.thk");
    EXPECT_EQ(analysis_.FileTitle(), "later.thk - before.thk");
    EXPECT_EQ(analysis_.Sites(), nullptr);
    ASSERT_EQ(analysis_.Analyze(messages_), 1);
    // The Sites column of a difference: its 121 sites paired site by site.
    EXPECT_NE(analysis_.StatisticsClipboardText().find(StatisticsText(analysis_.Result().Shown) +
                                                       "SitesCount\t121\n"),
              std::string::npos);
    const ShownAnalysis::Picture picture = analysis_.ShownPicture(true, messages_);
    EXPECT_TRUE(picture.Difference);
    EXPECT_FALSE(picture.SiteMarkers);
    EXPECT_EQ(picture.DataType, "Rate per min");

    // A file of another Size is refused; a contour redraw of the record
    // followed changes nothing.
    EXPECT_EQ(analysis_.CompareWith(
                  SourceOfFile(temp_.Write("small.thk", SitesThk(50, [](int, int) { return 1; }))),
                  "small.thk", DifferenceOrder::FirstMinusSecond, 0.0, "s", messages_),
              -1);
    EXPECT_EQ(messages_.Messages, Messages{"Different Size data cannot be compared. -> Size: 100 / 50"});
    MapPlan contour = analysis_.Plan();
    contour.Full = false;
    EXPECT_FALSE(analysis_.Follow(*analysis_.Followed(), contour));
    EXPECT_EQ(analysis_.Shown(), &rate);

    // The next full drawing ends it; a file compared with itself as Fill
    // data differs by zero in every filled cell.
    session_.RedrawAll();
    EXPECT_FALSE(analysis_.Comparing());
    EXPECT_EQ(analysis_.Compared().Title(), "");
    session_.Calc();
    ASSERT_EQ(session_.Fill(), 1);
    ASSERT_EQ(analysis_.CompareWith(SourceOfFile(before), "before.thk", DifferenceOrder::FirstMinusSecond,
                                    0.0, "s", messages_),
              1);
    const ThkData& fill = session_.Record(DataKind::Fill);
    const ThkData& zero = *analysis_.Shown();
    for (int x = 0; x <= 100; ++x)
        for (int y = 0; y <= 100; ++y) {
            ASSERT_EQ(HasData(zero.Value[x][y]), HasData(fill.Value[x][y])) << x << ',' << y;
            if (HasData(zero.Value[x][y])) {
                ASSERT_EQ(zero.Value[x][y], 0.0) << x << ',' << y;
            }
        }
    EXPECT_EQ(analysis_.ShownName(), "Difference");
    EXPECT_EQ(analysis_.Compared().Title(), "before.thk - before.thk");
}

}  // namespace
