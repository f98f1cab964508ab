#pragma once

#include <QImage>
#include <memory>

#include "render3d/View3DOptions.h"

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;
struct ThkData;

// A 3D picture without a window: an off-screen surface, an OpenGL context in
// the compatibility profile of the default surface format and a framebuffer
// of a fixed size. Needs a QGuiApplication and runs on its thread; without a
// usable OpenGL (no application, a platform without OpenGL, no context) the
// target is not valid and draws nothing. Leaves no context current.
class Offscreen3DTarget {
public:
    Offscreen3DTarget(int width, int height);
    ~Offscreen3DTarget();
    Offscreen3DTarget(const Offscreen3DTarget&) = delete;
    Offscreen3DTarget& operator=(const Offscreen3DTarget&) = delete;

    bool IsValid() const { return fbo_ != nullptr; }

    // Draws record as the 3D view window does with these options (data index
    // 0, the drawing ramp set) and waits until the frame is complete; fills
    // picture (RGB32, width x height) when given. False when the target is not
    // valid.
    bool Render(const ThkData& record, const View3DOptions& options, QImage* picture = nullptr);

private:
    int width_;
    int height_;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLFramebufferObject> fbo_;
};

// The width x height picture of record with these options, or an empty image
// when no OpenGL context can be made.
QImage RenderView3DImage(const ThkData& record, const View3DOptions& options, int width, int height);
