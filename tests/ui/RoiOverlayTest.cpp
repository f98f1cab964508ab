#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "ui/RoiOverlay.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/ImageBox.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

// The map panel as the main window builds it: a 301 x 301 image at (2, 2),
// the overlay created after it.
class RoiOverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel_.setGeometry(0, 0, 305, 305);
        image_ = new ImageBox(301, 301, &panel_);
        image_->move(2, 2);
        overlay_ = new RoiOverlay(&panel_, image_);
        record_ = std::make_unique<ThkData>();
        ClearThkData(record_.get(), 1);
        record_->Size = 301;  // one unit per pixel
        record_->Valid = true;
        for (int x = 140; x <= 160; ++x)
            for (int y = 140; y <= 160; ++y)
                record_->Value[x][y] = 1000.0 + x;
    }

    QFrame panel_;
    ImageBox* image_ = nullptr;
    RoiOverlay* overlay_ = nullptr;
    std::unique_ptr<ThkData> record_;
    ViewSettings settings_;
};

TEST_F(RoiOverlayTest, MeasuresAndLaysOutTheRealLabels) {
    EXPECT_EQ(overlay_->Lbl_ROI_Min_1->text(), "Min:  ---.--");
    EXPECT_EQ(overlay_->Lbl_ROI_Mean_2->text(), "Mean: ---.--");
    overlay_->PlaceRoi(0, 150, 290);
    // No record: the captions say so (nothing stale stays), the place stays.
    const QPoint before = overlay_->Lbl_ROI_Min_1->pos();
    overlay_->UpdateRoiDisplay(0, nullptr, settings_);
    EXPECT_EQ(overlay_->Lbl_ROI_Min_1->text(), "Min: -----");
    EXPECT_EQ(overlay_->Lbl_ROI_Mean_1->text(), "Mean: -----");
    EXPECT_EQ(overlay_->Lbl_ROI_Min_1->pos(), before);

    settings_.RoiSize[0] = 2;
    settings_.RoiType[0] = RoiShape::Square;
    overlay_->PlaceRoi(0, 150, 150);
    overlay_->UpdateRoiDisplay(0, record_.get(), settings_);
    EXPECT_EQ(overlay_->Lbl_ROI_Min_1->text(), "Min: 1148.00");
    EXPECT_EQ(overlay_->Lbl_ROI_Max_1->text(), "Max: 1152.00");
    EXPECT_EQ(overlay_->Lbl_ROI_Mean_1->text(), "Mean: 1150.00");
    EXPECT_EQ(overlay_->Lbl_ROI_Max_1->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Near the bottom edge the column moves up; the widths are the labels'
    // own after the new captions.
    overlay_->PlaceRoi(0, 150, 295);
    overlay_->UpdateRoiDisplay(0, record_.get(), settings_);
    EXPECT_EQ(overlay_->Lbl_ROI_Mean_1->text(), "Mean: -----");
    const ClickLabel* max = overlay_->Lbl_ROI_Max_1;
    const RoiLayout expected =
        LayoutRoi(150, 295, 2, 301, 301, 301, max->width(), overlay_->Lbl_ROI_Mean_1->width(), max->height());
    EXPECT_EQ(overlay_->Shp_ROI_1->geometry(), QRect(150 - 2 + 2, 295 - 2 + 2, 5, 5));
    EXPECT_EQ(overlay_->Lbl_ROI_Min_1->pos(), QPoint(expected.MinLabel.Left, expected.MinLabel.Top));
    EXPECT_EQ(max->pos(), QPoint(expected.MaxLabel.Left, expected.MaxLabel.Top));
    EXPECT_EQ(overlay_->Lbl_ROI_Mean_1->geometry().bottom(), 301 + 2 - 1);
}

TEST_F(RoiOverlayTest, LabelTextKeepsItsColourInsideAContrastingRim) {
    struct Case {
        const char* what;
        QRgb map;
        Color roi;
        QRgb rim;
    } cases[] = {
        {"red on the red centre of a map", qRgb(255, 0, 0), 0x0000FF, qRgb(255, 255, 255)},
        {"blue on black", qRgb(0, 0, 0), 0xFF0000, qRgb(255, 255, 255)},
        {"red on yellow", qRgb(255, 255, 0), 0x0000FF, qRgb(0, 0, 0)},
        {"blue on white", qRgb(255, 255, 255), 0xFF0000, qRgb(0, 0, 0)},
    };
    panel_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel_));
    for (const Case& c : cases) {
        image_->Picture().fill(c.map);
        settings_.RoiColor[0] = c.roi;
        overlay_->PlaceRoi(0, 100, 100);
        overlay_->RefreshRois({true, false}, record_.get(), settings_);
        const ClickLabel* label = overlay_->Lbl_ROI_Max_1;
        const QImage shot = panel_.grab(label->geometry()).toImage();
        int rim = 0, text = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                rim += shot.pixel(x, y) == c.rim;
                text += shot.pixel(x, y) == ColorToArgb(c.roi);
            }
        EXPECT_GT(rim, 20) << c.what;
        EXPECT_GT(text, 5) << c.what;
        EXPECT_EQ(label->palette().color(QPalette::WindowText).rgb(), ColorToArgb(c.roi)) << c.what;
    }
}

TEST_F(RoiOverlayTest, ShowSwitchesDecideWhichLabelsAppear) {
    settings_.ShowRoiMax = false;
    overlay_->RefreshRois({false, true}, record_.get(), settings_);
    EXPECT_TRUE(overlay_->Shp_ROI_1->isHidden());
    EXPECT_TRUE(overlay_->Lbl_ROI_Min_1->isHidden());
    EXPECT_FALSE(overlay_->Shp_ROI_2->isHidden());
    EXPECT_FALSE(overlay_->Lbl_ROI_Min_2->isHidden());
    EXPECT_TRUE(overlay_->Lbl_ROI_Max_2->isHidden());
    EXPECT_FALSE(overlay_->Lbl_ROI_Mean_2->isHidden());
    overlay_->ShowRoi(1, false, settings_);
    EXPECT_TRUE(overlay_->Shp_ROI_2->isHidden());
    EXPECT_TRUE(overlay_->Lbl_ROI_Mean_2->isHidden());
}

TEST_F(RoiOverlayTest, CtrlPressOnAnOutlineOrLabelRemovesItsRoi) {
    overlay_->PlaceRoi(1, 100, 100);
    overlay_->RefreshRois({false, true}, record_.get(), settings_);
    panel_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel_));
    QSignalSpy removed(overlay_, &RoiOverlay::removeRequested);

    // The corner of the circle's bounding square lies above the map and
    // belongs to the outline.
    const QPoint corner = overlay_->Shp_ROI_2->geometry().topLeft() + QPoint(1, 1);
    ASSERT_EQ(panel_.childAt(corner), overlay_->Shp_ROI_2);
    QTest::mouseClick(overlay_->Shp_ROI_2, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseClick(overlay_->Lbl_ROI_Max_2, Qt::LeftButton, Qt::ShiftModifier, QPoint(2, 2));
    EXPECT_EQ(removed.count(), 0);
    QTest::mouseClick(overlay_->Shp_ROI_2, Qt::RightButton, Qt::ControlModifier, QPoint(1, 1));
    QTest::mouseClick(overlay_->Lbl_ROI_Mean_2, Qt::MiddleButton, Qt::ControlModifier, QPoint(2, 2));
    ASSERT_EQ(removed.count(), 2);
    EXPECT_EQ(removed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(removed.at(1).at(0).toInt(), 1);

    EXPECT_EQ(RoiOverlay::PlacedRoi(Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier), 0);
    EXPECT_EQ(RoiOverlay::PlacedRoi(Qt::RightButton, Qt::ControlModifier), 1);
    EXPECT_EQ(RoiOverlay::PlacedRoi(Qt::MiddleButton, Qt::ControlModifier), -1);
    EXPECT_EQ(RoiOverlay::PlacedRoi(Qt::LeftButton, Qt::NoModifier), -1);
}

}  // namespace
