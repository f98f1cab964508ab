#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "PlainColorMap.h"
#include "TwinRecords.h"
#include "colour/ColorMap.h"
#include "colour/ColorScale.h"
#include "support/RecordFactory.h"

namespace {

constexpr Color Blue = 0xFF0000;

class ColorMap : public ::testing::Test {
protected:
    QImage Draw(const ThkData& record, bool useRamp = true, DisplayCondition condition = {}) {
        QImage image(301, 301, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        DrawColorMap(image, record, useRamp, StartupRampSet, condition, Blue, Table);
        return image;
    }
    static Color At(const QImage& image, int x, int y) { return ArgbToColor(image.pixel(x, y)); }

    GradationTable Table = ColormapPreset();
};

// Grid index shown by each pixel along one axis, read back through the
// colours of a record whose value is the index itself (0..Size on the ramp,
// one distinct hue per index).
std::vector<int> ShownIndexes(int size, bool alongX) {
    auto record = NewRecord(size);
    record->Valid = true;
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y)
            record->Value[x][y] = alongX ? x : y;
    record->Min = 0;
    record->Max = size;
    std::map<Color, int> index;
    for (int i = 0; i <= size; ++i)
        index[GetRampColor(static_cast<float>(ScalePosition(i, 0, size)), StartupRampSet)] = i;
    EXPECT_EQ(index.size(), static_cast<size_t>(size + 1)) << "colours must identify indexes";

    QImage image(301, 301, QImage::Format_RGB32);
    DrawColorMap(image, *record, true, StartupRampSet, {}, Blue, ColormapPreset());
    std::vector<int> shown;
    for (int p = 0; p < 301; ++p)
        shown.push_back(index.at(ArgbToColor(alongX ? image.pixel(p, 150) : image.pixel(150, p))));
    return shown;
}

TEST_F(ColorMap, Size100CoversThreePixelsPerCellTwoCellsTwo) {
    for (bool alongX : {true, false}) {
        const std::vector<int> shown = ShownIndexes(100, alongX);
        std::map<int, int> pixels;  // index -> pixel count
        for (size_t p = 0; p < shown.size(); ++p) {
            ++pixels[shown[p]];
            if (p > 0) {
                const int step = shown[p] - shown[p - 1];
                ASSERT_TRUE(step == 0 || step == 1) << "cells in order, none skipped: " << p;
            }
        }
        ASSERT_EQ(pixels.size(), 101u);
        std::vector<int> twoPixelCells;
        for (auto [index, count] : pixels) {
            EXPECT_TRUE(count == 3 || count == 2) << index;
            if (count == 2) twoPixelCells.push_back(index);
        }
        // Cell 50 shows on pixels 150-151 only, cell 100 on 299-300.
        EXPECT_EQ(twoPixelCells, (std::vector<int>{50, 100}));
        EXPECT_EQ(shown.front(), 0);
        EXPECT_EQ(shown.back(), 100);
    }
}

TEST_F(ColorMap, PixelScaleIsHeldInSinglePrecision) {
    // (Size + 1) / 301 rounded to float is a little below the exact scale, so
    // where pixel * scale is a whole number in exact arithmetic the pixel
    // still shows the cell before it: at Size 6, cell 0 covers pixels 0..43.
    const std::vector<int> shown = ShownIndexes(6, true);
    struct Case {
        int pixel, cell;
    };
    const Case cases[] = {{42, 0}, {43, 0}, {44, 1}, {86, 1}, {87, 2}, {258, 5}, {259, 6}, {300, 6}};
    for (const Case& c : cases)
        EXPECT_EQ(shown[static_cast<size_t>(c.pixel)], c.cell) << "pixel " << c.pixel;
}

TEST_F(ColorMap, Size500NeverShowsIndex500) {
    auto record = NewRecord(500);
    record->Valid = true;
    for (int i = 0; i <= 500; ++i)
        record->Value[500][i] = record->Value[i][500] = 1.0;
    record->Min = 0.0;
    record->Max = 2.0;
    QImage image = Draw(*record);
    for (int y = 0; y < 301; ++y)
        for (int x = 0; x < 301; ++x)
            ASSERT_EQ(At(image, x, y), Blue) << x << "," << y;

    // Column 499 is shown by the last pixel column only (300 * 501/301 = 499.3).
    for (int i = 0; i <= 500; ++i)
        record->Value[499][i] = 1.0;
    image = Draw(*record);
    for (int x = 0; x < 301; ++x)
        EXPECT_EQ(At(image, x, 0) != Blue, x == 300) << x;
}

TEST_F(ColorMap, EmptyCellsTakeTheBackColourAndTheBitmapIsReplaced) {
    auto record = NewRecord(10);
    record->Valid = true;
    record->Value[0][0] = 5.0;
    RecalcStatistics(*record);
    const QImage image = Draw(*record);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(At(image, 0, 0), 0x00FF00u);  // Min = Max: the middle of the ramp
    EXPECT_EQ(At(image, 27, 27), 0x00FF00u);
    EXPECT_EQ(At(image, 28, 0), Blue);  // cell 1 starts at 301 / 11 = 27.4
    EXPECT_EQ(At(image, 300, 300), Blue);

    const QImage gradation = Draw(*record, false);
    EXPECT_EQ(At(gradation, 0, 0), 0x00FF00u);  // the middle of the Colormap preset
    Table.Count = 2;
    Table.Colors = {0xFFFFFF, 0x000000};
    EXPECT_EQ(At(Draw(*record, false), 0, 0), 0x808080u);
}

TEST_F(ColorMap, ValuesOutsideTheRangeTakeTheEndColours) {
    auto record = NewRecord(1);
    record->Valid = true;
    record->Value[0][0] = -3.0;  // below Min
    record->Value[1][0] = 12.0;  // above Max
    record->Value[0][1] = 5.0;
    record->Min = 0.0;
    record->Max = 10.0;
    const QImage ramp = Draw(*record);
    EXPECT_EQ(At(ramp, 0, 0), MakeColor(85, 0, 255));
    EXPECT_EQ(At(ramp, 300, 0), MakeColor(255, 0, 85));
    const QImage gradation = Draw(*record, false);
    EXPECT_EQ(At(gradation, 0, 0), Table.Colors[6]);  // the bottom entry
    EXPECT_EQ(At(gradation, 300, 0), Table.Colors[0]);
    EXPECT_EQ(At(gradation, 0, 300), 0x00FF00u);
}

TEST_F(ColorMap, EnabledConditionDividesByTheDivisor) {
    auto record = NewRecord(1);
    record->Valid = true;
    record->Value[0][0] = 2.0;
    record->Value[1][0] = 6.0;
    record->Value[0][1] = 4.0;
    record->Min = 2.0;
    record->Max = 6.0;
    record->Divisor = 2.0;
    // Shown values 1, 3 and 2 on the range 1..3; "greater than 1.5" hides the 1.
    const QImage image = Draw(*record, true, {true, ConditionMode::Above, 1.5, 0.0});
    EXPECT_EQ(At(image, 0, 0), Blue);
    EXPECT_EQ(At(image, 300, 0), MakeColor(255, 0, 85));
    EXPECT_EQ(At(image, 0, 300), 0x00FF00u);
}

struct TwinRamp {
    const char* label;
    RampParameters ramp;
};

// The shipped sets, shades that change with the position, hues past one turn
// either way and parameters no control produces.
std::vector<TwinRamp> TwinRamps() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    return {
        {"start-up", StartupRampSet},
        {"drawing", DrawingRampSet},
        {"fixed shade, full turn", {0.0f, 360.0f, 0.6f, 0.0f, 0.7f, 0.0f}},
        {"fixed shade, hues -700..1000", {-700.0f, 1700.0f, 1.0f, 0.0f, 1.0f, 0.0f}},
        {"saturation falls", {-20.0f, 280.0f, 1.0f, -1.0f, 1.0f, 0.0f}},
        {"value clamped both ends", {-20.0f, 280.0f, 1.0f, 0.0f, 2.0f, -3.0f}},
        {"negative zero shade", {10.0f, 100.0f, -0.0f, 0.0f, -0.0f, 0.0f}},
        {"tiny slope", {-20.0f, 280.0f, 0.5f, 1e-30f, 0.5f, -1e-30f}},
        {"huge span", {1e30f, -3e30f, 1.0f, 1.0f, 1.0f, 0.0f}},
        {"NaN hue", {nan, 280.0f, 1.0f, 1.0f, 1.0f, 0.0f}},
        {"infinite slope", {-20.0f, 280.0f, 1.0f, inf, 1.0f, 0.0f}},
        {"NaN value", {-20.0f, 280.0f, 1.0f, 1.0f, nan, 0.0f}},
    };
}

struct TwinTable {
    const char* label;
    GradationTable table;
};

std::vector<TwinTable> TwinTables() {
    GradationTable mono = ColormapPreset();
    ApplyMonoPreset(mono);
    GradationTable ten;
    ten.Count = 10;
    ten.Colors = {0x000000, 0xFFFFFF, 0x123456, 0xFEDCBA, 0x00FF00,
                  0x808080, 0x0000FF, 0xFF00FF, 0x010203, 0xFFFEFD};
    std::vector<TwinTable> tables = {
        {"colormap preset, count 7", ColormapPreset()}, {"mono, count 2", mono}, {"count 10", ten}};
    for (int count : {0, 1, -5, 11, 99}) {
        GradationTable damaged = ten;
        damaged.Count = count;
        tables.push_back({count == 0   ? "count 0"
                          : count == 1 ? "count 1"
                          : count < 0  ? "count -5"
                                       : "count 11+",
                          damaged});
    }
    return tables;
}

TEST_F(ColorMap, PalettesGiveThePlainColoursAtEveryPosition) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> around(-0.25f, 1.25f);
    std::vector<float> positions = {0.0f,
                                    -0.0f,
                                    1.0f,
                                    0.5f,
                                    1e-30f,
                                    -1e-30f,
                                    1.0f - 1e-7f,
                                    1.0f + 1e-7f,
                                    1e9f,
                                    -1e9f,
                                    3.0f,
                                    -2.5f,
                                    std::numeric_limits<float>::quiet_NaN(),
                                    std::numeric_limits<float>::infinity(),
                                    -std::numeric_limits<float>::infinity()};
    for (int i = 0; i <= 2000; ++i)
        positions.push_back(i / 2000.0f);
    for (int i = 0; i < 20000; ++i)
        positions.push_back(i % 2 ? around(random)
                                  : std::uniform_real_distribution<float>(0.0f, 1.0f)(random));

    // The palettes see positions as values on the scale 0..1 (clamped there;
    // NaN has no data and takes the back colour).
    std::vector<double> values(positions.begin(), positions.end());
    std::vector<std::uint32_t> pixels(values.size());
    constexpr std::uint32_t back = 0xFF123456u;
    auto expectedPixel = [&](size_t i, auto colourAt) {
        if (!HasData(values[i])) return back;
        return static_cast<std::uint32_t>(
            ColorToArgb(colourAt(static_cast<float>(ScalePosition(values[i], 0.0, 1.0)))));
    };
    for (const TwinRamp& r : TwinRamps()) {
        for (float x : positions)
            ASSERT_EQ(GetRampColor(x, r.ramp), plain::GetRampColor(x, r.ramp)) << r.label << " at " << x;
        RampPalette(r.ramp).PaintValues(values.data(), static_cast<int>(values.size()), 0.0, 1.0, back,
                                        pixels.data());
        for (size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(pixels[i], expectedPixel(i, [&](float x) { return plain::GetRampColor(x, r.ramp); }))
                << r.label << " at " << values[i];
    }
    for (const TwinTable& t : TwinTables()) {
        for (float x : positions)
            ASSERT_EQ(GetGradationColor(t.table, x), plain::GetGradationColor(t.table, x))
                << t.label << " at " << x;
        GradationPalette(t.table).PaintValues(values.data(), static_cast<int>(values.size()), 0.0, 1.0, back,
                                              pixels.data());
        for (size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(pixels[i], expectedPixel(i,
                                               [&](float x) {
                                                   return plain::GetGradationColor(
                                                       t.table, static_cast<float>(1.0 - x));
                                               }))
                << t.label << " at " << values[i];
    }
}

TEST_F(ColorMap, DrawnLikeThePlainPixelLoop) {
    const std::vector<TwinRecord> records = TwinRecords();
    struct Condition {
        const char* label;
        DisplayCondition condition;
        double divisor;
    };
    const Condition conditions[] = {
        {"no condition", {}, 1.0},
        {"above 1000, divisor 2", {true, ConditionMode::Above, 500.0, 0.0}, 2.0},
        {"inside, divisor 0", {true, ConditionMode::Inside, 995.0, 1005.0}, 0.0},
        {"within, low above high", {true, ConditionMode::Within, 5.0, 1.0}, 1.0},
    };
    struct Size {
        int width, height;
    };
    const Size sizes[] = {{301, 301}, {45, 7}, {1, 1}, {600, 3}};
    const std::vector<TwinRamp> ramps = TwinRamps();
    const std::vector<TwinTable> tables = TwinTables();

    auto compare = [&](const std::string& label, ThkData& record, Size size, bool useRamp,
                       const RampParameters& ramp, const DisplayCondition& condition,
                       const GradationTable& table) {
        const QImage expected =
            plain::DrawColorMap(size.width, size.height, record, useRamp, ramp, condition, Blue, table);
        QImage image(size.width, size.height, QImage::Format_RGB32);
        DrawColorMap(image, record, useRamp, ramp, condition, Blue, table);
        ASSERT_EQ(image.format(), QImage::Format_RGB32) << label;
        ASSERT_EQ(image.size(), expected.size()) << label;
        for (int y = 0; y < size.height; ++y)
            ASSERT_EQ(std::memcmp(image.constScanLine(y), expected.constScanLine(y), size_t(size.width) * 4),
                      0)
                << label << ", row " << y;
    };
    for (const TwinRecord& r : records)
        for (const Condition& c : conditions) {
            r.record->Divisor = c.divisor;
            for (const Size& size : sizes) {
                const std::string at = r.label + ", " + c.label + ", " + std::to_string(size.width) + "x" +
                                       std::to_string(size.height) + ", ";
                // Every ramp set and table on the full picture without a
                // condition; the shipped set and the preset otherwise.
                const bool all = size.width == 301 && !c.condition.Enabled;
                for (size_t i = 0; i < (all ? ramps.size() : 1); ++i)
                    compare(at + ramps[i].label, *r.record, size, true, ramps[i].ramp, c.condition, {});
                for (size_t i = 0; i < (all ? tables.size() : 1); ++i)
                    compare(at + tables[i].label, *r.record, size, false, StartupRampSet, c.condition,
                            tables[i].table);
            }
            r.record->Divisor = 1.0;
        }
}

}  // namespace
