#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/CliSamples.h"
#include "cli/Listing.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "data/DataTableText.h"
#include "data/RandomData.h"
#include "data/ThkReader.h"
#include "data/XyzText.h"
#include "roi/RoiDisplay.h"
#include "roi/RoiStats.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

std::string G17(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Every x<TAB>y<TAB>value line after the first (Radius) line must be a data
// cell of the record in X-major order, its value reading back to the same bits.
void ExpectCellListing(const std::vector<std::string>& lines, const ThkData& record) {
    size_t i = 1;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            if (!HasData(record.Value[x][y])) continue;
            ASSERT_LT(i, lines.size());
            int lx = -1;
            int ly = -1;
            char value[64] = {};
            ASSERT_EQ(std::sscanf(lines[i].c_str(), "%d\t%d\t%63s", &lx, &ly, value), 3) << lines[i];
            ASSERT_EQ(lx, x);
            ASSERT_EQ(ly, y);
            ASSERT_EQ(std::strtod(value, nullptr), record.Value[x][y]) << lines[i];
            ++i;
        }
    }
    EXPECT_EQ(i, lines.size());
}

class CliListing : public CliTestBase {};

TEST_F(CliListing, RandomWritesTheGeneratorsCellsRoundedToThousandths) {
    const std::string path = PathOf("r.thk");
    const CliRun run = Run({"random", "--seed", "77", "--size", "60", "--count", "50", "--check", "3",
                            "--base", "-123.457", "--width", "4.5", "--out", path});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(Slurp(path).rfind("60\n1,1\n", 0), 0u);

    auto made = NewRecord();
    ASSERT_EQ(MakeRandomData(*made, RandomDataSettings{60, 50, 3, -123.457, 4.5}, 77u, MessageRecorder()), 1);
    auto read = NewRecord();
    ASSERT_EQ(ReadThkFile(path, *read, MessageRecorder()), 1);
    EXPECT_EQ(read->Size, 60);
    int cells = 0;
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = made->Value[x][y];
            ASSERT_EQ(HasData(read->Value[x][y]), HasData(v)) << x << "," << y;
            if (!HasData(v)) continue;
            ++cells;
            char text[40];
            std::snprintf(text, sizeof text, "%.3f", v);
            EXPECT_EQ(read->Value[x][y], std::strtod(text, nullptr)) << x << "," << y;
            EXPECT_NEAR(read->Value[x][y], v, 1e-9);
        }
    }
    EXPECT_EQ(cells, 50);

    // A folder that does not exist: nothing written, exit 1 with the reason.
    const std::string bad = PathOf("missing/r.thk");
    const CliRun failed = Run({"random", "--out", bad});
    EXPECT_EQ(failed.Status, 1);
    EXPECT_EQ(failed.Err.rfind("morvaplot-cli: cannot write " + bad + ": ", 0), 0u) << failed.Err;
}

TEST_F(CliListing, XyzTextIsConvertedAsPasteConvertsIt) {
    // The bytes after a NUL are not part of the text, as on the clipboard.
    const std::string text = "20\t\n0\t0\t1.5\n0\t20\t2\n20\t0\t3\n20\t20\t2.5\n";
    const std::string file = Write("points.txt", text + std::string(1, '\0') + "garbage");
    auto record = NewRecord();
    ASSERT_EQ(ConvertXYZToThkData(text, *record, MessageRecorder()), 4);
    const CliRun stats = Run({"stats", "--xyz", file});
    ASSERT_EQ(stats.Status, 0) << stats.Err;
    EXPECT_EQ(stats.Out, StatsListing(*record));

    const CliRun grid = Run({"grid", file, "--xyz"});
    ASSERT_EQ(grid.Status, 0) << grid.Err;
    EXPECT_EQ(Lines(grid.Out).size(), 5u);  // the radius and the four nodes
    EXPECT_EQ(Lines(grid.Out).at(0), "Radius\t20");

    const CliRun empty = Run({"stats", "--xyz", Write("empty.txt", "")});
    EXPECT_EQ(empty.Status, 1);
    EXPECT_EQ(empty.Err, "Data nothing on Clipboard.\n");
}

TEST_F(CliListing, StatsAreTheReadersOwn) {
    // The repeated position counts twice and its first value stays in Min/Max,
    // while Mean and Sigma come from the cells (10 and 30).
    const std::string file = Write("s.thk", "20\n10,10\n0,0,10,\n10,0,20,\n10,0,30,\n");
    const CliRun run = Run({"stats", file});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    auto r = NewRecord();
    ASSERT_EQ(ReadThkFile(file, *r, MessageRecorder()), 1);
    EXPECT_EQ(r->Count, 3);
    EXPECT_EQ(r->Max, 30.0);
    EXPECT_EQ(r->Mean, 20.0);
    EXPECT_EQ(run.Out,
              "Size\t20\nPitchX\t10\nPitchY\t10\nCount\t3\nMin\t10\nMax\t30\nRange\t20\n"
              "Mean\t20\nSigma\t" +
                  G17(r->Sigma) +
                  "\nRatio\t0.5\nUniformityPct\t50\n"
                  "Sigma1Pct\t" +
                  G17(r->Sigma1Pct) + "\nSigma3Pct\t" + G17(r->Sigma3Pct) + "\n");
}

TEST_F(CliListing, GridAndFillMatchTheWindowSequenceBitForBit) {
    const std::string file = Write("d.thk", DomeThk(100, 10, true));
    FlowRun window(file);
    ASSERT_EQ(window.FillResult, 1);

    const CliRun grid = Run({"grid", file});
    ASSERT_EQ(grid.Status, 0) << grid.Err;
    const std::vector<std::string> gridLines = Lines(grid.Out);
    ASSERT_FALSE(gridLines.empty());
    EXPECT_EQ(gridLines[0], "Radius\t20");  // every node is a data cell
    EXPECT_EQ(gridLines.size(), 1u + 36u);  // 6 x 6 nodes
    ExpectCellListing(gridLines, window.Grid());

    const CliRun fill = Run({"fill", file});
    ASSERT_EQ(fill.Status, 0) << fill.Err;
    const std::vector<std::string> fillLines = Lines(fill.Out);
    EXPECT_EQ(fillLines.size(), 1u + 101u * 101u);
    ExpectCellListing(fillLines, window.Fill());
}

TEST_F(CliListing, RadiusAndPowerGoThroughTheirLabelTexts) {
    const std::string file = Write("d.thk", DomeThk(100, 10, false));
    // 30.25 is written back with one decimal as "30.3" (ties away from zero),
    // 2.5 as "2.50"; Calc reads the labels.
    ViewSettings settings;
    settings.RadOptimize = false;
    settings.SearchRad = 30.3f;
    settings.AverageWeight = 2.5;
    settings.CalcPitch = 25;
    settings.SplineOrder = 1;
    FlowRun window(file, settings);
    const CliRun run =
        Run({"fill", file, "--radius", "30.25", "--power=2.5", "--pitch", "25", "--order", "1"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::vector<std::string> lines = Lines(run.Out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Radius\t" + G17(static_cast<float>(30.3)));
    ExpectCellListing(lines, window.Fill());
}

TEST_F(CliListing, FailedOptimisationKeepsTheDesignedRadius) {
    const std::string file = Write("few.thk", "100\n50,50\n0,0,1,\n100,100,2,\n");
    const CliRun run = Run({"grid", file, "--min-count", "3"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "Data search error.(Unable to find data.)\nPitch: 20 NMin: 3\n");
    EXPECT_EQ(Lines(run.Out).at(0), "Radius\t80");
}

TEST_F(CliListing, TableIsTheCopyDataText) {
    const std::string file = Write("d.thk", DomeThk(100, 10, true));
    FlowRun window(file);
    struct Case {
        const char* data;
        const ThkData* record;
        int step;
    };
    const Case cases[] = {
        {"raw", &window.Raw(), 1}, {"grid", &window.Grid(), 20}, {"fill", &window.Fill(), 1}};
    for (const Case& c : cases) {
        const CliRun run = Run({"table", file, "--data", c.data});
        ASSERT_EQ(run.Status, 0) << c.data << run.Err;
        EXPECT_EQ(run.Out, BuildThkDataText(*c.record, c.step)) << c.data;
    }
}

TEST_F(CliListing, RoiStatisticsAndLabelsOnTheChosenRecord) {
    const std::string file = Write("d.thk", DomeThk(100, 10, false));
    FlowRun window(file);
    struct Case {
        const char* options;
        const ThkData* record;
        RoiShape shape;
        int x, y, size, fDigit;
    };
    const Case cases[] = {
        {"--x 40 --y 55 --size 12", &window.Raw(), RoiShape::Circle, 40, 55, 12, 2},
        // Size 100 on the 301-pixel map: pixel 120 is coordinate 39 (39.87), 166 is 55.
        {"--px 120 --py 166 --square --data fill --fdigit 0", &window.Fill(), RoiShape::Square, 39, 55, 10,
         0},
        {"--x 0 --y 5 --size 1", &window.Raw(), RoiShape::Circle, 0, 5, 1, 2},  // no data cell
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"roi", file};
        std::istringstream options(c.options);
        for (std::string word; options >> word;)
            args.push_back(word);
        const CliRun run = Run(args);
        ASSERT_EQ(run.Status, 0) << run.Err;
        RoiStats s{};
        const int count = CalcRoiStatistics(*c.record, c.shape, c.x, c.y, c.size, s);
        const RoiLabelTexts labels = RoiLabelCaptions(count, s, c.fDigit);
        EXPECT_EQ(run.Out, "Count\t" + std::to_string(count) + "\nMin\t" + G17(s.Min) + "\nMax\t" +
                               G17(s.Max) + "\nMean\t" + G17(s.Mean) + "\n" + labels.Min + "\n" + labels.Max +
                               "\n" + labels.Mean + "\n")
            << c.options;
    }
}

TEST_F(CliListing, RoiCopyIsTheClipboardTextOfTheFillRecord) {
    const std::string file = Write("d.thk", DomeThk(100, 10, false));
    FlowRun window(file);
    ASSERT_EQ(window.FillResult, 1);
    std::array<RoiPlacement, 2> p;
    ASSERT_TRUE(CollectRoiPlacements({true, true}, {120, 0}, {166, 300}, {RoiShape::Square, RoiShape::Square},
                                     {4, 4}, {3, 3}, window.Fill().Size, 301, 301, p, MessageRecorder()));
    const CliRun run = Run({"roi", file, "--copy", "--px", "120", "--py", "166", "--px2=0", "--py2=300",
                            "--size", "4", "--square", "--fdigit", "3"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, BuildRoiText(p, "\t", window.Fill(), MessageRecorder()));
}

// Levels and traces of the in-process contour tracing, in the tool's format.
class TextSink final : public ContourSink {
public:
    void BeginLevel(int k, double level, Color) override {
        Close();
        text += "Level\t" + std::to_string(k) + "\t" + G17(level) + "\n";
    }
    void MoveTo(int, int, double gx, double gy) override {
        Close();
        start = G17(gx) + "," + G17(gy);
    }
    void LineTo(int, int, double gx, double gy) override {
        if (!open) line = start;
        open = true;
        line += ' ';
        line += G17(gx);
        line += ',';
        line += G17(gy);
    }
    void Close() {
        if (open) text += line + "\n";
        open = false;
    }
    std::string text, start, line;
    bool open = false;
};

TEST_F(CliListing, ContoursFollowTheDisplayRangeRule) {
    const std::string file = Write("d.thk", DomeThk(100, 10, true));
    for (const bool rawRange : {true, false}) {
        ViewSettings settings;
        settings.RawRange = rawRange;
        settings.BorderCount = 7;
        FlowRun window(file, settings);
        ASSERT_EQ(window.FillResult, 1);
        // Cell-based Raw range: the spike read first is not in it.
        ASSERT_LT(window.Raw().Max, 2000.0);
        EXPECT_EQ(window.Fill().Max == window.Raw().Max, rawRange);
        TextSink sink;
        TraceContours(window.Fill(), window.Fill().Size, 301, 301, settings.BorderCount, ColormapPreset(), true,
                      DrawingRampSet, sink);
        sink.Close();
        ASSERT_NE(sink.text.find(" "), std::string::npos);  // lines were traced

        std::vector<std::string> args = {"contours", file, "--borders", "7"};
        if (!rawRange) args.push_back("--no-raw-range");
        const CliRun run = Run(args);
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, sink.text) << "raw range " << rawRange;
    }
}

TEST_F(CliListing, FailuresExitOneWithTheViewersMessage) {
    const std::string sizeZero = Write("zero.thk", "0\n10,10\n0,0,1,\n");
    const std::string small = Write("small.thk", DomeThk(80, 10, false));
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"stats", sizeZero}, "Size data error.(<=0 or >500) -> 0\n"},
        {{"grid", sizeZero}, "Size data error.(<=0 or >500) -> 0\n"},
        {{"stats", PathOf("absent.thk")}, "File open error. -> " + PathOf("absent.thk") + "\n"},
        {{"fill", small}, "No enough to fill data.(X count= 4)\n"},
        {{"contours", small}, "No enough to fill data.(X count= 4)\n"},
        {{"table", small, "--data", "fill", "--pitch", "40"}, "No enough to fill data.(X count= 2)\n"},
        {{"stats", ""}, "<OpenThkData> Filename is NULL.\n"},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.args);
        EXPECT_EQ(run.Status, 1) << c.args[0];
        EXPECT_EQ(run.Err, c.err) << c.args[0];
        EXPECT_EQ(run.Out, "") << c.args[0];
    }
}

}  // namespace
