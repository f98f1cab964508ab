#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/CliRunner.h"
#include "cli/Commands.h"

namespace {

class CliUsage : public CliTestBase {};

// The first line of a usage text.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

TEST_F(CliUsage, UsageErrorsSayWhatIsWrong) {
    const std::string f = "f.thk";
    const std::string Base = "--base must be a number from -9999.999 to 9999.999 with at most 3 decimals";
    const std::string Width = "--width must be a number from 0.001 to 9999.999 with at most 3 decimals";
    const std::string Seed = "--seed must be an integer from 0 to 4294967295";
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{}, "missing command"},
        {{"frobnicate", f}, "unknown command 'frobnicate'"},
        {{"grid"}, "missing FILE argument"},
        {{"grid", f, f}, "unexpected argument '" + f + "'"},
        {{"stats", f, "--pitch", "20"}, "unknown option '--pitch' for stats"},
        {{"grid", f, "--order", "3"}, "unknown option '--order' for grid"},
        {{"grid", f, "--pitch"}, "--pitch needs a value"},
        {{"grid", f, "--pitch", "101"}, "--pitch must be an integer from 2 to 100"},
        {{"grid", f, "--pitch", "20.0"}, "--pitch must be an integer from 2 to 100"},
        {{"grid", f, "--radius", "1.9"}, "--radius must be a number from 2.0 to 200.0"},
        {{"grid", f, "--radius", "-5"}, "--radius must be a number from 2.0 to 200.0"},
        {{"grid", f, "--radius", "1e2"}, "--radius must be a number from 2.0 to 200.0"},
        {{"grid", f, "--power=100"}, "--power must be a number from 0.01 to 99.99"},
        {{"grid", f, "--min-count", "0"}, "--min-count must be an integer from 1 to 10"},
        {{"fill", f, "--order", "11"}, "--order must be an integer from 1 to 10"},
        {{"grid", f, "--radius", "50", "--optimize"}, "--radius and --optimize exclude each other"},
        {{"grid", f, "--optimize=yes"}, "--optimize takes no value"},
        {{"table", f, "--data", "smooth"}, "--data must be raw, grid or fill"},
        {{"image", f}, "image needs --out MAP.png"},
        {{"image", f, "--out", "m.png", "--draw", "lines"}, "--draw must be colormap or contour"},
        {{"image", f, "--out", "m.png", "--borders", "1"}, "--borders must be an integer from 2 to 50"},
        {{"contours", f, "--borders", "51"}, "--borders must be an integer from 2 to 50"},
        {{"view3d", f}, "view3d needs --out PICTURE.png"},
        {{"view3d", f, "--out", "p.png", "--x-angle", "90.1"}, "--x-angle must be a number from 0.0 to 90.0"},
        {{"view3d", f, "--out", "p.png", "--z-angle", "-180.05"},
         "--z-angle must be a number from -180.0 to 180.0"},
        {{"view3d", f, "--out", "p.png", "--width", "8"}, "--width must be an integer from 16 to 4096"},
        {{"view3d", f, "--out", "p.png", "--height", "4097"}, "--height must be an integer from 16 to 4096"},
        {{"view3d", f, "--out", "p.png", "--ratio", "10.1"}, "--ratio must be a number from 0.0 to 10.0"},
        {{"view3d", f, "--out", "p.png", "--zoom", "1001"}, "--zoom must be an integer from 0 to 1000"},
        {{"view3d", f, "--out", "p.png", "--draw-pitch", "0"},
         "--draw-pitch must be an integer from 1 to 50"},
        {{"image", f, "--out", "m.png", "--gradation="}, "--gradation needs a file name"},
        {{"roi", f, "--x", "10"}, "roi needs --x and --y, or --px and --py"},
        {{"roi", f, "--px", "10"}, "roi needs --x and --y, or --px and --py"},
        {{"roi", f, "--px", "301", "--py", "1"}, "--px must be an integer from 0 to 300"},
        {{"roi", f, "--px", "1", "--py", "1", "--x", "1"}, "--px/--py and --x/--y exclude each other"},
        {{"roi", f, "--x", "1", "--y", "1", "--fdigit", "6"}, "--fdigit must be an integer from 0 to 5"},
        {{"roi", f, "--x", "1", "--y", "1", "--copy"}, "--copy needs --px and --py"},
        {{"roi", f, "--px", "1", "--py", "1", "--copy", "--px2", "5"}, "--px2 and --py2 go together"},
        {{"roi", f, "--px", "1", "--py", "1", "--px2", "5", "--py2", "5"}, "--px2 and --py2 need --copy"},
        {{"roi", f, "--px", "1", "--py", "1", "--copy", "--data", "grid"},
         "--copy measures the fill data: --data must be fill"},
        {{"roi", f, "--x", "10", "--y", "501"}, "--y must be an integer from 0 to 500"},
        {{"roi", f, "--x", "1", "--y", "1", "--size", "0"}, "--size must be an integer from 1 to 100"},
        {{"random", "--out", "r.thk", f}, "unexpected argument '" + f + "'"},
        {{"random", "--size", "300"}, "random needs --out FILE.thk"},
        {{"random", "--out="}, "--out needs a file name"},
        {{"random", "--out", "r.thk", "--pitch", "20"}, "unknown option '--pitch' for random"},
        {{"random", "--out", "r.thk", "--size", "9"}, "--size must be an integer from 10 to 500"},
        {{"random", "--out", "r.thk", "--count", "501"}, "--count must be an integer from 1 to 500"},
        {{"random", "--out", "r.thk", "--check", "0"}, "--check must be an integer from 1 to 125"},
        {{"random", "--out", "r.thk", "--base", "10000"}, Base},
        {{"random", "--out", "r.thk", "--base", "1.2345"}, Base},
        {{"random", "--out", "r.thk", "--base", "--5"}, Base},
        {{"random", "--out", "r.thk", "--width", "0"}, Width},
        {{"random", "--out", "r.thk", "--width", "-1"}, Width},
        {{"random", "--out", "r.thk", "--seed", "4294967296"}, Seed},
        {{"random", "--out", "r.thk", "--seed", "-1"}, Seed},
        {{"grid", f, "--csv", "--xyz"}, "--xyz and --csv exclude each other"},
        {{"grid", f, "--units", "mm"}, "--units needs --csv"},
        {{"grid", f, "--csv", "--units", "inch"}, "--units must be mm or cell"},
        {{"grid", f, "--wafer", "200"}, "--wafer needs --csv here"},
        {{"table", f, "--format", "pdf"}, "--format must be text or csv"},
        {{"stats", f, "--sites"}, "unknown option '--sites' for stats"},
        {{"analyze", f, "--edge", "5"}, "--edge needs --wafer"},
        {{"analyze", f, "--wafer", "200", "--edge", "-1"}, "--edge must be a number of 0 or more"},
        {{"stats", f, "--csv", "--x-col="}, "--x-col needs a column name or number"},
        {{"analyze", f, "--wafer", "10000.5"}, "--wafer must be a number from 0 to 10000"},
        {{"analyze", f, "--center", "1,501"}, "--center must be X,Y with numbers from 0 to 500"},
        {{"analyze", f, "--profile", "1,2,3"}, "--profile must be x, y, radial or X0,Y0,X1,Y1"},
        {{"analyze", f, "--histogram", "0"}, "--histogram must be an integer from 1 to 10000"},
        {{"diff", f, "--out", "d.csv"}, "diff needs two files, A and B"},
        {{"diff", f, f}, "diff needs --out DIFF.png|svg|pdf or DIFF.csv"},
        {{"diff", f, f, "--out", "d.tif"}, "--out must name a .png, .svg, .pdf or .csv file"},
        {{"diff", f, f, "--out", "d.png", "--scale", "log"},
         "--scale must be auto, diverging or sequential"},
        {{"diff", f, f, "--out", "d.csv", "--order", "c-d"},
         "--order must be a-b, b-a or an integer from 1 to 10"},
        {{"diff", f, f, "--out", "d.csv", "--rate-time", "0"}, "--rate-time must be a number above 0"},
        {{"report", f}, "report needs --out REPORT.pdf"},
        {{"report", f, "--out", "r.png"}, "--out must name a .pdf file"},
        {{"report", f, "--out", "r.pdf", "--summary="}, "--summary needs a file name"},
        {{"report", f, "--out", "r.pdf", "--summary", "r.pdf"},
         "--summary must name another file than --out"},
    };
    for (const Case& c : cases) {
        CliOptions options;
        const ParseResult parsed = ParseCommandLine(c.args, options);
        EXPECT_EQ(parsed.Status, ParseStatus::Usage) << c.message;
        EXPECT_EQ(FirstLine(parsed.Text), "morvaplot-cli: " + c.message);
    }
    // The tool itself: exit status 2, the text on stderr, nothing on stdout.
    const CliRun run = Run({"grid", Write("f.thk", "20\n10,10\n0,0,1,\n"), "--pitch", "101"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(FirstLine(run.Err), "morvaplot-cli: --pitch must be an integer from 2 to 100");
}

TEST_F(CliUsage, OptionsReachTheirFields) {
    CliOptions o;
    ASSERT_EQ(ParseCommandLine({"image",
                                "--radius=30.25",
                                "in.thk",
                                "--power",
                                "2.5",
                                "--data",
                                "grid",
                                "--draw",
                                "contour",
                                "--out",
                                "m.png",
                                "--borders",
                                "12",
                                "--no-raw-range",
                                "--copy-colormap",
                                "--order",
                                "2",
                                "--pitch",
                                "15",
                                "--min-count",
                                "4"},
                               o)
                  .Status,
              ParseStatus::Run);
    EXPECT_EQ(o.Command, CliCommand::Image);
    EXPECT_EQ(o.File, "in.thk");
    EXPECT_EQ(o.SearchRadText, "30.3");  // the label's one decimal, ties away from zero
    EXPECT_FALSE(o.RadOptimize);
    EXPECT_EQ(o.AverageWeightText, "2.50");
    EXPECT_EQ(o.DataType, DataKind::Grid);
    EXPECT_EQ(o.DrawType, DrawKind::Contour);
    EXPECT_EQ(o.OutFile, "m.png");
    EXPECT_EQ(o.BorderCount, 12);
    EXPECT_FALSE(o.RawRange);
    EXPECT_TRUE(o.CopyColormap);
    EXPECT_EQ(o.SplineOrder, 2);
    EXPECT_EQ(o.CalcPitch, 15);
    EXPECT_EQ(o.MinDataCount, 4);

    CliOptions roi;
    ASSERT_EQ(ParseCommandLine({"roi", "--", "--odd.thk", "--x", "7"}, roi).Status, ParseStatus::Usage);
    ASSERT_EQ(
        ParseCommandLine({"roi", "--x", "7", "--y=9", "--square", "--size", "3", "--", "-f.thk"}, roi).Status,
        ParseStatus::Run);
    EXPECT_EQ(roi.File, "-f.thk");
    EXPECT_EQ(roi.RoiX, 7);
    EXPECT_EQ(roi.RoiY, 9);
    EXPECT_EQ(roi.RoiSize, 3);
    EXPECT_TRUE(roi.RoiSquare);
    EXPECT_FALSE(roi.RoiByPixel);
    EXPECT_EQ(roi.RoiFDigit, 2);
    EXPECT_FALSE(roi.RoiCopy);
    ASSERT_EQ(ParseCommandLine({"roi", "f.thk", "--copy", "--px", "0", "--py=300", "--px2", "12", "--py2",
                                "34", "--fdigit", "0", "--data", "fill"},
                               roi)
                  .Status,
              ParseStatus::Run);
    EXPECT_TRUE(roi.RoiByPixel);
    EXPECT_EQ(roi.RoiPixelX, 0);
    EXPECT_EQ(roi.RoiPixelY, 300);
    EXPECT_TRUE(roi.RoiSecond);
    EXPECT_EQ(roi.RoiPixelX2, 12);
    EXPECT_EQ(roi.RoiPixelY2, 34);
    EXPECT_EQ(roi.RoiFDigit, 0);
    EXPECT_TRUE(roi.RoiCopy);

    CliOptions analyze;
    ASSERT_EQ(
        ParseCommandLine({"analyze",  "w.csv",   "--csv",     "--wafer",         "200",         "--edge=5",
                          "--center", "100,-0",  "--profile", "-1.5,2,30,40.25", "--histogram", "12",
                          "--json",   "--units", "cell",      "--x-col",         "X",           "--y-col",
                          "2",        "--z-col", "thk"},
                         analyze)
            .Status,
        ParseStatus::Run);
    EXPECT_TRUE(analyze.Csv);
    EXPECT_EQ(analyze.CsvOptions.Diameter, 200.0);
    EXPECT_EQ(analyze.CsvOptions.Units, CsvUnits::Cells);
    EXPECT_EQ(analyze.CsvOptions.XColumn, "X");
    EXPECT_EQ(analyze.CsvOptions.YColumn, "2");
    EXPECT_EQ(analyze.CsvOptions.ZColumn, "thk");
    EXPECT_EQ(analyze.EdgeMm, 5.0);
    EXPECT_EQ(analyze.CentreX, 100.0);
    EXPECT_EQ(analyze.CentreY, 0.0);
    EXPECT_EQ(analyze.Profile, CliProfile::Line);
    EXPECT_EQ(analyze.LineX0, -1.5);
    EXPECT_EQ(analyze.LineY1, 40.25);
    EXPECT_EQ(analyze.HistogramBins, 12);
    EXPECT_TRUE(analyze.Json);

    CliOptions diff;
    ASSERT_EQ(ParseCommandLine({"diff", "a.thk", "--order", "b-a", "b.thk", "--order=4", "--rate-time", "2.5",
                                "--out", "D.CSV"},
                               diff)
                  .Status,
              ParseStatus::Run);
    EXPECT_EQ(diff.File, "a.thk");
    EXPECT_EQ(diff.File2, "b.thk");
    EXPECT_EQ(diff.Order, DifferenceOrder::SecondMinusFirst);
    EXPECT_EQ(diff.SplineOrder, 4);
    EXPECT_EQ(diff.RateTime, 2.5);
    EXPECT_TRUE(DiffWritesCsv(diff));

    CliOptions random;
    ASSERT_EQ(ParseCommandLine({"random", "--out", "r.thk"}, random).Status, ParseStatus::Run);
    EXPECT_EQ(random.Random.Size, 300);
    EXPECT_EQ(random.Random.Count, 100);
    EXPECT_EQ(random.Random.CheckRadius, 10);
    EXPECT_EQ(random.Random.Base, 500.0);
    EXPECT_EQ(random.Random.Width, 10.0);
    EXPECT_FALSE(random.Seed.has_value());
    ASSERT_EQ(ParseCommandLine({"random", "--size=10", "--count", "500", "--check", "125", "--base",
                                "-9999.999", "--width", "0.001", "--seed", "4294967295", "--out=r.thk"},
                               random)
                  .Status,
              ParseStatus::Run);
    EXPECT_EQ(random.OutFile, "r.thk");
    EXPECT_EQ(random.Random.Size, 10);
    EXPECT_EQ(random.Random.Count, 500);
    EXPECT_EQ(random.Random.CheckRadius, 125);
    EXPECT_EQ(random.Random.Base, -9999.999);
    EXPECT_EQ(random.Random.Width, 0.001);
    EXPECT_EQ(random.Seed, 4294967295u);

    CliOptions view;
    ASSERT_EQ(ParseCommandLine(
                  {"view3d", "f.thk", "--out", "p.png", "--width", "100", "--height=80", "--x-angle", "30.5",
                   "--z-angle", "-180", "--ratio", "2.5", "--zoom", "150", "--draw-pitch", "3", "--wire"},
                  view)
                  .Status,
              ParseStatus::Run);
    EXPECT_EQ(view.PictureWidth, 100);
    EXPECT_EQ(view.PictureHeight, 80);
    EXPECT_EQ(view.View.XAngleTenths, 305);
    EXPECT_EQ(view.View.ZAngleTenths, -1800);
    EXPECT_EQ(view.View.RatioTenths, 25);
    EXPECT_EQ(view.View.Zoom, 150);
    EXPECT_EQ(view.View.DrawPitch, 3);
    EXPECT_EQ(view.View.DrawType, Draw3DType::Wire);
}

TEST_F(CliUsage, AnExceptionEndsAsAFailureWithItsReason) {
    // A command runner that throws stands for anything that throws while a
    // command runs (running out of memory, above all).
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    const int status =
        RunCliWith({"random", "--out", PathOf("r.thk")}, out, err,
                   [](const CliOptions&, CommandOutput&, std::FILE*) -> int { throw std::bad_alloc(); });
    EXPECT_EQ(status, 1);
    std::rewind(err);
    char text[200] = {};
    EXPECT_NE(std::fgets(text, sizeof text, err), nullptr);
    EXPECT_EQ(std::string(text), "morvaplot-cli: std::bad_alloc\n");
    std::fclose(out);
    std::fclose(err);
}

// The option table: each command's help names every option it takes, and
// the command takes exactly those (any other option is unknown to it).
TEST_F(CliUsage, EachCommandTakesAndNamesItsOptionsOnly) {
    const std::vector<std::string> grid = {"--pitch", "--radius", "--optimize", "--min-count", "--power"};
    const std::vector<std::string> fill = {"--order"};
    const std::vector<std::string> csv = {"--csv", "--x-col", "--y-col", "--z-col", "--units", "--wafer"};
    const std::vector<std::string> xyz = {"--xyz"};
    // Every option with a value every command that takes it accepts ("" for a flag).
    const std::map<std::string, std::string> values = {
        {"--xyz", ""},          {"--csv", ""},          {"--x-col", "x"},
        {"--y-col", "y"},       {"--z-col", "z"},       {"--units", "mm"},
        {"--wafer", "200"},     {"--pitch", "20"},      {"--radius", "80"},
        {"--optimize", ""},     {"--min-count", "1"},   {"--power", "3"},
        {"--order", "3"},       {"--data", "fill"},     {"--format", "csv"},
        {"--out", "o.png"},     {"--draw", "contour"},  {"--gradation", "g.dat"},
        {"--no-raw-range", ""}, {"--borders", "5"},     {"--copy-colormap", ""},
        {"--sites", ""},        {"--x", "1"},           {"--y", "1"},
        {"--px", "1"},          {"--py", "1"},          {"--px2", "1"},
        {"--py2", "1"},         {"--size", "10"},       {"--square", ""},
        {"--fdigit", "2"},      {"--copy", ""},         {"--edge", "1"},
        {"--center", "1,1"},    {"--profile", "x"},     {"--histogram", "10"},
        {"--json", ""},         {"--summary", "s.csv"}, {"--rate-time", "1"},
        {"--count", "10"},      {"--check", "10"},      {"--base", "1"},
        {"--width", "20"},      {"--seed", "1"},        {"--height", "20"},
        {"--x-angle", "1"},     {"--z-angle", "1"},     {"--ratio", "1"},
        {"--zoom", "1"},        {"--draw-pitch", "1"},  {"--wire", ""}};
    struct Case {
        std::vector<std::string> args;  // the command and its files
        std::vector<std::vector<std::string>> options;
    };
    const Case cases[] = {
        {{"stats", "f.thk"}, {xyz, csv}},
        {{"grid", "f.thk"}, {xyz, csv, grid}},
        {{"fill", "f.thk"}, {xyz, csv, grid, fill}},
        {{"table", "f.thk"}, {xyz, csv, grid, fill, {"--data", "--format"}}},
        {{"image", "f.thk"},
         {xyz,
          csv,
          grid,
          fill,
          {"--out", "--data", "--draw", "--gradation", "--no-raw-range", "--borders", "--copy-colormap",
           "--sites"}}},
        {{"analyze", "f.thk"},
         {xyz, csv, grid, fill, {"--data", "--edge", "--center", "--profile", "--histogram", "--json"}}},
        {{"diff", "a.thk", "b.thk"}, {xyz, csv, grid, fill, {"--out", "--rate-time"}}},
        {{"contours", "f.thk"}, {xyz, csv, grid, fill, {"--borders", "--no-raw-range"}}},
        {{"view3d", "f.thk"},
         {xyz,
          csv,
          grid,
          fill,
          {"--out", "--width", "--height", "--x-angle", "--z-angle", "--ratio", "--zoom", "--draw-pitch",
           "--wire"}}},
        {{"roi", "f.thk"},
         {xyz,
          csv,
          grid,
          fill,
          {"--x", "--y", "--px", "--py", "--size", "--square", "--fdigit", "--copy", "--px2", "--py2",
           "--data"}}},
        {{"random"}, {{"--out", "--size", "--count", "--check", "--base", "--width", "--seed"}}},
        {{"report", "f.thk"},
         {csv,
          grid,
          fill,
          {"--out", "--summary", "--data", "--edge", "--center", "--gradation", "--no-raw-range"}}},
    };
    const CliRun general = Run({"--help"});
    EXPECT_EQ(general.Status, 0);
    EXPECT_EQ(general.Err, "");
    for (const Case& c : cases) {
        const std::string& command = c.args[0];
        EXPECT_NE(general.Out.find("  " + command + " "), std::string::npos) << command;
        CliOptions options;
        const ParseResult help = ParseCommandLine({command, "--help"}, options);
        EXPECT_EQ(help.Status, ParseStatus::Help) << command;
        EXPECT_EQ(help.Text.rfind("Usage: morvaplot-cli " + command, 0), 0u);
        std::set<std::string> takes;
        for (const auto& group : c.options) {
            for (const std::string& option : group) {
                EXPECT_NE(help.Text.find(option), std::string::npos) << command << " " << option;
                takes.insert(option);
            }
        }
        for (const auto& [option, value] : values) {
            std::vector<std::string> args = c.args;
            args.push_back(value.empty() ? option : option + "=" + value);
            CliOptions parsed;
            const std::string first = FirstLine(ParseCommandLine(args, parsed).Text);
            const std::string unknown = "morvaplot-cli: unknown option '" + option + "' for " + command;
            if (takes.count(option) != 0)
                EXPECT_NE(first, unknown);
            else
                EXPECT_EQ(first, unknown);
        }
    }
}

}  // namespace
