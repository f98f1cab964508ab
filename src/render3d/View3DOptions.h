#pragma once

#include "core/Color.h"
#include "render3d/Scene3D.h"

// Every option of the 3D view window, in the window's own units (the
// positions of its bars), with the window's defaults. The window and an
// off-screen picture turn them into render settings the same way, so equal
// options give equal pictures.
struct View3DOptions {
    int XAngleTenths = 150;    // tilt, tenths of a degree, 0..900
    int ZAngleTenths = -1000;  // turn, tenths of a degree, -1800..1800
    int RatioTenths = 50;      // height ratio in tenths, 0..100
    int Zoom = 200;            // percent, 0..1000
    int DrawPitch = 5;         // grid units, 1..50
    Draw3DType DrawType = Draw3DType::Plane;
    Projection3D Projection = Projection3D::Orthographic;
    bool DrawFrame = true;
    bool DrawLabel = true;
    bool DrawSub = true;
    bool DrawSide = true;
    Color BackColor = 0x000000;
    Color AxisColor = 0x0000FF;
    Color FrameColor = 0x646464;
    Color LabelColor = 0x0000FF;
    Color SideColor = 0x646464;
    Color SubColor = 0x646464;
    Color ScaleLowColor = 0x000000;
    Color ScaleHighColor = 0xFFFFFF;
    bool UseRamp = true;
    int LabelSize = 2;  // 1..10
    int LabelDecimals = 2;
};

// Radians of an angle in tenths of a degree (tenths x pi / 1800).
float AngleOfTenths(int tenths);

// Height ratio of a bar position in tenths (position x 0.1).
float RatioOfTenths(int tenths);

RenderSettings3D SettingsOf(const View3DOptions& options);
