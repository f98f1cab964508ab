#pragma once

#include "render3d/Scene3D.h"

class QImage;

// The only place that talks to OpenGL: fixed-function GL 1.x and GLU in a
// compatibility context. Every function needs a current context with the
// target framebuffer bound.

// How one frame looks at the scene. Width and Height are framebuffer pixels;
// angles in radians, Zoom in percent.
struct FrameView3D {
    int Width = 0;
    int Height = 0;
    Projection3D Projection = Projection3D::Orthographic;
    Rgb3D Background{0.0f, 0.0f, 0.0f};
    float XAngle = 0.0f;
    float ZAngle = 0.0f;
    float Zoom = 200.0f;
};

// Draws one frame: the viewport one pixel in from every side, the projection,
// the whole framebuffer cleared to the background, the camera at (0, 0, 3)
// looking at the origin, the tilt about x, the turn (plus a quarter turn)
// about the vertical, the zoom and a lowering by 0.3, then the scene's runs in
// order with depth test "less" and smooth shading.
void PaintScene3D(const FrameView3D& view, const Scene3D& scene);

// Replaces image with the width x height picture at the lower left of the
// bound framebuffer (RGB32, top row first).
void ReadBackPicture3D(QImage& image, int width, int height);

// Returns once GL has carried out every command given so far.
void FinishFrame3D();
