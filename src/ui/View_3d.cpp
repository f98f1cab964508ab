#include "ui/View_3d.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "core/Message.h"
#include "core/NumberText.h"
#include "data/ThkData.h"
#include "render3d/Render3D.h"
#include "ui/Dialogs.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

constexpr int ClientWidth = 422;
constexpr int ClientHeight = 370;
constexpr int StripHeight = 96;

// Swatch tags: the colour role of each swatch.
enum class Swatch3DTag : int { Back = 20, Axis = 21, Line = 22, Label = 23 };

const QString NoPictureText = QStringLiteral("No 3D picture: this display offers no OpenGL.");
const std::string NoImageMessage = "No 3D image to copy: this display offers no OpenGL.";

QLabel* MakeLabel(const QString& text, QWidget* parent, int x, int y, int w,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 16);
    label->setAlignment(align);
    return label;
}

QLabel* MakeValueLabel(const QString& text, QWidget* parent, int x, int y, int w) {
    QLabel* label = MakeLabel(text, parent, x, y, w, Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QSlider* MakeBar(QWidget* parent, int min, int max, int value) {
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setRange(min, max);
    bar->setValue(value);
    return bar;
}

ShapeSwatch* MakeSwatch(QWidget* parent, Swatch3DTag tag, Color color, int x, int y) {
    auto* shape = new ShapeSwatch(parent);
    shape->Tag = static_cast<int>(tag);
    shape->SetBrushColor(color);
    shape->setGeometry(x, y, 16, 14);
    return shape;
}

QCheckBox* MakeCheck(const QString& text, QWidget* parent, int x, int y, int w) {
    auto* check = new QCheckBox(text, parent);
    check->setGeometry(x, y, w, 17);
    check->setChecked(true);
    return check;
}

// Qt's own dialogs hold no state, so one serves every window.
QString OneDecimal(double value) {
    return QString::fromStdString(FormatFixed(value, 5, 1));
}

}  // namespace

View3DPanel::View3DPanel(QWidget* parent) : QOpenGLWidget(parent) {}

void View3DPanel::RequestFrame() {
    frameRequested_ = true;
    update();
}

void View3DPanel::RenderNow() {
    frameRequested_ = true;
    // Draws through paintGL before it reads the framebuffer back.
    grabFramebuffer();
}

void View3DPanel::paintGL() {
    if (frameRequested_ || size() == pictureSize_) {
        frameRequested_ = false;
        pictureSize_ = size();
        ++frames_;
        if (OnRender) OnRender();
        return;
    }
    if (OnBoxOnly) OnBoxOnly();
    if (OnPictureLost) OnPictureLost();
}

void View3DPanel::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) OnMouseDown(event->button(), event->position().toPoint());
}

void View3DPanel::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) OnMouseMove(event->position().toPoint());
}

void View3DPanel::mouseReleaseEvent(QMouseEvent*) {
    if (OnMouseUp) OnMouseUp();
}

TView3D::TView3D(QWidget* parent, Dialogs& dialogs) : QWidget(parent, Qt::Window), dialogs_(dialogs) {
    BuildControls();
    // FormCreate: labels and renderer settings filled; nothing is drawn while
    // no record is stored.
    Tkb_AngleChange();
    Tkb_RatioZoomChange();
    Tkb_3D_DrawPitchChange();
    Tkb_3D_LabelSizeChange();
    renderer_.Set3DSettings(
        view_.ScaleLowColor, view_.ScaleHighColor, view_.AxisColor, RatioOfTenths(view_.RatioTenths),
        static_cast<float>(view_.Zoom), AngleOfTenths(view_.XAngleTenths), AngleOfTenths(view_.ZAngleTenths),
        view_.BackColor, view_.FrameColor, view_.LabelColor, view_.SubColor, view_.SideColor, view_.UseRamp,
        view_.DrawType, view_.DrawFrame, view_.DrawSub, view_.DrawSide, view_.DrawLabel, view_.Projection,
        view_.LabelSize, view_.LabelDecimals);
}

TView3D::~TView3D() {
    if (Pnl_3D) renderer_.Release3DContext(Pnl_3D->Tag);
}

void TView3D::BuildControls() {
    setWindowTitle(QStringLiteral("3D View"));
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    resize(ClientWidth, ClientHeight);
    setMinimumWidth(ClientWidth);
    setMinimumHeight(StripHeight + 40);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

    // A QOpenGLWidget cannot live on the offscreen platform.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        Pnl_3DPlaceholder = new QLabel(NoPictureText, this);
        Pnl_3DPlaceholder->setAlignment(Qt::AlignCenter);
        Pnl_3DPlaceholder->setWordWrap(true);
        Pnl_3DPlaceholder->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else {
        Pnl_3D = new View3DPanel(this);
        Pnl_3D->Tag = 0;
        Pnl_3D->OnRender = [this] { RenderPicture(true); };
        Pnl_3D->OnBoxOnly = [this] { RenderPicture(false); };
        Pnl_3D->OnPictureLost = [this] { EnableTimer(); };
        Pnl_3D->OnMouseDown = [this](Qt::MouseButton b, QPoint p) { Pnl_3DMouseDown(b, p); };
        Pnl_3D->OnMouseMove = [this](QPoint p) { Pnl_3DMouseMove(p); };
        Pnl_3D->OnMouseUp = [this] { Pnl_3DMouseUp(); };
    }

    Panel1 = new QFrame(this);
    auto* bevel2 = new QFrame(Panel1);
    bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel2->setGeometry(0, 0, 2000, 2);

    Rdo_3D_DrawType = new RadioGroup(QStringLiteral("Draw Type"),
                                     {QStringLiteral("Wire"), QStringLiteral("Plane")}, 1, Panel1);
    Rdo_3D_DrawType->setGeometry(4, 4, 76, 58);
    Rdo_3D_DrawType->SetItemIndex(static_cast<int>(Draw3DType::Plane));
    connect(Rdo_3D_DrawType, &RadioGroup::itemClicked, this, &TView3D::Rdo_3D_DrawTypeClick);

    Btn_CopyImage = new QPushButton(QStringLiteral("Copy Image"), Panel1);
    Btn_CopyImage->setGeometry(4, 66, 76, 24);
    Btn_CopyImage->setAutoDefault(false);
    connect(Btn_CopyImage, &QPushButton::clicked, this, &TView3D::Btn_CopyImageClick);
    Btn_Close = new QPushButton(QStringLiteral("Close"), Panel1);
    Btn_Close->setGeometry(4, 66, 76, 24);
    Btn_Close->hide();
    connect(Btn_Close, &QPushButton::clicked, this, &TView3D::Btn_CloseClick);

    auto* info = new QGroupBox(QStringLiteral("View Info."), Panel1);
    info->setGeometry(84, 2, 110, 90);
    MakeLabel(QStringLiteral("X Ang.:"), info, 6, 16, 44);
    MakeLabel(QStringLiteral("Z Ang.:"), info, 6, 34, 44);
    MakeLabel(QStringLiteral("Ratio:"), info, 6, 52, 44);
    MakeLabel(QStringLiteral("Zoom:"), info, 6, 70, 44);
    Lbl_3D_XAngle = MakeValueLabel(QStringLiteral("----.-"), info, 48, 16, 56);
    Lbl_3D_ZAngle = MakeValueLabel(QStringLiteral("----.-"), info, 48, 34, 56);
    Lbl_3D_Ratio = MakeValueLabel(QStringLiteral("---.-"), info, 48, 52, 56);
    Lbl_3D_Zoom = MakeValueLabel(QStringLiteral("---.-"), info, 48, 70, 56);
    Tkb_3D_X = MakeBar(info, 0, 900, view_.XAngleTenths);
    Tkb_3D_Z = MakeBar(info, -1800, 1800, view_.ZAngleTenths);
    Tkb_3D_Ratio = MakeBar(info, 0, 100, view_.RatioTenths);
    Tkb_3D_Zoom = MakeBar(info, 0, 1000, view_.Zoom);
    for (QSlider* hidden : {Tkb_3D_X, Tkb_3D_Z, Tkb_3D_Ratio, Tkb_3D_Zoom})
        hidden->hide();
    connect(Tkb_3D_X, &QSlider::valueChanged, this, &TView3D::Tkb_AngleChange);
    connect(Tkb_3D_Z, &QSlider::valueChanged, this, &TView3D::Tkb_AngleChange);
    connect(Tkb_3D_Ratio, &QSlider::valueChanged, this, &TView3D::Tkb_RatioZoomChange);
    connect(Tkb_3D_Zoom, &QSlider::valueChanged, this, &TView3D::Tkb_RatioZoomChange);

    auto* option = new QGroupBox(QStringLiteral("Option Setting"), Panel1);
    option->setGeometry(198, 2, 220, 90);
    MakeLabel(QStringLiteral("Back:"), option, 6, 16, 34);
    MakeLabel(QStringLiteral("Axis:"), option, 6, 34, 34);
    Shp_3D_Back = MakeSwatch(option, Swatch3DTag::Back, view_.BackColor, 40, 17);
    Shp_3D_Axis = MakeSwatch(option, Swatch3DTag::Axis, view_.AxisColor, 40, 35);
    Chk_3D_DrawFrame = MakeCheck(QStringLiteral("Frame"), option, 64, 16, 58);
    Chk_3D_DrawLabel = MakeCheck(QStringLiteral("Label"), option, 64, 34, 58);
    Chk_3D_DrawSub = MakeCheck(QStringLiteral("Sub"), option, 146, 16, 48);
    Chk_3D_DrawSide = MakeCheck(QStringLiteral("Side"), option, 146, 34, 48);
    Shp_3D_Frame = MakeSwatch(option, Swatch3DTag::Line, view_.FrameColor, 122, 17);
    Shp_3D_Label = MakeSwatch(option, Swatch3DTag::Label, view_.LabelColor, 122, 35);
    Shp_3D_Sub = MakeSwatch(option, Swatch3DTag::Line, view_.SubColor, 196, 17);
    Shp_3D_Side = MakeSwatch(option, Swatch3DTag::Line, view_.SideColor, 196, 35);
    connect(Chk_3D_DrawFrame, &QCheckBox::toggled, this, &TView3D::Chk_3D_DrawFrameClick);
    connect(Chk_3D_DrawLabel, &QCheckBox::toggled, this, &TView3D::Chk_3D_DrawLabelClick);
    connect(Chk_3D_DrawSub, &QCheckBox::toggled, this, &TView3D::Chk_3D_DrawSubClick);
    connect(Chk_3D_DrawSide, &QCheckBox::toggled, this, &TView3D::Chk_3D_DrawSideClick);
    for (ShapeSwatch* shape : {Shp_3D_Back, Shp_3D_Axis, Shp_3D_Frame, Shp_3D_Label, Shp_3D_Side, Shp_3D_Sub})
        connect(shape, &ShapeSwatch::mousePressed, this, [this](ShapeSwatch* s) { Shp_ColorMouseDown(s); });

    Tkb_3D_LabelSize = MakeBar(option, 1, 10, view_.LabelSize);
    Tkb_3D_LabelSize->setGeometry(72, 53, 112, 16);
    Lbl_3D_LabelSize = MakeValueLabel(QStringLiteral("2"), option, 186, 53, 26);
    MakeLabel(QStringLiteral("Draw Pitch:"), option, 6, 71, 66);
    Tkb_3D_DrawPitch = MakeBar(option, 1, 50, view_.DrawPitch);
    Tkb_3D_DrawPitch->setGeometry(72, 71, 112, 16);
    Lbl_3D_DrawPitch = MakeValueLabel(QStringLiteral("--"), option, 186, 71, 26);
    connect(Tkb_3D_LabelSize, &QSlider::valueChanged, this, &TView3D::Tkb_3D_LabelSizeChange);
    connect(Tkb_3D_DrawPitch, &QSlider::valueChanged, this, &TView3D::Tkb_3D_DrawPitchChange);

    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TView3D::Timer1Timer);
}

void TView3D::resizeEvent(QResizeEvent* event) {
    const QRect picture(0, 0, width(), std::max(height() - StripHeight, 0));
    if (Pnl_3D) Pnl_3D->setGeometry(picture);
    if (Pnl_3DPlaceholder) Pnl_3DPlaceholder->setGeometry(picture);
    Panel1->setGeometry(0, picture.height(), width(), StripHeight);
    EnableTimer();
    QWidget::resizeEvent(event);
}

void TView3D::showEvent(QShowEvent* event) {
    EnableTimer();
    QWidget::showEvent(event);
}

void TView3D::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) EnableTimer();
    QWidget::changeEvent(event);
}

void TView3D::EnableTimer() {
    // A running timer is not restarted, so a burst of events draws once,
    // 50 ms after the first of them.
    if (!Timer1->isActive()) Timer1->start();
}

void TView3D::ShowThkData(const ThkData& record) {
    if (!record.Valid) return;
    record_ = &record;
    show();
    raise();
    activateWindow();
    // A window that is already shown and active gets neither event, and its
    // record may hold a new surface.
    EnableTimer();
}

void TView3D::RecordChanged() {
    if (isVisible()) RedrawView();
}

void TView3D::ReadViewControls() {
    view_.DrawPitch = Tkb_3D_DrawPitch->value();
    view_.DrawType = Rdo_3D_DrawType->ItemIndex() == 0 ? Draw3DType::Wire : Draw3DType::Plane;
    view_.Projection = Projection3D::Orthographic;
    view_.LabelSize = Tkb_3D_LabelSize->value();
    view_.LabelDecimals = 2;
    view_.XAngleTenths = Tkb_3D_X->value();
    view_.ZAngleTenths = Tkb_3D_Z->value();
    view_.RatioTenths = Tkb_3D_Ratio->value();
    view_.Zoom = Tkb_3D_Zoom->value();
    view_.DrawFrame = Chk_3D_DrawFrame->isChecked();
    view_.DrawLabel = Chk_3D_DrawLabel->isChecked();
    view_.DrawSub = Chk_3D_DrawSub->isChecked();
    view_.DrawSide = Chk_3D_DrawSide->isChecked();
    view_.BackColor = Shp_3D_Back->BrushColor();
    view_.AxisColor = Shp_3D_Axis->BrushColor();
    view_.FrameColor = Shp_3D_Frame->BrushColor();
    view_.LabelColor = Shp_3D_Label->BrushColor();
    view_.SideColor = Shp_3D_Side->BrushColor();
    view_.SubColor = Shp_3D_Sub->BrushColor();
    view_.ScaleLowColor = 0x000000;
    view_.ScaleHighColor = 0xFFFFFF;
    view_.UseRamp = true;
    Rdo_3D_DrawType->setEnabled(true);
}

void TView3D::RedrawView() {
    ReadViewControls();
    if (record_ && Pnl_3D) Pnl_3D->RequestFrame();
}

void TView3D::RenderPicture(bool withSurface) {
    const qreal ratio = Pnl_3D->devicePixelRatioF();
    const Panel3D panel{Pnl_3D->Tag, static_cast<int>(std::lround(Pnl_3D->width() * ratio)),
                        static_cast<int>(std::lround(Pnl_3D->height() * ratio))};
    renderer_.Render3D(panel, withSurface ? record_ : nullptr, withSurface ? 0 : -1, ramp_, view_.DrawPitch,
                       view_.Projection, view_.DrawType);
}

void TView3D::Timer1Timer() {
    ReadViewControls();
    RedrawView();
    Timer1->stop();
}

void TView3D::Tkb_AngleChange() {
    ReadViewControls();
    Lbl_3D_XAngle->setText(OneDecimal(view_.XAngleTenths * 0.1));
    Lbl_3D_ZAngle->setText(OneDecimal(view_.ZAngleTenths * 0.1));
    renderer_.Set3DAngles(AngleOfTenths(view_.XAngleTenths), AngleOfTenths(view_.ZAngleTenths));
    RedrawView();
}

void TView3D::Tkb_RatioZoomChange() {
    ReadViewControls();
    Lbl_3D_Ratio->setText(OneDecimal(view_.RatioTenths * 0.1));
    Lbl_3D_Zoom->setText(OneDecimal(view_.Zoom));
    renderer_.Set3DRatioZoom(RatioOfTenths(view_.RatioTenths), static_cast<float>(view_.Zoom));
    RedrawView();
}

void TView3D::Tkb_3D_DrawPitchChange() {
    ReadViewControls();
    Lbl_3D_DrawPitch->setText(QString::number(view_.DrawPitch));
    RedrawView();
}

void TView3D::Tkb_3D_LabelSizeChange() {
    ReadViewControls();
    Lbl_3D_LabelSize->setText(QString::number(view_.LabelSize));
    renderer_.Set3DLabelSize(view_.LabelSize);
    RedrawView();
}

void TView3D::Chk_3D_DrawFrameClick() {
    ReadViewControls();
    renderer_.Set3DDrawFrame(view_.DrawFrame);
    RedrawView();
}

void TView3D::Chk_3D_DrawLabelClick() {
    ReadViewControls();
    Tkb_3D_LabelSize->setEnabled(view_.DrawLabel);
    renderer_.Set3DDrawLabel(view_.DrawLabel);
    RedrawView();
}

void TView3D::Chk_3D_DrawSubClick() {
    ReadViewControls();
    renderer_.Set3DDrawSub(view_.DrawSub);
    RedrawView();
}

void TView3D::Chk_3D_DrawSideClick() {
    ReadViewControls();
    renderer_.Set3DDrawSide(view_.DrawSide);
    RedrawView();
}

void TView3D::Rdo_3D_DrawTypeClick() {
    RedrawView();
}

void TView3D::Shp_ColorMouseDown(ShapeSwatch* shape) {
    const std::optional<Color> chosen = dialogs_.ChooseColor(this, shape->BrushColor());
    if (!chosen) return;
    shape->SetBrushColor(*chosen);
    ReadViewControls();
    if (shape->Tag >= static_cast<int>(Swatch3DTag::Back) &&
        shape->Tag <= static_cast<int>(Swatch3DTag::Label))
        renderer_.Set3DColors(view_.ScaleLowColor, view_.ScaleHighColor, view_.AxisColor, view_.BackColor,
                              view_.FrameColor, view_.LabelColor, view_.SubColor, view_.SideColor);
    RedrawView();
}

void TView3D::Btn_CopyImageClick() {
    if (!Pnl_3D) {
        dialogs_.ShowMessage(NoImageMessage);
        return;
    }
    const qreal ratio = Pnl_3D->devicePixelRatioF();
    QImage bitmap(static_cast<int>(std::lround(Pnl_3D->width() * ratio)),
                  static_cast<int>(std::lround(Pnl_3D->height() * ratio)), QImage::Format_RGB32);
    // What stays when the panel cannot draw (never shown yet).
    bitmap.fill(QColor(ColorRed(view_.BackColor), ColorGreen(view_.BackColor), ColorBlue(view_.BackColor)));
    renderer_.Set3DCaptureBitmap(&bitmap);
    ReadViewControls();
    Pnl_3D->RenderNow();
    QGuiApplication::clipboard()->setImage(bitmap);
    renderer_.Set3DCaptureBitmap(nullptr);
    dialogs_.ShowMessage("Copy 3D image to clipboard.");
}

void TView3D::Btn_CloseClick() {
    close();
}

void TView3D::Pnl_3DMouseDown(Qt::MouseButton button, QPoint position) {
    dragStart_ = position;
    if (button == Qt::LeftButton) {
        turning_ = true;
        zooming_ = false;
        savedFirst_ = Tkb_3D_Z->value();
        savedSecond_ = Tkb_3D_X->value();
    } else if (button == Qt::RightButton) {
        zooming_ = true;
        turning_ = false;
        savedFirst_ = Tkb_3D_Zoom->value();
        savedSecond_ = Tkb_3D_Ratio->value();
    }
}

void TView3D::Pnl_3DMouseMove(QPoint position) {
    const int dx = position.x() - dragStart_.x();
    const int dy = position.y() - dragStart_.y();
    // Each bar runs its change handler only when its position changes; the
    // first bar is set first.
    if (turning_) {
        // Half a degree per pixel: dragging right turns, dragging down tilts further.
        Tkb_3D_Z->setValue(std::clamp(savedFirst_ + dx * 5, Tkb_3D_Z->minimum(), Tkb_3D_Z->maximum()));
        Tkb_3D_X->setValue(std::clamp(savedSecond_ + dy * 5, Tkb_3D_X->minimum(), Tkb_3D_X->maximum()));
    } else if (zooming_) {
        // Two percent per pixel right; the ratio rises by 0.1 per whole 3
        // pixels up (the division truncates toward zero).
        Tkb_3D_Zoom->setValue(
            std::clamp(savedFirst_ + dx * 2, Tkb_3D_Zoom->minimum(), Tkb_3D_Zoom->maximum()));
        Tkb_3D_Ratio->setValue(
            std::clamp(savedSecond_ - dy / 3, Tkb_3D_Ratio->minimum(), Tkb_3D_Ratio->maximum()));
    }
}

void TView3D::Pnl_3DMouseUp() {
    turning_ = false;
    zooming_ = false;
    savedFirst_ = 0;
    savedSecond_ = 0;
    dragStart_ = QPoint(0, 0);
}
