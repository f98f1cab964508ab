#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/CliSamples.h"
#include "colour/ColorMap.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"

namespace {

constexpr Color Black = 0x000000;

QImage Blank() {
    return QImage(301, 301, QImage::Format_RGB32);
}

// Number of pixels that differ; the first difference is reported.
int DifferingPixels(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size()) return -1;
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < e.height(); ++y) {
        for (int x = 0; x < e.width(); ++x) {
            if (a.pixel(x, y) == e.pixel(x, y)) continue;
            if (differing++ == 0)
                ADD_FAILURE() << "first difference at " << x << "," << y << ": " << std::hex << a.pixel(x, y)
                              << " instead of " << e.pixel(x, y);
        }
    }
    return differing;
}

class CliImage : public CliTestBase {};

TEST_F(CliImage, MapsEqualTheWindowsPicturePixelForPixel) {
    // The spike makes the reader's Max 2000; the window's first redraw has
    // replaced it by the cells' maximum before Grid or Fill is drawn.
    const std::string file = Write("d.thk", DomeThk(100, 10, true));
    const GradationTable preset = ColormapPreset();
    GradationTable mono = preset;
    ApplyMonoPreset(mono);
    const std::string monoFile =
        Write("mono.dat",
              "ColorCount: 2\nColor01: 16777215\nColor02: 0\nColor03: 1\nColor04: 2\n"
              "Color05: 3\nColor06: 4\nColor07: 5\nColor08: 6\nColor09: 7\nColor10: 8\n");

    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::function<QImage(FlowRun&)> expected;
    };
    const auto rawRange = [](ThkData& r, const ThkData& raw) {
        r.Min = raw.Min;
        r.Max = raw.Max;
    };
    const Case cases[] = {
        {"raw colour map, start-up ramp",
         {},
         [&](FlowRun& w) {
             QImage img = Blank();
             DrawColorMap(img, w.Raw(), true, StartupRampSet, {}, Black, preset);
             return img;
         }},
        {"grid colour map on the cells' Raw range",
         {"--data", "grid"},
         [&](FlowRun& w) {
             rawRange(w.Grid(), w.Raw());
             QImage img = Blank();
             DrawColorMap(img, w.Grid(), true, StartupRampSet, {}, Black, preset);
             return img;
         }},
        {"fill colour map without Raw Range, gradation from a file",
         {"--data", "fill", "--no-raw-range", "--gradation", monoFile},
         [&](FlowRun& w) {
             RecalcStatistics(w.Fill());
             QImage img = Blank();
             DrawColorMap(img, w.Fill(), false, StartupRampSet, {}, Black, mono);
             return img;
         }},
        {"contour picture of Fill on black",
         {"--data", "fill", "--draw", "contour", "--borders", "9"},
         [&](FlowRun& w) {
             rawRange(w.Fill(), w.Raw());
             QImage img = Blank();
             PaintContourMap(img, w.Fill(), 9, false, true, Black, 0xFFFFFF, Black, {}, preset);
             return img;
         }},
        {"contour picture over the grey map",
         {"--data", "fill", "--draw", "contour", "--copy-colormap"},
         [&](FlowRun& w) {
             rawRange(w.Fill(), w.Raw());
             QImage img = Blank();
             PaintContourMap(img, w.Fill(), 5, true, true, Black, 0xFFFFFF, Black, {}, preset);
             return img;
         }},
        {"grid after a contour drawing: the colour bar's ramp as ever",
         {"--data", "grid", "--draw", "contour"},
         [&](FlowRun& w) {
             rawRange(w.Grid(), w.Raw());
             QImage img = Blank();
             DrawColorMap(img, w.Grid(), true, StartupRampSet, {}, Black, preset);
             return img;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FlowRun window(file);
        ASSERT_EQ(window.FillResult, 1);
        const QImage expected = c.expected(window);

        std::vector<std::string> args = {"image", file, "--out", PathOf("map.png")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = Run(args);
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
        const QImage actual(QString::fromStdString(PathOf("map.png")));
        ASSERT_FALSE(actual.isNull());
        EXPECT_EQ(DifferingPixels(actual, expected), 0);
    }
}

TEST_F(CliImage, FailedOutputOrGradationExitsOneAndWritesNothing) {
    const std::string file = Write("d.thk", DomeThk(100, 10, false));
    const std::string out = PathOf("map.png");

    const std::string absent = PathOf("absent.dat");
    CliRun run = Run({"image", file, "--out", out, "--gradation", absent});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "<LoadColorSetting> File open error.\n -> " + absent +
                           "\nmorvaplot-cli: no gradation loaded from " + absent + "\n");

    const std::string broken = Write("broken.dat", "ColorCount: 4\nColor01: 255\n");
    run = Run({"image", file, "--out", out, "--gradation", broken});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err,
              "'Color Setting'-No.2 read error.\nSet default color setting.\n"
              "morvaplot-cli: no gradation loaded from " +
                  broken + "\n");

    run = Run({"image", file, "--out", PathOf("no-such-dir/map.png")});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err.rfind("morvaplot-cli: cannot write " + PathOf("no-such-dir/map.png"), 0), 0u)
        << run.Err;

    // A failed fill leaves an existing picture as it was.
    const std::string previous = Write("keep.png", "not replaced");
    run = Run({"image", file, "--out", previous, "--data", "fill", "--pitch", "40"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(Slurp(previous), "not replaced");
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
