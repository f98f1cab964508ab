#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

#include "colour/ColorScale.h"
#include "render3d/GlRequirement.h"
#include "render3d/Offscreen3D.h"
#include "render3d/Render3D.h"
#include "support/RecordFactory.h"
#include "ui/ScriptedDialogs.h"
#include "ui/View_3d.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

// Side 100, rising along data X from 1000 to 1100.
std::unique_ptr<ThkData> Tilted() {
    auto record = NewRecord(100, 1, 1);
    record->Valid = true;
    for (int x = 0; x <= 100; ++x)
        for (int y = 0; y <= 100; ++y)
            record->Value[x][y] = 1000.0 + x;
    RecalcStatistics(*record);
    return record;
}

class View3DTest : public ::testing::Test {
protected:
    bool WaitForFrames(int count) {
        return QTest::qWaitFor([&] { return view_->Pnl_3D->FramesRendered() >= count; }, 5000);
    }

    // Shows the record and waits for its first whole picture.
    void ShowAndDraw() {
        view_->ShowThkData(*record_);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
        ASSERT_TRUE(WaitForFrames(1));
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<ThkData> record_ = Tilted();
    std::unique_ptr<TView3D> view_ = std::make_unique<TView3D>(nullptr, dialogs_);
};

TEST_F(View3DTest, CreationFillsTheLabelsAndTheRendererSettings) {
    EXPECT_EQ(view_->windowTitle(), "3D View");
    const std::vector<QString> labels = {view_->Lbl_3D_XAngle->text(),    view_->Lbl_3D_ZAngle->text(),
                                         view_->Lbl_3D_Ratio->text(),     view_->Lbl_3D_Zoom->text(),
                                         view_->Lbl_3D_DrawPitch->text(), view_->Lbl_3D_LabelSize->text()};
    EXPECT_EQ(labels, (std::vector<QString>{"15.0", "-100.0", "5.0", "200.0", "5", "2"}));
    EXPECT_EQ(view_->Rdo_3D_DrawType->ItemIndex(), 1);
    const RenderSettings3D& s = view_->Renderer().Current3DSettings();
    EXPECT_EQ(s.XAngle, static_cast<float>(150 * std::numbers::pi / 1800));
    EXPECT_EQ(s.ZAngle, static_cast<float>(-1000 * std::numbers::pi / 1800));
    EXPECT_EQ(s.HeightRatio, 5.0f);
    EXPECT_EQ(s.Zoom, 200.0f);
    EXPECT_EQ(s.AxisColor, 0x0000FFu);
    EXPECT_EQ(s.ScaleHighColor, 0xFFFFFFu);
    EXPECT_TRUE(s.UseRamp && s.DrawFrame && s.DrawLabel && s.DrawSub && s.DrawSide);
    EXPECT_EQ(s.LabelDecimals, 2);
}

TEST_F(View3DTest, DraggingTurnsAndZoomsWithinTheBarsLimits) {
    struct Case {
        const char* name;
        Qt::MouseButton button;
        std::vector<QPoint> path;  // press, moves
        int x, z, ratio, zoom;
        const char *xText, *ratioText;
    } cases[] = {
        {"turn right, tilt down",
         Qt::LeftButton,
         {{10, 10}, {15, 10}, {30, 40}},
         300,
         -900,
         50,
         200,
         "30.0",
         "5.0"},
        {"tilt stops at 90.0", Qt::LeftButton, {{0, 0}, {0, 500}}, 900, -1000, 50, 200, "90.0", "5.0"},
        {"turn stops at -180.0", Qt::LeftButton, {{0, 0}, {-500, -2}}, 140, -1800, 50, 200, "14.0", "5.0"},
        {"zoom stops at 1000", Qt::RightButton, {{0, 0}, {500, 0}}, 150, -1000, 50, 1000, "15.0", "5.0"},
        {"zoom stops at 0", Qt::RightButton, {{0, 0}, {-150, 0}}, 150, -1000, 50, 0, "15.0", "5.0"},
        {"2 pixels up: no change", Qt::RightButton, {{0, 10}, {0, 8}}, 150, -1000, 50, 200, "15.0", "5.0"},
        {"3 pixels up: 0.1 more", Qt::RightButton, {{0, 10}, {0, 7}}, 150, -1000, 51, 200, "15.0", "5.1"},
        {"5 pixels down: 0.1 less", Qt::RightButton, {{0, 10}, {0, 15}}, 150, -1000, 49, 200, "15.0", "4.9"},
        {"ratio stops at 10.0", Qt::RightButton, {{0, 400}, {0, 0}}, 150, -1000, 100, 200, "15.0", "10.0"},
        {"middle button", Qt::MiddleButton, {{0, 0}, {80, 80}}, 150, -1000, 50, 200, "15.0", "5.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TView3D view(nullptr, dialogs_);
        view.Pnl_3DMouseDown(c.button, c.path.front());
        for (std::size_t i = 1; i < c.path.size(); ++i)
            view.Pnl_3DMouseMove(c.path[i]);
        view.Pnl_3DMouseUp();
        view.Pnl_3DMouseMove(QPoint(300, 300));  // after the button is up: nothing
        EXPECT_EQ(view.Tkb_3D_X->value(), c.x);
        EXPECT_EQ(view.Tkb_3D_Z->value(), c.z);
        EXPECT_EQ(view.Tkb_3D_Ratio->value(), c.ratio);
        EXPECT_EQ(view.Tkb_3D_Zoom->value(), c.zoom);
        EXPECT_EQ(view.Lbl_3D_XAngle->text(), c.xText);
        EXPECT_EQ(view.Lbl_3D_Ratio->text(), c.ratioText);
        const RenderSettings3D& s = view.Renderer().Current3DSettings();
        EXPECT_EQ(s.XAngle, AngleOfTenths(c.x));
        EXPECT_EQ(s.ZAngle, AngleOfTenths(c.z));
        EXPECT_EQ(s.HeightRatio, RatioOfTenths(c.ratio));
        EXPECT_EQ(s.Zoom, static_cast<float>(c.zoom));
    }
}

TEST_F(View3DTest, OptionChecksReachTheRenderer) {
    const std::pair<QCheckBox*, bool RenderSettings3D::*> cases[] = {
        {view_->Chk_3D_DrawFrame, &RenderSettings3D::DrawFrame},
        {view_->Chk_3D_DrawLabel, &RenderSettings3D::DrawLabel},
        {view_->Chk_3D_DrawSub, &RenderSettings3D::DrawSub},
        {view_->Chk_3D_DrawSide, &RenderSettings3D::DrawSide},
    };
    for (auto [check, setting] : cases) {
        SCOPED_TRACE(check->text().toStdString());
        QTest::mouseClick(check, Qt::LeftButton);
        EXPECT_FALSE(view_->Renderer().Current3DSettings().*setting);
        // Only "Label" disables the label size.
        EXPECT_EQ(view_->Tkb_3D_LabelSize->isEnabled(), check != view_->Chk_3D_DrawLabel);
        QTest::mouseClick(check, Qt::LeftButton);
        EXPECT_TRUE(view_->Renderer().Current3DSettings().*setting);
        EXPECT_TRUE(view_->Tkb_3D_LabelSize->isEnabled());
    }
    // Without "Label" the scene holds no labels.
    QTest::mouseClick(view_->Chk_3D_DrawLabel, Qt::LeftButton);
    Scene3D scene;
    BuildScene(scene, view_->Renderer().Current3DSettings(), SceneRequest3D{record_.get()});
    for (const SceneRun& run : scene.Runs)
        EXPECT_NE(run.Look, LineLook::Smooth);
}

TEST_F(View3DTest, SwatchesPickColoursThroughTheDialog) {
    const std::tuple<ShapeSwatch*, Color, Color RenderSettings3D::*> cases[] = {
        {view_->Shp_3D_Back, 0x000000, &RenderSettings3D::BackColor},
        {view_->Shp_3D_Axis, 0x0000FF, &RenderSettings3D::AxisColor},
        {view_->Shp_3D_Frame, 0x646464, &RenderSettings3D::FrameColor},
        {view_->Shp_3D_Label, 0x0000FF, &RenderSettings3D::LabelColor},
        {view_->Shp_3D_Side, 0x646464, &RenderSettings3D::SideColor},
        {view_->Shp_3D_Sub, 0x646464, &RenderSettings3D::SubColor},
    };
    for (auto [shape, before, setting] : cases) {
        SCOPED_TRACE(before);
        dialogs_.Colors = {std::nullopt, Color{0x123456}};
        QTest::mouseClick(shape, Qt::LeftButton);  // cancelled
        EXPECT_EQ(dialogs_.LastInitialColor, before);
        EXPECT_EQ(shape->BrushColor(), before);
        EXPECT_EQ(view_->Renderer().Current3DSettings().*setting, before);
        QTest::mouseClick(shape, Qt::RightButton);
        EXPECT_EQ(shape->BrushColor(), 0x123456u);
        EXPECT_EQ(view_->Renderer().Current3DSettings().*setting, 0x123456u);
    }
    EXPECT_EQ(dialogs_.ColorCalls, 12);
}

TEST_F(View3DTest, ShowsOnlyAValidRecord) {
    auto empty = NewRecord(100, 1, 1);
    view_->ShowThkData(*empty);
    EXPECT_FALSE(view_->isVisible());
    EXPECT_EQ(view_->ShownRecord(), nullptr);
    view_->ShowThkData(*record_);
    EXPECT_TRUE(view_->isVisible());
    EXPECT_EQ(view_->ShownRecord(), record_.get());
}

TEST_F(View3DTest, ABurstOfResizesDrawsOnce) {
    SKIP_OR_FAIL_WITHOUT_GL();
    ShowAndDraw();
    QTest::qWait(200);  // the first show settles
    const int before = view_->Pnl_3D->FramesRendered();
    // Each resize repaints the panel at once, before the event loop runs again.
    for (int i = 1; i <= 8; ++i)
        view_->Pnl_3D->resize(300 + 10 * i, 200 + 5 * i);
    EXPECT_EQ(view_->Pnl_3D->FramesRendered(), before);
    EXPECT_TRUE(WaitForFrames(before + 1));
    QTest::qWait(200);
    EXPECT_EQ(view_->Pnl_3D->FramesRendered(), before + 1);
}

// Pixel of the panel's picture where the world point lands: the renderer's
// camera, turn, tilt, zoom and orthographic projection worked out by hand.
QPoint PixelOf(const View3DOptions& o, int width, int height, double x, double y, double z) {
    const double zoom = o.Zoom * 0.01;
    x *= zoom;
    y = (y - 0.3) * zoom;
    z *= zoom;
    const double turn = AngleOfTenths(o.ZAngleTenths) + std::numbers::pi / 2;
    const double x1 = std::cos(turn) * x + std::sin(turn) * z;
    const double z1 = -std::sin(turn) * x + std::cos(turn) * z;
    const double tilt = AngleOfTenths(o.XAngleTenths);
    const double y2 = std::cos(tilt) * y - std::sin(tilt) * z1;
    const double aspect = static_cast<double>(width) / height;
    const double px = 1 + (x1 / aspect + 1) / 2 * (width - 2);
    const double py = 1 + (y2 + 1) / 2 * (height - 2);
    return {static_cast<int>(px), height - 1 - static_cast<int>(py)};
}

bool Near(const QImage& image, QPoint p, const std::function<bool(QRgb)>& match) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(p.x() + dx, p.y() + dy) && match(image.pixel(p.x() + dx, p.y() + dy)))
                return true;
    return false;
}

TEST_F(View3DTest, APictureShowsBackgroundAxisAndSurfaceWhereTheyBelong) {
    SKIP_OR_FAIL_WITHOUT_GL();
    dialogs_.Colors = {Color{0x402010}};
    QTest::mouseClick(view_->Shp_3D_Back, Qt::LeftButton);
    ShowAndDraw();
    const QImage picture = view_->Pnl_3D->grabFramebuffer();
    const int w = picture.width(), h = picture.height();
    ASSERT_EQ(picture.size(), view_->Pnl_3D->size());
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0x10, 0x20, 0x40));
    EXPECT_EQ(picture.pixel(w - 1, h / 2), qRgb(0x10, 0x20, 0x40));
    const View3DOptions& o = view_->ViewOptions();
    // The vertical axis at the front left corner, half way up the box (height 0.5).
    EXPECT_TRUE(
        Near(picture, PixelOf(o, w, h, -0.5, 0.25, 0.5), [](QRgb c) { return c == qRgb(255, 0, 0); }));
    // Mid-cell of the surface at data (52.5, 52.5): value position 0.525, its
    // colour between those of its corners at 0.50 and 0.55.
    const std::array<float, 3> a = GetScaleColorRGB(true, DrawingRampSet, 0, 0, 0.50f);
    const std::array<float, 3> b = GetScaleColorRGB(true, DrawingRampSet, 0, 0, 0.55f);
    const auto between = [&](QRgb c) {
        const int channel[3] = {qRed(c), qGreen(c), qBlue(c)};
        for (int k = 0; k < 3; ++k) {
            const int lo = static_cast<int>(std::min(a[k], b[k]) * 255) - 2;
            const int hi = static_cast<int>(std::max(a[k], b[k]) * 255) + 2;
            if (channel[k] < lo || channel[k] > hi) return false;
        }
        return true;
    };
    const QPoint mid = PixelOf(o, w, h, 0.025, 0.525 * 0.5, 0.025);
    EXPECT_TRUE(Near(picture, mid, between)) << std::hex << picture.pixel(mid);
}

TEST_F(View3DTest, LabelsStayInsideThePicture) {
    // The window's panel at its designed size, the view as the window starts.
    const int w = 422, h = 274;
    const View3DOptions& o = view_->ViewOptions();
    const RenderSettings3D& s = view_->Renderer().Current3DSettings();
    const auto labelPixels = [&](const ThkData& record, int frameWidth) {
        Scene3D scene;
        SceneRequest3D request{&record};
        request.FrameWidth = frameWidth;
        request.FrameHeight = h;
        BuildScene(scene, s, request);
        std::vector<Vertex3D> points;
        for (const SceneRun& run : scene.Runs)
            if (run.Look == LineLook::Smooth)
                points.insert(points.end(), scene.Positions.begin() + run.First,
                              scene.Positions.begin() + run.First + run.Count);
        return points;
    };
    struct Case {
        const char* what;
        double min, max;
        bool fitted;
    } cases[] = {
        {"short values keep the designed labels", 1.0, 5.0, false},
        {"a film of about 1000", 944.14, 1046.53, true},
        {"a thick film", 129000.0, 129455.14, true},
    };
    for (const Case& c : cases) {
        record_->Min = c.min;
        record_->Max = c.max;
        const std::vector<Vertex3D> designed = labelPixels(*record_, 0);
        const std::vector<Vertex3D> fitted = labelPixels(*record_, w);
        ASSERT_EQ(fitted.size(), designed.size()) << c.what;
        int outside = 0, left = w;
        for (const Vertex3D& v : designed)
            outside += PixelOf(o, w, h, v.X, v.Y, v.Z).x() < 0;
        for (const Vertex3D& v : fitted)
            left = std::min(left, PixelOf(o, w, h, v.X, v.Y, v.Z).x());
        EXPECT_EQ(outside > 0, c.fitted) << c.what;
        EXPECT_GE(left, 1) << c.what;
        EXPECT_EQ(fitted.front().X == designed.front().X, !c.fitted) << c.what;
    }
}

TEST_F(View3DTest, CopyImageCopiesTheWholePanel) {
    SKIP_OR_FAIL_WITHOUT_GL();
    ShowAndDraw();
    view_->resize(1000, 796);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view_->Pnl_3D->size() == QSize(1000, 700); }, 5000));
    QGuiApplication::clipboard()->clear();
    dialogs_.ShownMessages.clear();
    QTest::mouseClick(view_->Btn_CopyImage, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, std::vector<std::string>{"Copy 3D image to clipboard."});
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(1000, 700));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              view_->Pnl_3D->grabFramebuffer().convertToFormat(QImage::Format_RGB32));
    // The top right corner, beyond any 800 x 600 part, holds the picture's background too.
    EXPECT_EQ(copied.pixel(999, 0), qRgb(0, 0, 0));
}

TEST_F(View3DTest, WindowAndOffscreenPicturesAgreeAndFollowTheLiveRecord) {
    SKIP_OR_FAIL_WITHOUT_GL();
    ShowAndDraw();
    view_->Rdo_3D_DrawType->SetItemIndex(0);
    view_->Tkb_3D_DrawPitch->setValue(3);
    view_->Pnl_3DMouseDown(Qt::LeftButton, QPoint(0, 0));
    view_->Pnl_3DMouseMove(QPoint(40, 12));
    view_->Pnl_3DMouseUp();
    const auto copy = [&] {
        QTest::mouseClick(view_->Btn_CopyImage, Qt::LeftButton);
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    };
    const QSize size = view_->Pnl_3D->size();
    const QImage shown = copy();
    EXPECT_EQ(shown, RenderView3DImage(*record_, view_->ViewOptions(), size.width(), size.height()));
    // The main window clears its Fill record: the next redraw shows the box only.
    ClearThkData(record_.get(), 1);
    const QImage cleared = copy();
    EXPECT_NE(cleared, shown);
    EXPECT_EQ(cleared, RenderView3DImage(*record_, view_->ViewOptions(), size.width(), size.height()));
}

// The platform without OpenGL windows: run by its own CTest entry with
// QT_QPA_PLATFORM=offscreen.
TEST(View3DOffscreen, PlaceholderAndNoImage) {
    if (GlPlatformAvailable()) GTEST_SKIP() << "runs on the offscreen platform only";
    ScriptedDialogs dialogs;
    TView3D view(nullptr, dialogs);
    EXPECT_EQ(view.Pnl_3D, nullptr);
    ASSERT_NE(view.Pnl_3DPlaceholder, nullptr);
    EXPECT_FALSE(view.Pnl_3DPlaceholder->text().isEmpty());
    auto record = Tilted();
    view.ShowThkData(*record);
    QTest::qWait(100);
    QTest::mouseClick(view.Btn_CopyImage, Qt::LeftButton);
    EXPECT_EQ(dialogs.ShownMessages,
              std::vector<std::string>{"No 3D image to copy: this display offers no OpenGL."});
}

}  // namespace
