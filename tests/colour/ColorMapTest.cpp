#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <vector>

#include "colour/ColorMap.h"
#include "colour/ColorScale.h"
#include "support/RecordFactory.h"

namespace {

constexpr Color Blue = 0xFF0000;

class ColorMap : public ::testing::Test {
protected:
    void SetUp() override { InitColorScale(5); }
    void TearDown() override { InitColorScale(5); }

    QImage Draw(const ThkData& record, bool useRamp = true, DisplayCondition condition = {}) {
        QImage image(301, 301, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        DrawColorMap(image, record, useRamp, condition, Blue, Table);
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
        index[GetRampColor(static_cast<float>(ScalePosition(i, 0, size)))] = i;
    EXPECT_EQ(index.size(), static_cast<size_t>(size + 1)) << "colours must identify indexes";

    QImage image(301, 301, QImage::Format_RGB32);
    DrawColorMap(image, *record, true, {}, Blue, ColormapPreset());
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

}  // namespace
