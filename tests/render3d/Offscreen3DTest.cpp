#include <gtest/gtest.h>

#include <QImage>

#include "render3d/GlRequirement.h"
#include "render3d/Offscreen3D.h"
#include "support/RecordFactory.h"

namespace {

std::unique_ptr<ThkData> Tilted(int n) {
    auto record = NewRecord(n, 1, 1);
    record->Valid = true;
    for (int x = 0; x <= n; ++x)
        for (int y = 0; y <= n; ++y)
            record->Value[x][y] = 1000.0 + x;
    RecalcStatistics(*record);
    return record;
}

TEST(Offscreen3D, TheViewportLeavesOnePixelOnEverySide) {
    SKIP_OR_FAIL_WITHOUT_GL();
    // Looking straight down at a level surface ten times enlarged: it fills
    // the whole viewport.
    const auto record = Tilted(100);
    View3DOptions options;
    options.XAngleTenths = 900;
    options.RatioTenths = 0;
    options.Zoom = 1000;
    options.BackColor = 0x403020;
    const QImage picture = RenderView3DImage(*record, options, 60, 40);
    ASSERT_EQ(picture.size(), QSize(60, 40));
    const QRgb back = qRgb(0x20, 0x30, 0x40);
    for (int x = 1; x < 59; ++x) {
        EXPECT_EQ(picture.pixel(x, 0), back) << x;
        EXPECT_EQ(picture.pixel(x, 39), back) << x;
        EXPECT_NE(picture.pixel(x, 1), back) << x;
    }
    for (int y = 1; y < 39; ++y) {
        EXPECT_EQ(picture.pixel(0, y), back) << y;
        EXPECT_EQ(picture.pixel(59, y), back) << y;
        EXPECT_NE(picture.pixel(58, y), back) << y;
    }
    // Equal options give equal pictures.
    EXPECT_EQ(RenderView3DImage(*record, options, 60, 40), picture);
}

}  // namespace
