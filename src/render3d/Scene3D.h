#pragma once

#include <vector>

#include "colour/ColorScale.h"
#include "core/Color.h"

struct ThkData;

// The 3D picture as plain arrays, built without a GL context so that every
// line and quadrilateral can be checked in tests; the painter only hands the
// arrays to GL.
//
// World frame: the data square lies on the unit square x, z in -0.5..0.5 of
// the base plane y = 0; data X runs along x, data Y along z, the value along y
// (up). The box is BoxHeight = HeightRatio x 0.1 high.

// The window's draw type: the item index of its "Draw Type" group.
enum class Draw3DType : int { Wire = 0, Plane = 1 };

// Projection of the picture: orthographic (the window's), perspective; any
// other value gives an orthographic view of the unit square.
enum class Projection3D : int { Orthographic = 0, Perspective = 1 };

// How a surface vertex is coloured and placed: with the scale colour of its
// value, in the frame colour lifted or lowered by 0.005 in value position (so
// a wire mesh shows above or below the planes), or in the side colour.
enum class VertexMode : int { Scale = 0, Lifted = 1, Lowered = 2, Side = 3 };

// Everything the picture depends on besides the record and the frame's own
// arguments. Angles in radians; colours 0x00BBGGRR.
struct RenderSettings3D {
    float HeightRatio = 5.0f;  // vertical exaggeration
    float Zoom = 200.0f;       // percent: the scene is scaled by Zoom x 0.01
    float XAngle = 0.0f;       // tilt about world x
    float ZAngle = 0.0f;       // turn about the vertical
    Color ScaleLowColor = 0x000000;
    Color ScaleHighColor = 0xFFFFFF;
    Color AxisColor = 0x0000FF;
    Color BackColor = 0x000000;
    Color FrameColor = 0x646464;
    Color LabelColor = 0x0000FF;
    Color SubColor = 0x646464;
    Color SideColor = 0x646464;
    bool UseRamp = true;    // surface colours from the hue ramp, else the low-high blend
    bool DrawFrame = true;  // Plane: wire mesh over the planes
    bool DrawLabel = true;  // the three value labels
    bool DrawSub = true;    // dotted guide lines on the box walls
    bool DrawSide = true;   // Plane: walls from the surface outline down to the base
    int LabelSize = 2;      // character size LabelSize x 0.01 world units
    int LabelDecimals = 2;  // digits after the point in labels

    float BoxHeight() const { return static_cast<float>(HeightRatio * 0.1); }
};

enum class Primitive3D : int { Lines, LineStrip, Quads };

// Line state of a run: plain, dotted (stipple factor 2, pattern 0x5555), or
// smoothed with alpha blending (the labels).
enum class LineLook : int { Plain, Dotted, Smooth };

struct Vertex3D {
    float X, Y, Z;
};

// Channels 0..1.
struct Rgb3D {
    float R, G, B;
};

// Count vertices from First, drawn as Kind. Lines take vertex pairs, Quads
// vertex quadruples in perimeter order, a LineStrip joins all its vertices.
struct SceneRun {
    Primitive3D Kind;
    LineLook Look;
    int First;
    int Count;
};

// Runs are drawn in order with the depth test "less", so where two pieces
// meet at the same depth the earlier one stays visible.
struct Scene3D {
    std::vector<Vertex3D> Positions;
    std::vector<Rgb3D> Colors;  // one per position
    std::vector<SceneRun> Runs;

    // Empties the arrays but keeps their storage for the next frame.
    void Clear();
};

// What one frame draws besides the settings. DataIndex -1 (or a record that
// is null or not Valid, or a Size below 1) draws no surface and no labels.
// Pitch is in grid units; values below 1 count as 1. FrameWidth and
// FrameHeight (framebuffer pixels) and Projection describe the picture the
// labels must stay inside; with a width or height of 0 the labels keep their
// designed place and size whatever the view.
struct SceneRequest3D {
    const ThkData* Record = nullptr;
    int DataIndex = 0;
    RampParameters Ramp = DrawingRampSet;
    int Pitch = 5;
    Draw3DType DrawType = Draw3DType::Plane;
    int FrameWidth = 0;
    int FrameHeight = 0;
    Projection3D Projection = Projection3D::Orthographic;
};

// Where a world point lands in the picture, as the painter places it:
// normalised device x and y (-1..1 across the viewport) after the camera,
// tilt, turn, zoom and lowering of the settings and the projection with the
// aspect width / height.
struct ScreenPoint3D {
    double X, Y;
};
ScreenPoint3D ProjectPoint3D(const RenderSettings3D& settings, Projection3D projection, double aspect,
                             Vertex3D point);

// Replaces scene with the frame's content in drawing order: the three axis
// lines, the dotted guide lines, then, with a surface, the wire mesh (Wire) or
// the planes with their side walls and the lifted wire overlay (Plane), and
// the value labels. Surface colours on the ramp take request.Ramp.
//
// When the frame is known and a label's text would reach past the left or
// right edge of the picture (long values such as 129455.14 beside a zoomed
// box), all three labels move toward the box, at most until they end 0.01
// before its edge x = -0.5, and, if that is not enough, are drawn smaller,
// all by the same factor, until the widest ends 2 pixels inside the picture.
// Labels whose box end itself lies outside the picture are left as they are.
void BuildScene(Scene3D& scene, const RenderSettings3D& settings, const SceneRequest3D& request);

// Value position of v on the record's Min..Max, clamped to 0..1; 0 when Max
// equals Min.
float ValuePosition(const ThkData& record, double v);

// A fixed colour as the renderer uses it (channels 0..1).
Rgb3D FixedRgb(Color color);
