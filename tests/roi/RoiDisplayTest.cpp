#include <gtest/gtest.h>

#include "roi/RoiDisplay.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

using Messages = std::vector<std::string>;

TEST(RoiDisplay, CopyAndLabelCentresDifferByOneAtExactBoundaries) {
    struct Case {
        int size, pixel, copy, display;
    };
    const Case cases[] = {
        {105, 43, 15, 14},     // 43 * 105 / 301 is exactly 15; the float product is 14.999999
        {350, 215, 250, 249},  // exactly 250
        {500, 300, 498, 498},  // 498.34: no boundary, both agree
        {301, 300, 300, 300},  // one unit per pixel
        {500, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoiCopyIndex(c.pixel, c.size, 301), c.copy) << c.size << " " << c.pixel;
        EXPECT_EQ(RoiDisplayIndex(c.pixel, c.size, 301), c.display) << c.size << " " << c.pixel;
    }

    MessageRecorder recorder;
    std::array<RoiPlacement, 2> p;
    const std::array<RoiShape, 2> types{RoiShape::Circle, RoiShape::Square};
    ASSERT_TRUE(CollectRoiPlacements({false, true}, {9, 43}, {9, 215}, types, {10, 7}, {2, 4}, 105, 301, 301,
                                     p, recorder));
    EXPECT_EQ(p[0], (RoiPlacement{false, RoiShape::Circle, 10, 0, 0, 2}));
    EXPECT_EQ(p[1], (RoiPlacement{true, RoiShape::Square, 7, 15, 75, 4}));
    EXPECT_FALSE(CollectRoiPlacements({false, false}, {9, 43}, {9, 215}, types, {10, 7}, {2, 4}, 105, 301,
                                      301, p, recorder));
    EXPECT_EQ(recorder.Messages, Messages{"ROI area not selected!"});
}

TEST(RoiDisplay, OutlineAndLabelsStayBesideTheRoiAndInsideTheImage) {
    // Size 301: one unit per pixel, so the pixel radius is the ROI size; at
    // Size 500 a size-10 ROI is 6.02 pixels wide. Labels 60 (Max) and 70
    // (Mean) pixels wide.
    struct Input {
        int x, y, size, recordSize, labelHeight;
    };
    struct Case {
        const char* what;
        Input in;
        RoiLayout expected;
    };
    const Case cases[] = {
        {"right of the ROI",
         {150, 150, 10, 301, 14},
         {{142, 142, 21, 21}, {170, 131}, {170, 145}, {170, 159}}},
        {"left near the right edge",
         {250, 150, 10, 301, 14},
         {{242, 142, 21, 21}, {164, 131}, {164, 145}, {164, 159}}},
        {"Y = 0: Min at panel row 4",
         {150, 0, 10, 301, 14},
         {{142, -8, 21, 21}, {170, 4}, {170, 18}, {170, 32}}},
        {"up to the bottom edge",
         {150, 300, 10, 301, 14},
         {{142, 292, 21, 21}, {170, 261}, {170, 275}, {170, 289}}},
        {"odd label height",
         {150, 150, 10, 301, 15},
         {{142, 142, 21, 21}, {170, 129}, {170, 145}, {170, 159}}},
        {"float radius, cut toward zero",
         {3, 150, 10, 500, 14},
         {{-1, 145, 13, 13}, {19, 131}, {19, 145}, {19, 159}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayoutRoi(c.in.x, c.in.y, c.in.size, c.in.recordSize, 301, 301, 60, 70, c.in.labelHeight),
                  c.expected)
            << c.what;
}

TEST(RoiDisplay, LabelCaptionsFollowTheDigitsAndShowDashesWhenEmpty) {
    const RoiStats stats{11.5, 1043.60852, -0.25};
    const RoiLabelTexts zero = RoiLabelCaptions(5, stats, 0);
    EXPECT_EQ(zero.Min, "Min: 12");
    EXPECT_EQ(zero.Max, "Max: 1044");
    EXPECT_EQ(zero.Mean, "Mean: 0");
    const RoiLabelTexts five = RoiLabelCaptions(5, stats, 5);
    EXPECT_EQ(five.Min, "Min: 11.50000");
    EXPECT_EQ(five.Max, "Max: 1043.60900");  // 7 significant digits
    EXPECT_EQ(five.Mean, "Mean: -0.25000");
    const RoiLabelTexts none = RoiLabelCaptions(0, stats, 2);
    EXPECT_EQ(none.Min, "Min: -----");
    EXPECT_EQ(none.Max, "Max: -----");
    EXPECT_EQ(none.Mean, "Mean: -----");
}

TEST(RoiDisplay, CopyRoiTextByteForByte) {
    auto fill = NewRecord(100, 1, 1);
    fill->Valid = true;
    fill->Name = "film";
    fill->Divisor = 2.0;
    fill->Value[10][10] = 100.0;
    fill->Value[11][10] = 102.5;
    fill->Value[10][11] = 101.0;
    std::array<RoiPlacement, 2> p{RoiPlacement{true, RoiShape::Square, 1, 10, 10, 2},
                                  RoiPlacement{true, RoiShape::Circle, 3, 50, 50, 2}};
    EXPECT_EQ(BuildRoiText(p, "\t", *fill, MessageRecorder()),
              "\t\tfilm\t\n"
              "ROI1\tMin\t50.00\t\nROI1\tMax\t51.25\t\nROI1\tMean\t50.58\t\n"
              "ROI2\tMin\t---.--\t\nROI2\tMax\t---.--\t\nROI2\tMean\t---.--\t\n");

    // One ROI, Divisor 0 read as 1, no decimals, the first character of a
    // longer separator between cells.
    fill->Divisor = 0.0;
    p[0].Shown = false;
    p[1] = RoiPlacement{true, RoiShape::Square, 1, 11, 11, 0};
    EXPECT_EQ(BuildRoiText(p, ";|", *fill, MessageRecorder()),
              ";|;|film;|\nROI2;Min;100;\nROI2;Max;102;\nROI2;Mean;101;\n");

    // Without Fill data only the names are written.
    fill->Valid = false;
    EXPECT_EQ(BuildRoiText(p, "\t", *fill, MessageRecorder()),
              "\t\t\nROI2\tMin\t\nROI2\tMax\t\nROI2\tMean\t\n");

    MessageRecorder recorder;
    p[1].Shown = false;
    EXPECT_EQ(BuildRoiText(p, "\t", *fill, recorder), "");
    EXPECT_EQ(recorder.Messages, Messages{"ROI area(s) are not selected."});
}

TEST(RoiDisplay, PointerReadOutScalesBySizePlusOneAndClamps) {
    const auto [x0, y300] = PixelToData(301, 301, 0, 300, 500);
    EXPECT_EQ(x0, 0.0f);
    EXPECT_FLOAT_EQ(y300, 499.33554f);  // coordinate 500 is never reached
    EXPECT_EQ(PixelToData(301, 301, -5, 300, 100), std::make_pair(0.0f, 100.0f));  // 100.66 clamped

    auto r = NewRecord(500, 1, 1);
    r->Value[0][499] = 123.4564;
    r->Value[499][499] = 1.0;
    EXPECT_EQ(CursorReadout(*r, 301, 301, 0, 300).Data, "---.---");  // not Valid
    EXPECT_EQ(CursorReadout(*r, 301, 301, 0, 300).X, "---");
    r->Valid = true;
    const CursorTexts t = CursorReadout(*r, 301, 301, 0, 300);
    EXPECT_EQ(t.X, "0");
    EXPECT_EQ(t.Y, "499");
    EXPECT_EQ(t.Data, "123.456");
    EXPECT_EQ(CursorReadout(*r, 301, 301, 150, 150).Data, "---.---");
}

}  // namespace
