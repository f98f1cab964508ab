#include "render3d/Painter3D.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <algorithm>
#include <cstddef>
#include <numbers>
#include <vector>

namespace {

constexpr double DegreesPerRadian = 180.0 / std::numbers::pi;

GLenum GlMode(Primitive3D kind) {
    switch (kind) {
        case Primitive3D::Lines:
            return GL_LINES;
        case Primitive3D::LineStrip:
            return GL_LINE_STRIP;
        case Primitive3D::Quads:
            break;
    }
    return GL_QUADS;
}

void SetLook(LineLook look) {
    if (look == LineLook::Dotted) {
        glLineStipple(2, 0x5555);
        glEnable(GL_LINE_STIPPLE);
    } else {
        glDisable(GL_LINE_STIPPLE);
    }
    if (look == LineLook::Smooth) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_BLEND);
    }
}

void SetProjection(Projection3D kind, double aspect) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    switch (kind) {
        case Projection3D::Orthographic:
            glOrtho(-aspect, aspect, -1.0, 1.0, -10.0, 10.0);
            break;
        case Projection3D::Perspective:
            gluPerspective(30.0, aspect, 1.0, 10.0);
            break;
        default:
            glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 10.0);
            break;
    }
}

}  // namespace

void PaintScene3D(const FrameView3D& view, const Scene3D& scene) {
    if (view.Width < 1 || view.Height < 1) return;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);

    glViewport(1, 1, std::max(view.Width - 2, 0), std::max(view.Height - 2, 0));
    SetProjection(view.Projection, static_cast<double>(view.Width) / static_cast<double>(view.Height));

    glClearColor(view.Background.R, view.Background.G, view.Background.B, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glRotated(view.XAngle * DegreesPerRadian, 1.0, 0.0, 0.0);
    glRotated((view.ZAngle + std::numbers::pi / 2.0) * DegreesPerRadian, 0.0, 1.0, 0.0);
    const double scale = view.Zoom * 0.01;
    glScaled(scale, scale, scale);
    glTranslated(0.0, -0.3, 0.0);
    glLineWidth(1.0f);

    if (!scene.Positions.empty()) {
        // The arrays are read from client memory, so no buffer object may be bound.
        if (QOpenGLContext* context = QOpenGLContext::currentContext())
            context->functions()->glBindBuffer(GL_ARRAY_BUFFER, 0);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, scene.Positions.data());
        glColorPointer(3, GL_FLOAT, 0, scene.Colors.data());
        for (const SceneRun& run : scene.Runs) {
            SetLook(run.Look);
            glDrawArrays(GlMode(run.Kind), run.First, run.Count);
        }
        SetLook(LineLook::Plain);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
}

void ReadBackPicture3D(QImage& image, int width, int height) {
    if (width < 1 || height < 1) {
        image = QImage();
        return;
    }
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    std::vector<unsigned char> pixels(row * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    if (image.width() != width || image.height() != height || image.format() != QImage::Format_RGB32)
        image = QImage(width, height, QImage::Format_RGB32);
    // GL rows count from the bottom.
    for (int i = 0; i < height; ++i) {
        const unsigned char* src = pixels.data() + row * static_cast<std::size_t>(i);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - i));
        for (int j = 0; j < width; ++j, src += 3)
            dst[j] = qRgb(src[0], src[1], src[2]);
    }
}

void FinishFrame3D() {
    glFinish();
}
