#include "render3d/Render3D.h"

#include <QImage>
#include <QOpenGLContext>
#include <array>
#include <cstddef>

#include "render3d/Painter3D.h"

namespace {

bool SlotInRange(int slot) {
    return slot >= 0 && slot < ContextSlotCount;
}

}  // namespace

void Renderer3D::Set3DSettings(Color lowColor, Color highColor, Color axisColor, float heightRatio,
                               float zoom, float xAngle, float zAngle, Color backColor, Color frameColor,
                               Color labelColor, Color subColor, Color sideColor, bool useRamp,
                               Draw3DType /*drawType*/, bool drawFrame, bool drawSub, bool drawSide,
                               bool drawLabel, Projection3D /*projection*/, int labelSize,
                               int labelDecimals) {
    Set3DColors(lowColor, highColor, axisColor, backColor, frameColor, labelColor, subColor, sideColor);
    Set3DRatioZoom(heightRatio, zoom);
    Set3DAngles(xAngle, zAngle);
    Set3DUseRamp(useRamp);
    Set3DDrawFrame(drawFrame);
    Set3DDrawSub(drawSub);
    Set3DDrawSide(drawSide);
    Set3DDrawLabel(drawLabel);
    Set3DLabelSize(labelSize);
    Set3DLabelDecimals(labelDecimals);
}

void Renderer3D::Set3DRatioZoom(float heightRatio, float zoom) {
    settings_.HeightRatio = heightRatio;
    settings_.Zoom = zoom;
}

void Renderer3D::Set3DAngles(float xAngle, float zAngle) {
    settings_.XAngle = xAngle;
    settings_.ZAngle = zAngle;
}

void Renderer3D::Set3DColors(Color lowColor, Color highColor, Color axisColor, Color backColor,
                             Color frameColor, Color labelColor, Color subColor, Color sideColor) {
    settings_.ScaleLowColor = lowColor;
    settings_.ScaleHighColor = highColor;
    settings_.AxisColor = axisColor;
    settings_.BackColor = backColor;
    settings_.FrameColor = frameColor;
    settings_.LabelColor = labelColor;
    settings_.SubColor = subColor;
    settings_.SideColor = sideColor;
}

void Renderer3D::Set3DUseRamp(bool useRamp) {
    settings_.UseRamp = useRamp;
}

void Renderer3D::Set3DDrawFrame(bool drawFrame) {
    settings_.DrawFrame = drawFrame;
}

void Renderer3D::Set3DDrawLabel(bool drawLabel) {
    settings_.DrawLabel = drawLabel;
}

void Renderer3D::Set3DDrawSub(bool drawSub) {
    settings_.DrawSub = drawSub;
}

void Renderer3D::Set3DDrawSide(bool drawSide) {
    settings_.DrawSide = drawSide;
}

void Renderer3D::Set3DLabelSize(int labelSize) {
    settings_.LabelSize = labelSize;
}

void Renderer3D::Set3DLabelDecimals(int labelDecimals) {
    settings_.LabelDecimals = labelDecimals;
}

const RenderSettings3D& Renderer3D::Current3DSettings() const {
    return settings_;
}

int Renderer3D::Set3DCaptureBitmap(QImage* bitmap) {
    capture_ = bitmap;
    return 1;
}

void RenderFrame3D(const RenderSettings3D& settings, int width, int height, const SceneRequest3D& request,
                   Projection3D projection, QImage* capture, Scene3D& scene) {
    SceneRequest3D framed = request;
    framed.FrameWidth = width;
    framed.FrameHeight = height;
    framed.Projection = projection;
    BuildScene(scene, settings, framed);
    FrameView3D view;
    view.Width = width;
    view.Height = height;
    view.Projection = projection;
    view.Background = FixedRgb(settings.BackColor);
    view.XAngle = settings.XAngle;
    view.ZAngle = settings.ZAngle;
    view.Zoom = settings.Zoom;
    PaintScene3D(view, scene);
    if (capture) ReadBackPicture3D(*capture, width, height);
}

void Renderer3D::Render3D(const Panel3D& panel, const ThkData* record, int dataIndex,
                          const RampParameters& ramp, int pitch, Projection3D projection,
                          Draw3DType drawType) {
    if (SlotInRange(panel.Tag))
        contextSlots_[static_cast<std::size_t>(panel.Tag)] = QOpenGLContext::currentContext();
    const SceneRequest3D request{record, dataIndex, ramp, pitch, drawType};
    RenderFrame3D(settings_, panel.Width, panel.Height, request, projection, capture_, frameScene_);
}

int Renderer3D::Release3DContext(int slot) {
    if (!SlotInRange(slot)) return 1;
    QOpenGLContext* current = QOpenGLContext::currentContext();
    if (current != nullptr && current == contextSlots_[static_cast<std::size_t>(slot)])
        current->doneCurrent();
    return 1;
}
