#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "colour/ScaleLabels.h"
#include "support/RecordFactory.h"

namespace {

struct RampCase {
    const char* set;
    float position;
    int red, green, blue;
};

TEST(ColorScale, RampColoursOfBothSets) {
    const RampCase cases[] = {
        {"startup", 0.0f, 85, 0, 255},
        {"startup", 0.25f, 0, 212, 255},
        {"startup", 0.5f, 0, 255, 0},
        {"startup", 0.75f, 255, 212, 0},
        // 340 degrees: 85 only when 1/60 and q are taken in double.
        {"startup", 1.0f, 255, 0, 85},
        {"drawing", 0.0f, 68, 0, 204},
        {"drawing", 0.5f, 0, 229, 0},
    };
    for (const RampCase& c : cases) {
        const RampParameters& set = std::string(c.set) == "drawing" ? DrawingRampSet : StartupRampSet;
        EXPECT_EQ(GetRampColor(c.position, set), MakeColor(c.red, c.green, c.blue))
            << c.set << " at " << c.position;
        const std::array<float, 3> rgb = GetScaleColorRGB(true, set, 0, 0, c.position);
        EXPECT_FLOAT_EQ(rgb[0], c.red / 255.0f);
        EXPECT_FLOAT_EQ(rgb[1], c.green / 255.0f);
        EXPECT_FLOAT_EQ(rgb[2], c.blue / 255.0f);
    }
}

TEST(ColorScale, RampHueIsWholeDegrees) {
    // Hues 100.2 and 100.9 both truncate to 100 degrees.
    EXPECT_EQ(GetRampColor(1.0f - 120.2f / 280.0f, StartupRampSet),
              GetRampColor(1.0f - 120.9f / 280.0f, StartupRampSet));
    std::set<Color> distinct;
    for (int i = 0; i <= 10000; ++i)
        distinct.insert(GetRampColor(i / 10000.0f, StartupRampSet));
    EXPECT_LE(distinct.size(), 360u);
}

TEST(ColorScale, RampFarOutsideTheRangeEnds) {
    // Adding 360 to -2.8e11 in float changes nothing: a plain loop never ends.
    for (float position : {1.0e9f, -1.0e9f})
        for (float channel : GetScaleColorRGB(true, StartupRampSet, 0, 0, position)) {
            EXPECT_GE(channel, 0.0f);
            EXPECT_LE(channel, 1.0f);
        }
    // Below zero the hue wraps by whole turns: 2.5 gives -440, that is 280
    // degrees, like a position giving 280.5 directly (saturation held fixed).
    const RampParameters fixedShade{-20.0f, 280.0f, 1.0f, 0.0f, 1.0f, 0.0f};
    EXPECT_EQ(GetRampColor(2.5f, fixedShade),
              GetRampColor(static_cast<float>(1.0 - 300.5 / 280.0), fixedShade));
}

TEST(ColorScale, BlendTruncatesTowardTheFirstColour) {
    EXPECT_EQ(BlendColor(0xFFFFFF, 0x000000, 1.0, 0.0, 0.25), 0xC0C0C0u);
    EXPECT_EQ(BlendColor(0xFFFFFF, 0x000000, 1.0, 0.0, 0.5), 0x808080u);
    EXPECT_EQ(BlendColor(0x000000, 0xFFFFFF, 1.0, 0.0, 0.5), 0x7F7F7Fu);
    // Upper bound first; channels move independently.
    EXPECT_EQ(BlendColor(MakeColor(10, 200, 0), MakeColor(20, 100, 255), 30.0, 10.0, 20.0),
              MakeColor(15, 150, 127));
    EXPECT_FLOAT_EQ(
        GetScaleColorRGB(false, StartupRampSet, MakeColor(10, 200, 0), MakeColor(20, 100, 255), 0.5f)[1],
        150 / 255.0f);
    EXPECT_EQ(GetScaleColor(false, StartupRampSet, 0x000000, 0xFFFFFF, 0.25f), 0x3F3F3Fu);
    EXPECT_EQ(GetScaleColorRGB(false, StartupRampSet, 0x0000FF, 0x0000FF, 1.0f),
              (std::array<float, 3>{1, 0, 0}));
}

TEST(ColorScale, BlendOutsideItsBoundsStaysInEachChannel) {
    // Unclamped, 2.0 would add 510 to every channel and carry into the next.
    EXPECT_EQ(BlendColor(0x000000, 0xFFFFFF, 1.0, 0.0, 2.0), 0xFFFFFFu);
    EXPECT_EQ(BlendColor(0x000000, 0xFFFFFF, 1.0, 0.0, -1.0), 0x000000u);
    EXPECT_EQ(BlendColor(0x000000, 0x808080, 1.0, 0.0, 1.5), 0xC0C0C0u);
}

TEST(ColorScale, GradationAlongTheColormapPreset) {
    GradationTable table = ColormapPreset();
    const auto& colors = table.Colors;
    EXPECT_EQ(GetGradationColor(table, 0.0f), 0x0000FFu);
    EXPECT_EQ(GetGradationColor(table, 1.0f / 12.0f), MakeColor(255, 64, 32));
    EXPECT_EQ(GetGradationColor(table, 0.5f), 0x00FF00u);
    EXPECT_EQ(GetGradationColor(table, 1.0f), 0xFF0080u);
    for (size_t i = 0; i <= 6; ++i)
        EXPECT_EQ(GetGradationColor(table, static_cast<float>(i / 6.0)), colors[i]) << i;
    EXPECT_EQ(GetGradationColor(table, -0.5f), colors[0]);
    EXPECT_EQ(GetGradationColor(table, 1.5f), colors[6]);
    // The count decides the span: the bottom colour is the last one in use,
    // and a damaged count stays inside the ten entries.
    table.Count = 3;
    EXPECT_EQ(GetGradationColor(table, 1.0f), colors[2]);
    EXPECT_EQ(GetGradationColor(table, 0.5f), colors[1]);
    table.Count = 99;
    EXPECT_EQ(GetGradationColor(table, 1.0f), colors[9]);
    table.Count = 1;
    EXPECT_EQ(GetGradationColor(table, 0.7f), colors[0]);
}

TEST(ColorScale, Presets) {
    GradationTable table = ColormapPreset();
    EXPECT_EQ(table.Count, 7);
    const std::array<Color, 10> decimal = {255,      4227327,  65535,    65280,    16776960,
                                           16711680, 16711808, 16744703, 16777215, 0};
    EXPECT_EQ(table.Colors, decimal);
    ApplyMonoPreset(table);
    EXPECT_EQ(table.Count, 2);
    EXPECT_EQ(table.Colors[0], 0xFFFFFFu);
    EXPECT_EQ(table.Colors[1], 0x000000u);
    for (int i = 2; i < 10; ++i)
        EXPECT_EQ(table.Colors[i], decimal[i]);
}

TEST(ColorScale, ScalePosition) {
    EXPECT_EQ(ScalePosition(7.0, 3.0, 3.0), 0.5);
    EXPECT_EQ(ScalePosition(2.0, 3.0, 5.0), 0.0);
    EXPECT_EQ(ScalePosition(9.0, 3.0, 5.0), 1.0);
    EXPECT_EQ(ScalePosition(3.5, 3.0, 5.0), 0.25);
}

TEST(ColorScale, ColourBarRows) {
    QImage bar(9, 265, QImage::Format_RGB32);
    DrawColorBar(bar, true, StartupRampSet, ColormapPreset());
    ASSERT_EQ(bar.size(), QSize(9, 265));
    auto pixel = [&](int x, int y) { return ArgbToColor(bar.pixel(x, y)); };
    EXPECT_EQ(pixel(0, 0), MakeColor(255, 0, 85));
    EXPECT_EQ(pixel(4, 264), GetRampColor(1.0f / 265.0f, StartupRampSet));
    EXPECT_EQ(pixel(8, 132), GetRampColor(static_cast<float>(133.0 / 265.0), StartupRampSet));
    for (int y = 0; y < 265; ++y)
        for (int x = 1; x < 9; ++x)
            ASSERT_EQ(bar.pixel(x, y), bar.pixel(0, y)) << y;

    QImage drawing(9, 265, QImage::Format_RGB32);
    DrawColorBar(drawing, true, DrawingRampSet, ColormapPreset());
    EXPECT_EQ(ArgbToColor(drawing.pixel(0, 0)), GetRampColor(1.0f, DrawingRampSet));

    const GradationTable table = ColormapPreset();
    DrawColorBar(bar, false, StartupRampSet, table);
    EXPECT_EQ(pixel(0, 0), 0x0000FFu);  // entry 1 at the top
    EXPECT_EQ(pixel(0, 264), GetGradationColor(table, static_cast<float>(1.0 - 1.0f / 265.0f)));
}

TEST(ScaleLabelTexts, Formats) {
    auto record = NewRecord(10);
    ScaleLabelTexts texts = ScaleLabels(*record);
    for (const std::string& s : texts.Range)
        EXPECT_EQ(s, "---.---");
    EXPECT_EQ(texts.Mean, "---.---");
    for (const std::string& s : ContourScaleLabels(*record))
        EXPECT_EQ(s, "---.---");

    record->Valid = true;
    record->Min = 1234.5678;
    record->Max = 123456.789;
    record->Mean = 101.23456;
    texts = ScaleLabels(*record);
    EXPECT_EQ(texts.Range[0], "1234.568");
    EXPECT_EQ(texts.Range[4], "123456.800");
    EXPECT_EQ(texts.Mean, "101.235");

    record->Min = 100.0;
    record->Max = 200.0;
    EXPECT_EQ(ScaleLabels(*record).Range,
              (std::array<std::string, 5>{"100.000", "125.000", "150.000", "175.000", "200.000"}));
    record->Divisor = 8.0;
    EXPECT_EQ(ContourScaleLabels(*record),
              (std::array<std::string, 5>{"12.500", "15.625", "18.750", "21.875", "25.000"}));
    record->Divisor = 0.0;
    record->Min = record->Max = 1234.5678;
    EXPECT_EQ(ContourScaleLabels(*record)[2], "1234.600");
}

}  // namespace
