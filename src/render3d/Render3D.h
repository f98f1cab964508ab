#pragma once

#include <array>

#include "colour/ColorScale.h"
#include "core/Color.h"
#include "render3d/Scene3D.h"

class QImage;
class QOpenGLContext;
struct ThkData;

// The panel a frame is drawn into: Tag selects its context slot, Width and
// Height are the pixels of its framebuffer.
struct Panel3D {
    int Tag = 0;
    int Width = 0;
    int Height = 0;
};

inline constexpr int ContextSlotCount = 6;

// The 3D renderer of the view window: a block of render settings written by
// the setters below, a table of context slots, an optional capture target and
// the scene arrays reused from frame to frame. The window that owns it uses it
// on its user-interface thread.
class Renderer3D {
public:
    // Sets every setting through the single setters. drawType and projection are
    // not kept: each frame takes them as arguments of Render3D.
    void Set3DSettings(Color lowColor, Color highColor, Color axisColor, float heightRatio, float zoom,
                       float xAngle, float zAngle, Color backColor, Color frameColor, Color labelColor,
                       Color subColor, Color sideColor, bool useRamp, Draw3DType drawType, bool drawFrame,
                       bool drawSub, bool drawSide, bool drawLabel, Projection3D projection, int labelSize,
                       int labelDecimals);
    void Set3DRatioZoom(float heightRatio, float zoom);
    // Radians.
    void Set3DAngles(float xAngle, float zAngle);
    void Set3DColors(Color lowColor, Color highColor, Color axisColor, Color backColor, Color frameColor,
                     Color labelColor, Color subColor, Color sideColor);
    void Set3DUseRamp(bool useRamp);
    void Set3DDrawFrame(bool drawFrame);
    void Set3DDrawLabel(bool drawLabel);
    void Set3DDrawSub(bool drawSub);
    void Set3DDrawSide(bool drawSide);
    void Set3DLabelSize(int labelSize);
    void Set3DLabelDecimals(int labelDecimals);

    // The settings as the setters left them.
    const RenderSettings3D& Current3DSettings() const;

    // Sets (or clears, with null) the image that the next frames are copied into:
    // the whole picture at the panel's framebuffer size. Returns 1.
    int Set3DCaptureBitmap(QImage* bitmap);

    // Draws one frame of record with the current settings into the framebuffer
    // bound in the current GL context (the panel's), and copies it into the
    // capture image when one is set. dataIndex -1, a null record or one that is
    // not Valid draw the box, guide lines and axes only. Surface colours on the
    // ramp take ramp. The context stays current.
    void Render3D(const Panel3D& panel, const ThkData* record, int dataIndex, const RampParameters& ramp,
                  int pitch, Projection3D projection, Draw3DType drawType);

    // Leaves no context of the slot current on this thread; the slot keeps its
    // entry. Returns 1.
    int Release3DContext(int slot);

private:
    RenderSettings3D settings_;
    QImage* capture_ = nullptr;
    // The context that last drew into each panel slot. Only compared with
    // the current context, never used through the pointer, so an entry may
    // outlive its context.
    std::array<const QOpenGLContext*, ContextSlotCount> contextSlots_{};
    // Kept between frames so the arrays are allocated once per size of scene.
    Scene3D frameScene_;
};

// A frame with the given settings into a width x height framebuffer, the
// scene built into scene (arrays reused); copies the picture into capture
// when given.
void RenderFrame3D(const RenderSettings3D& settings, int width, int height, const SceneRequest3D& request,
                   Projection3D projection, QImage* capture, Scene3D& scene);
