#include "render3d/Offscreen3D.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include "colour/ColorScale.h"
#include "render3d/Painter3D.h"
#include "render3d/Render3D.h"

Offscreen3DTarget::Offscreen3DTarget(int width, int height) : width_(width), height_(height) {
    if (QGuiApplication::instance() == nullptr || width < 1 || height < 1) return;
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setRenderableType(QSurfaceFormat::OpenGL);
    // The painter uses the fixed-function pipeline, which a core profile lacks.
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(format);
    if (!context->create()) return;
    auto surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(context->format());
    surface->create();
    if (!surface->isValid() || !context->makeCurrent(surface.get())) return;
    QOpenGLFramebufferObjectFormat fboFormat;
    fboFormat.setAttachment(QOpenGLFramebufferObject::Depth);
    auto fbo = std::make_unique<QOpenGLFramebufferObject>(width, height, fboFormat);
    const bool usable = fbo->isValid();
    if (!usable) fbo.reset();
    context->doneCurrent();
    if (!usable) return;
    context_ = std::move(context);
    surface_ = std::move(surface);
    fbo_ = std::move(fbo);
}

Offscreen3DTarget::~Offscreen3DTarget() {
    // The framebuffer goes with its context current.
    if (fbo_ && context_->makeCurrent(surface_.get())) {
        fbo_.reset();
        context_->doneCurrent();
    }
}

bool Offscreen3DTarget::Render(const ThkData& record, const View3DOptions& options, QImage* picture) {
    if (!IsValid() || !context_->makeCurrent(surface_.get())) return false;
    fbo_->bind();
    const SceneRequest3D request{&record, 0, DrawingRampSet, options.DrawPitch, options.DrawType};
    Scene3D scene;
    RenderFrame3D(SettingsOf(options), width_, height_, request, options.Projection, picture, scene);
    FinishFrame3D();
    fbo_->release();
    context_->doneCurrent();
    return true;
}

QImage RenderView3DImage(const ThkData& record, const View3DOptions& options, int width, int height) {
    Offscreen3DTarget target(width, height);
    QImage picture;
    if (!target.Render(record, options, &picture)) return {};
    return picture;
}
