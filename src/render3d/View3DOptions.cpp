#include "render3d/View3DOptions.h"

#include <numbers>

float AngleOfTenths(int tenths) {
    return static_cast<float>(tenths * std::numbers::pi / 1800.0);
}

float RatioOfTenths(int tenths) {
    return static_cast<float>(tenths * 0.1);
}

RenderSettings3D SettingsOf(const View3DOptions& o) {
    RenderSettings3D s;
    s.HeightRatio = RatioOfTenths(o.RatioTenths);
    s.Zoom = static_cast<float>(o.Zoom);
    s.XAngle = AngleOfTenths(o.XAngleTenths);
    s.ZAngle = AngleOfTenths(o.ZAngleTenths);
    s.ScaleLowColor = o.ScaleLowColor;
    s.ScaleHighColor = o.ScaleHighColor;
    s.AxisColor = o.AxisColor;
    s.BackColor = o.BackColor;
    s.FrameColor = o.FrameColor;
    s.LabelColor = o.LabelColor;
    s.SubColor = o.SubColor;
    s.SideColor = o.SideColor;
    s.UseRamp = o.UseRamp;
    s.DrawFrame = o.DrawFrame;
    s.DrawLabel = o.DrawLabel;
    s.DrawSub = o.DrawSub;
    s.DrawSide = o.DrawSide;
    s.LabelSize = o.LabelSize;
    s.LabelDecimals = o.LabelDecimals;
    return s;
}
