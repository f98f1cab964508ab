#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/AnalysisText.h"
#include "analysis/AreaStatistics.h"
#include "analysis/RecordCsvText.h"
#include "analysis/RecordDifference.h"
#include "cli/CliRunner.h"
#include "cli/CliSamples.h"
#include "cli/Listing.h"
#include "colour/ColorScale.h"
#include "colour/DifferenceScale.h"
#include "colour/DivergingRamp.h"
#include "colour/MapPicture.h"
#include "colour/SitesOverlay.h"
#include "data/CsvImport.h"
#include "report/AnnotatedPicture.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

class CliAnalysis : public CliTestBase {};

// The value of a "Name<TAB>value" line of a listing; empty when there is none.
std::string Field(const std::string& listing, const std::string& name) {
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(name + "\t", 0) == 0) return line.substr(name.size() + 1);
    return {};
}

void ExpectJsonFigures(const nlohmann::json& figures, const AreaStatistics& s) {
    EXPECT_EQ(figures.at("Count").get<long>(), s.Count);
    EXPECT_EQ(figures.at("Mean").get<double>(), s.Mean);
    EXPECT_EQ(figures.at("Min").get<double>(), s.Min);
    EXPECT_EQ(figures.at("MinX").get<int>(), s.MinX);
    EXPECT_EQ(figures.at("MinY").get<int>(), s.MinY);
    EXPECT_EQ(figures.at("Max").get<double>(), s.Max);
    EXPECT_EQ(figures.at("MaxX").get<int>(), s.MaxX);
    EXPECT_EQ(figures.at("MaxY").get<int>(), s.MaxY);
    EXPECT_EQ(figures.at("Range").get<double>(), s.Range);
    EXPECT_EQ(figures.at("SigmaN1").get<double>(), s.Sigma);
    EXPECT_EQ(figures.at("Sigma1PctN1").get<double>(), s.Sigma1Pct);
    EXPECT_EQ(figures.at("Sigma3PctN1").get<double>(), s.Sigma3Pct);
    EXPECT_EQ(figures.at("UniformityMeanPct").get<double>(), s.UniformityPct);
    EXPECT_EQ(figures.at("UniformityMaxMinPct").get<double>(), s.UniformityMaxMinPct);
}

TEST_F(CliAnalysis, AnalyzeGivesTheAnalysisLayersFiguresAsTextAndJson) {
    const std::string file = Write("d.thk", DomeThk(200, 10, false));
    struct Case {
        const char* what;
        std::vector<std::string> args;
        DataKind data;
        WaferGeometry wafer;
    };
    const Case cases[] = {
        {"raw, no wafer", {}, DataKind::Raw, {}},
        {"fill in a 200 mm wafer, 5 mm edge",
         {"--data", "fill", "--wafer", "200", "--edge", "5"},
         DataKind::Fill,
         {200.0, 5.0, {}, {}}},
        {"grid, wafer off centre",
         {"--data=grid", "--wafer", "150", "--center", "90,110.5"},
         DataKind::Grid,
         {150.0, 0.0, 90.0, 110.5}},
    };
    FlowRun window(file);
    ASSERT_EQ(window.FillResult, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ThkData& record = window.Flow.Record(c.data);
        const AreaStatistics shown = CalcAreaStatistics(record, AnalysisMask(record.Size, c.wafer));
        const AreaStatistics sites =
            CalcAreaStatistics(window.Raw(), AnalysisMask(window.Raw().Size, c.wafer));

        std::vector<std::string> args = {"analyze", file};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun text = Run(args);
        ASSERT_EQ(text.Status, 0) << text.Err;
        EXPECT_EQ(text.Out, StatisticsText(shown) + StatisticsText(sites, "Sites"));

        args.push_back("--json");
        const CliRun json = Run(args);
        ASSERT_EQ(json.Status, 0) << json.Err;
        const nlohmann::json doc = nlohmann::json::parse(json.Out);
        ExpectJsonFigures(doc.at("statistics"), shown);
        ExpectJsonFigures(doc.at("sites"), sites);
        EXPECT_EQ(doc.at("wafer").is_null(), c.wafer.DiameterMm == 0.0);
    }
    // Raw data without a wafer: the reader's own mean.
    EXPECT_EQ(Field(Run({"analyze", file}).Out, "Mean"), Field(Run({"stats", file}).Out, "Mean"));
}

TEST_F(CliAnalysis, CsvTablesAndCsvOutput) {
    // Millimetres from the centre of a 40 mm wafer: Size 40, centre cell 20.
    const std::string table =
        "Site;X (mm);Y (mm);Thickness\n1;-10;-10;100.5\n2;10;10;102\n3;0;0;105.25\n"
        "4;-10;10;101\n5;10;-10;99\n";
    const std::string csv = Write("w.csv", table);
    CsvImportOptions import;
    import.Diameter = 40.0;
    auto record = NewRecord();
    ASSERT_EQ(ImportCsvText(table, import, *record, MessageRecorder()), 1);
    const CliRun stats = Run({"stats", csv, "--csv", "--wafer", "40"});
    ASSERT_EQ(stats.Status, 0) << stats.Err;
    EXPECT_EQ(stats.Out, StatsListing(*record));

    // Columns by number and cell units read the same table the same way.
    const std::string cells =
        Write("c.txt", "x y z\n10 10 100.5\n30 30 102\n20 20 105.25\n10 30 101\n30 10 99\n");
    const CliRun byCell =
        Run({"stats", cells, "--csv", "--units", "cell", "--wafer", "40", "--x-col", "1", "--z-col", "3"});
    ASSERT_EQ(byCell.Status, 0) << byCell.Err;
    EXPECT_EQ(byCell.Out, stats.Out);

    const CliRun bad = Run({"grid", Write("bad.csv", "x,y,z\n1,2,3\n4,five,6\n"), "--csv"});
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Out, "");
    EXPECT_EQ(bad.Err, "CSV data error. -> 'five' Line: 3\n");

    // table --format csv: the shown record with its mm columns.
    const std::string file = Write("d.thk", DomeThk(200, 10, false));
    FlowRun window(file);
    ASSERT_EQ(window.FillResult, 1);
    const CliRun fill = Run({"table", file, "--data", "fill", "--format", "csv", "--wafer", "300"});
    ASSERT_EQ(fill.Status, 0) << fill.Err;
    EXPECT_EQ(fill.Out, RecordCsvText(window.Fill(), FrameOf({300.0, 0.0, {}, {}}, window.Fill().Size)));
    const CliRun raw = Run({"table", file, "--format=csv"});
    EXPECT_EQ(raw.Out, RecordCsvText(window.Raw(), FrameOf({}, window.Raw().Size)));
}

TEST_F(CliAnalysis, DiffOfTwoFilledFiles) {
    // B lies 6 below A everywhere, to the rounding of its 3 decimals.
    const std::string a = Write("a.thk", DomeThk(200, 10, false, 1000.0));
    const std::string b = Write("b.thk", DomeThk(200, 10, false, 994.0));
    FlowRun first(a);
    FlowRun second(b);
    ASSERT_EQ(first.FillResult, 1);
    ASSERT_EQ(second.FillResult, 1);

    struct Case {
        const char* what;
        std::vector<std::string> args;
        const ThkData* pre;  // what is subtracted from the other
        const ThkData* post;
        double time;
        double expected;  // every value, within the rounding of the files
    };
    const Case cases[] = {
        {"A with itself", {a, a}, &first.Fill(), &first.Fill(), 0.0, 0.0},
        {"A - B over 3", {a, b, "--rate-time", "3"}, &first.Fill(), &second.Fill(), 3.0, 2.0},
        {"B - A", {a, b, "--order", "b-a"}, &second.Fill(), &first.Fill(), 0.0, -6.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"diff"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--out", PathOf("d.csv")});
        const CliRun run = Run(args);
        ASSERT_EQ(run.Status, 0) << run.Err;
        auto difference = NewRecord();
        ASSERT_EQ(DifferenceOfRecords(*c.pre, *c.post, DifferenceOrder::FirstMinusSecond, c.time, *difference,
                                      MessageRecorder()),
                  1);
        const std::string text = Slurp(PathOf("d.csv"));
        EXPECT_EQ(text, RecordCsvText(*difference, FrameOf({}, difference->Size)));
        long cells = 0;
        for (const auto& column : difference->Value) {
            for (const double v : column) {
                if (!HasData(v)) continue;
                ++cells;
                if (c.expected == 0.0)
                    ASSERT_EQ(v, 0.0);
                else
                    ASSERT_NEAR(v, c.expected, 2e-3);
            }
        }
        EXPECT_EQ(cells, 201L * 201L);
    }

    const CliRun png = Run({"diff", a, b, "--out", PathOf("d.png")});
    ASSERT_EQ(png.Status, 0) << png.Err;
    auto difference = NewRecord();
    ASSERT_EQ(DifferenceOfRecords(first.Fill(), second.Fill(), DifferenceOrder::FirstMinusSecond, 0.0,
                                  *difference, MessageRecorder()),
              1);
    // The annotated picture holds the map as the colours the difference's
    // signs choose paint it, inside its frame line.
    QImage expected;
    if (DrawsDiverging(*difference, DifferenceScale::Auto))
        PaintDivergingMap(expected, *difference, MapStyle{}.BackColor);
    else
        PaintMap(expected, *difference, DrawKind::Colormap, RampSetKind::Startup, MapStyle{});
    const QImage picture =
        QImage(QString::fromStdString(PathOf("d.png"))).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(QSizeF(picture.size()), AnnotatedPictureSize());
    const QImage inside = expected.convertToFormat(QImage::Format_RGB32).copy(1, 1, 299, 299);
    bool found = false;
    for (int y = 0; y < 80 && !found; ++y)
        for (int x = 0; x < 80 && !found; ++x)
            found = picture.copy(x + 1, y + 1, 299, 299) == inside;
    EXPECT_TRUE(found);

    const CliRun sizes = Run({"diff", a, Write("c.thk", DomeThk(300, 10, false)), "--out", PathOf("e.csv")});
    EXPECT_EQ(sizes.Status, 1);
    EXPECT_EQ(sizes.Err, "Different Size data cannot be compared. -> Size: 200 / 300\n");
    EXPECT_FALSE(std::filesystem::exists(PathOf("e.csv")));
}

TEST_F(CliAnalysis, SitesMarkOnlyTheCellsTheSamplingMisses) {
    struct Case {
        const char* what;
        int size;
        std::vector<std::string> args;
        bool marks;
    };
    const Case cases[] = {
        {"Size 300: every cell has its pixel", 300, {}, false},
        {"Size 500 raw", 500, {}, true},
        {"Size 500 grid", 500, {"--data", "grid", "--pitch", "25"}, true},
        {"fill: no markers", 200, {"--data", "fill"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = Write("d.thk", DomeThk(c.size, 10, false));
        std::vector<std::string> args = {"image", file, "--out", PathOf("plain.png")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        ASSERT_EQ(Run(args).Status, 0);
        args[3] = PathOf("sites.png");
        args.push_back("--sites");
        const CliRun run = Run(args);
        ASSERT_EQ(run.Status, 0) << run.Err;
        const QImage plain(QString::fromStdString(PathOf("plain.png")));
        const QImage sites(QString::fromStdString(PathOf("sites.png")));
        ASSERT_FALSE(plain.isNull());
        if (!c.marks) {
            EXPECT_EQ(sites.convertToFormat(QImage::Format_RGB32),
                      plain.convertToFormat(QImage::Format_RGB32));
            continue;
        }
        // The plain picture with the overlay painted over it, nothing else.
        ViewSettings settings;
        settings.CalcPitch = c.args.empty() ? settings.CalcPitch : 25;
        FlowRun window(file, settings);
        ThkData& record = c.args.empty() ? window.Raw() : window.Grid();
        record.Min = window.Raw().Min;  // the Raw Range rule
        record.Max = window.Raw().Max;
        QImage expected = plain.convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(PaintSites(expected, record, RampSetKind::Startup, MapStyle{}), 0);
        EXPECT_EQ(sites.convertToFormat(QImage::Format_RGB32),
                  expected.convertToFormat(QImage::Format_RGB32));
    }
}

}  // namespace
