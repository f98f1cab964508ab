#include "render3d/Render3D.h"

#include <QImage>
#include <QOpenGLContext>
#include <array>
#include <cstddef>

#include "render3d/Painter3D.h"

namespace {

RenderSettings3D Settings;
QImage* CaptureBitmap = nullptr;
// The context that last drew into each panel slot. Only compared with the
// current context, never used through the pointer, so an entry may outlive
// its context.
std::array<const QOpenGLContext*, ContextSlotCount> ContextSlots{};
// Kept between frames so the arrays are allocated once per size of scene.
Scene3D FrameScene;

bool SlotInRange(int slot) {
    return slot >= 0 && slot < ContextSlotCount;
}

}  // namespace

void Set3DSettings(Color lowColor, Color highColor, Color axisColor, float heightRatio, float zoom,
                   float xAngle, float zAngle, Color backColor, Color frameColor, Color labelColor,
                   Color subColor, Color sideColor, bool useRamp, Draw3DType /*drawType*/, bool drawFrame,
                   bool drawSub, bool drawSide, bool drawLabel, Projection3D /*projection*/, int labelSize,
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

void Set3DRatioZoom(float heightRatio, float zoom) {
    Settings.HeightRatio = heightRatio;
    Settings.Zoom = zoom;
}

void Set3DAngles(float xAngle, float zAngle) {
    Settings.XAngle = xAngle;
    Settings.ZAngle = zAngle;
}

void Set3DColors(Color lowColor, Color highColor, Color axisColor, Color backColor, Color frameColor,
                 Color labelColor, Color subColor, Color sideColor) {
    Settings.ScaleLowColor = lowColor;
    Settings.ScaleHighColor = highColor;
    Settings.AxisColor = axisColor;
    Settings.BackColor = backColor;
    Settings.FrameColor = frameColor;
    Settings.LabelColor = labelColor;
    Settings.SubColor = subColor;
    Settings.SideColor = sideColor;
}

void Set3DUseRamp(bool useRamp) {
    Settings.UseRamp = useRamp;
}

void Set3DDrawFrame(bool drawFrame) {
    Settings.DrawFrame = drawFrame;
}

void Set3DDrawLabel(bool drawLabel) {
    Settings.DrawLabel = drawLabel;
}

void Set3DDrawSub(bool drawSub) {
    Settings.DrawSub = drawSub;
}

void Set3DDrawSide(bool drawSide) {
    Settings.DrawSide = drawSide;
}

void Set3DLabelSize(int labelSize) {
    Settings.LabelSize = labelSize;
}

void Set3DLabelDecimals(int labelDecimals) {
    Settings.LabelDecimals = labelDecimals;
}

const RenderSettings3D& Current3DSettings() {
    return Settings;
}

int Set3DCaptureBitmap(QImage* bitmap) {
    CaptureBitmap = bitmap;
    return 1;
}

void RenderFrame3D(const RenderSettings3D& settings, int width, int height, const SceneRequest3D& request,
                   Projection3D projection, QImage* capture) {
    SceneRequest3D framed = request;
    framed.FrameWidth = width;
    framed.FrameHeight = height;
    framed.Projection = projection;
    BuildScene(FrameScene, settings, framed);
    FrameView3D view;
    view.Width = width;
    view.Height = height;
    view.Projection = projection;
    view.Background = FixedRgb(settings.BackColor);
    view.XAngle = settings.XAngle;
    view.ZAngle = settings.ZAngle;
    view.Zoom = settings.Zoom;
    PaintScene3D(view, FrameScene);
    if (capture) ReadBackPicture3D(*capture, width, height);
}

void Render3D(const Panel3D& panel, const ThkData* record, int dataIndex, const RampParameters& ramp,
              int pitch, Projection3D projection, Draw3DType drawType) {
    if (SlotInRange(panel.Tag))
        ContextSlots[static_cast<std::size_t>(panel.Tag)] = QOpenGLContext::currentContext();
    const SceneRequest3D request{record, dataIndex, ramp, pitch, drawType};
    RenderFrame3D(Settings, panel.Width, panel.Height, request, projection, CaptureBitmap);
}

int Release3DContext(int slot) {
    if (!SlotInRange(slot)) return 1;
    QOpenGLContext* current = QOpenGLContext::currentContext();
    if (current != nullptr && current == ContextSlots[static_cast<std::size_t>(slot)]) current->doneCurrent();
    return 1;
}
