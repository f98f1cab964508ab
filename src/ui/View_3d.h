#pragma once

#include <QOpenGLWidget>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "colour/ColorScale.h"
#include "render3d/Render3D.h"
#include "render3d/View3DOptions.h"

class Dialogs;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class RadioGroup;
class ShapeSwatch;
struct ThkData;

// The GL panel of the 3D view. A frame asked for with RequestFrame or
// RenderNow, or any paint at the size of the last whole picture, draws the
// whole picture through OnRender. A paint at a new size (a resize, the first
// show) draws the box only through OnBoxOnly and reports through
// OnPictureLost that the picture must be drawn again, so that a burst of
// resizes costs one whole picture.
class View3DPanel : public QOpenGLWidget {
public:
    explicit View3DPanel(QWidget* parent = nullptr);

    int Tag = 0;
    std::function<void()> OnRender;
    std::function<void()> OnBoxOnly;
    std::function<void()> OnPictureLost;
    std::function<void(Qt::MouseButton, QPoint)> OnMouseDown;
    std::function<void(QPoint)> OnMouseMove;
    std::function<void()> OnMouseUp;

    // Schedules a whole picture with the next paint.
    void RequestFrame();
    // Draws a whole picture at once (when the panel can draw).
    void RenderNow();
    // Whole pictures drawn so far.
    int FramesRendered() const { return frames_; }

protected:
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool frameRequested_ = false;
    int frames_ = 0;
    QSize pictureSize_;  // of the last whole picture
};

// The modeless "3D View" window: the main window's Fill surface turned,
// tilted, stretched and zoomed with the mouse, with options, colours and a
// copy of the picture. Hidden track bars hold the view state. On a platform
// without OpenGL windows a plain text stands where the picture would be.
class TView3D : public QWidget {
    Q_OBJECT
public:
    // dialogs picks the swatch colours; it must outlive the window.
    TView3D(QWidget* parent, Dialogs& dialogs);
    ~TView3D() override;

    // Keeps a reference to record and shows the window in front, when the
    // record is Valid; otherwise nothing changes. The record must outlive the
    // window (the main window's Fill record does).
    void ShowThkData(const ThkData& record);

    // The renderer with the settings the controls gave it.
    const Renderer3D& Renderer() const { return renderer_; }

    // The main window's records changed (a load, a paste, the data maker,
    // Calc, Fill): an open window draws its record again, the surface or,
    // when the record was emptied, the box alone.
    void RecordChanged();

    // The shown record, null until the first valid one.
    const ThkData* ShownRecord() const { return record_; }
    // The view state as last read from the controls.
    const View3DOptions& ViewOptions() const { return view_; }

    void ReadViewControls();
    void RedrawView();

    void Timer1Timer();
    void Tkb_AngleChange();
    void Tkb_RatioZoomChange();
    void Tkb_3D_DrawPitchChange();
    void Tkb_3D_LabelSizeChange();
    void Chk_3D_DrawFrameClick();
    void Chk_3D_DrawLabelClick();
    void Chk_3D_DrawSubClick();
    void Chk_3D_DrawSideClick();
    void Rdo_3D_DrawTypeClick();
    void Shp_ColorMouseDown(ShapeSwatch* shape);
    void Btn_CopyImageClick();
    void Btn_CloseClick();
    // Positions in panel pixels.
    void Pnl_3DMouseDown(Qt::MouseButton button, QPoint position);
    void Pnl_3DMouseMove(QPoint position);
    void Pnl_3DMouseUp();

    // Null on a platform without OpenGL windows; Pnl_3DPlaceholder stands there then.
    View3DPanel* Pnl_3D = nullptr;
    QLabel* Pnl_3DPlaceholder = nullptr;
    QFrame* Panel1 = nullptr;
    RadioGroup* Rdo_3D_DrawType = nullptr;
    QPushButton* Btn_CopyImage = nullptr;
    QPushButton* Btn_Close = nullptr;
    QLabel* Lbl_3D_XAngle = nullptr;
    QLabel* Lbl_3D_ZAngle = nullptr;
    QLabel* Lbl_3D_Ratio = nullptr;
    QLabel* Lbl_3D_Zoom = nullptr;
    QSlider* Tkb_3D_X = nullptr;
    QSlider* Tkb_3D_Z = nullptr;
    QSlider* Tkb_3D_Ratio = nullptr;
    QSlider* Tkb_3D_Zoom = nullptr;
    ShapeSwatch* Shp_3D_Back = nullptr;
    ShapeSwatch* Shp_3D_Axis = nullptr;
    ShapeSwatch* Shp_3D_Frame = nullptr;
    ShapeSwatch* Shp_3D_Label = nullptr;
    ShapeSwatch* Shp_3D_Side = nullptr;
    ShapeSwatch* Shp_3D_Sub = nullptr;
    QCheckBox* Chk_3D_DrawFrame = nullptr;
    QCheckBox* Chk_3D_DrawLabel = nullptr;
    QCheckBox* Chk_3D_DrawSub = nullptr;
    QCheckBox* Chk_3D_DrawSide = nullptr;
    QSlider* Tkb_3D_LabelSize = nullptr;
    QLabel* Lbl_3D_LabelSize = nullptr;
    QSlider* Tkb_3D_DrawPitch = nullptr;
    QLabel* Lbl_3D_DrawPitch = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void EnableTimer();
    void RenderPicture(bool withSurface);

    Dialogs& dialogs_;
    const ThkData* record_ = nullptr;
    View3DOptions view_;
    Renderer3D renderer_;
    // Passed to every frame; never changed.
    RampParameters ramp_ = DrawingRampSet;
    // Mouse drag: start point, the two bar positions saved at the start, mode.
    QPoint dragStart_;
    int savedFirst_ = 0;
    int savedSecond_ = 0;
    bool turning_ = false;
    bool zooming_ = false;
};
