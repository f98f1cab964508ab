#include "render3d/Scene3D.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string_view>

#include "data/ThkData.h"
#include "render3d/StrokeFont.h"

static_assert(sizeof(Vertex3D) == 3 * sizeof(float), "positions are handed to GL as packed floats");
static_assert(sizeof(Rgb3D) == 3 * sizeof(float), "colours are handed to GL as packed floats");

namespace {

constexpr float LiftStep = 0.005f;
// Label origin: left of the box edge x = -0.5 at the front corner.
constexpr float LabelX0 = -0.55f;
constexpr float LabelY0 = 0.0f;
constexpr float LabelZ0 = 0.5f;

Rgb3D ToRgb(const std::array<float, 3>& c) {
    return {c[0], c[1], c[2]};
}

// Opens a run of kind and look, or continues the last one when the pieces can
// simply be appended to it (never for strips, which must stay apart).
void BeginRun(Scene3D& scene, Primitive3D kind, LineLook look) {
    const int first = static_cast<int>(scene.Positions.size());
    if (kind != Primitive3D::LineStrip && !scene.Runs.empty()) {
        const SceneRun& last = scene.Runs.back();
        if (last.Kind == kind && last.Look == look && last.First + last.Count == first) return;
    }
    scene.Runs.push_back({kind, look, first, 0});
}

void Emit(Scene3D& scene, Vertex3D position, Rgb3D color) {
    scene.Positions.push_back(position);
    scene.Colors.push_back(color);
    ++scene.Runs.back().Count;
}

void EmitSegment(Scene3D& scene, Vertex3D a, Vertex3D b, Rgb3D color) {
    Emit(scene, a, color);
    Emit(scene, b, color);
}

void AddAxes(Scene3D& scene, const RenderSettings3D& s) {
    const Rgb3D c = FixedRgb(s.AxisColor);
    const float h = s.BoxHeight();
    BeginRun(scene, Primitive3D::Lines, LineLook::Plain);
    EmitSegment(scene, {-0.5f, 0, 0.5f}, {0.5f, 0, 0.5f}, c);
    EmitSegment(scene, {-0.5f, 0, -0.5f}, {-0.5f, 0, 0.5f}, c);
    EmitSegment(scene, {-0.5f, 0, 0.5f}, {-0.5f, h, 0.5f}, c);
}

void AddGuides(Scene3D& scene, const RenderSettings3D& s) {
    const Rgb3D c = FixedRgb(s.SubColor);
    const float h = s.BoxHeight();
    BeginRun(scene, Primitive3D::Lines, LineLook::Dotted);
    // Base plane: with the two base axes a 5 x 5 grid at 0.25 spacing.
    for (int i = 0; i < 4; ++i) {
        const float zi = static_cast<float>((i - 2) * 0.25);
        const float xi = static_cast<float>((i - 1) * 0.25);
        EmitSegment(scene, {-0.5f, 0, zi}, {0.5f, 0, zi}, c);
        EmitSegment(scene, {xi, 0, -0.5f}, {xi, 0, 0.5f}, c);
    }
    if (!s.DrawSub) return;
    for (int i = 0; i < 5; ++i) {
        const float u = static_cast<float>((i - 2) * 0.25);
        EmitSegment(scene, {u, 0, -0.5f}, {u, h, -0.5f}, c);
        if (i > 0) EmitSegment(scene, {u, 0, 0.5f}, {u, h, 0.5f}, c);
        EmitSegment(scene, {0.5f, 0, u}, {0.5f, h, u}, c);
        if (i > 0) EmitSegment(scene, {-0.5f, 0, u}, {-0.5f, h, u}, c);
    }
    for (int j = 0; j < 3; ++j) {
        const float y = static_cast<float>(j * 0.5 * h);
        EmitSegment(scene, {-0.5f, y, -0.5f}, {0.5f, y, -0.5f}, c);
        if (j > 0) EmitSegment(scene, {-0.5f, y, 0.5f}, {0.5f, y, 0.5f}, c);
        EmitSegment(scene, {0.5f, y, -0.5f}, {0.5f, y, 0.5f}, c);
        if (j > 0) EmitSegment(scene, {-0.5f, y, -0.5f}, {-0.5f, y, 0.5f}, c);
    }
}

// The pitch lattice of one frame: for every lattice point whether it holds
// data, its value position and its scale colour, each computed once (the
// scale colour of a value does not depend on how often it is asked for).
class Lattice {
public:
    Lattice(const ThkData& record, const RenderSettings3D& s, const RampParameters& ramp, int n, int pitch)
        : record_(record), n_(n), pitch_(pitch), side_(n / pitch + 1), boxHeight_(s.BoxHeight()) {
        const int half = n / 2;
        coord_.resize(static_cast<std::size_t>(side_));
        for (int k = 0; k < side_; ++k)
            coord_[static_cast<std::size_t>(k)] =
                static_cast<float>(k * pitch - half) / static_cast<float>(n);
        const std::size_t cells = static_cast<std::size_t>(side_) * static_cast<std::size_t>(side_);
        has_.assign(cells, 0);
        t_.assign(cells, 0.0f);
        rgb_.assign(cells, Rgb3D{0, 0, 0});
        for (int a = 0; a < side_; ++a) {
            for (int b = 0; b < side_; ++b) {
                const double v = record.Value[a * pitch][b * pitch];
                if (!HasData(v)) continue;
                const std::size_t k = Index(a, b);
                has_[k] = 1;
                t_[k] = ValuePosition(record, v);
                rgb_[k] = ToRgb(GetScaleColorRGB(s.UseRamp, ramp, s.ScaleLowColor, s.ScaleHighColor, t_[k]));
            }
        }
    }

    int N() const { return n_; }
    int Pitch() const { return pitch_; }
    int Side() const { return side_; }
    bool Has(int a, int b) const { return has_[Index(a, b)] != 0; }
    float T(int a, int b) const { return t_[Index(a, b)]; }
    const Rgb3D& Rgb(int a, int b) const { return rgb_[Index(a, b)]; }
    Vertex3D At(int a, int b, float t) const {
        return {coord_[static_cast<std::size_t>(a)], t * boxHeight_, coord_[static_cast<std::size_t>(b)]};
    }
    // Whether the grid cell (ix, iy) holds data; cells outside the value grid do not.
    bool CellHasData(int ix, int iy) const {
        if (ix < 0 || iy < 0 || ix >= ThkGridDim || iy >= ThkGridDim) return false;
        return HasData(record_.Value[ix][iy]);
    }

private:
    std::size_t Index(int a, int b) const {
        return static_cast<std::size_t>(a) * static_cast<std::size_t>(side_) + static_cast<std::size_t>(b);
    }

    const ThkData& record_;
    int n_, pitch_, side_;
    float boxHeight_;
    std::vector<float> coord_;
    std::vector<unsigned char> has_;
    std::vector<float> t_;
    std::vector<Rgb3D> rgb_;
};

// Two passes of line strips, along the data Y direction for every lattice
// column, then along X for every lattice row. Points without data are left
// out and the strip goes on to the next point that has data.
void AddWireMesh(Scene3D& scene, const Lattice& g, const RenderSettings3D& s, VertexMode mode) {
    const Rgb3D frame = FixedRgb(s.FrameColor);
    const Rgb3D side = FixedRgb(s.SideColor);
    const int p = g.Pitch();
    for (int pass = 0; pass < 2; ++pass) {
        for (int a = 0; a < g.Side(); ++a) {
            BeginRun(scene, Primitive3D::LineStrip, LineLook::Plain);
            for (int b = 0; b < g.Side(); ++b) {
                const int ca = pass == 0 ? a : b;
                const int cb = pass == 0 ? b : a;
                if (!g.Has(ca, cb)) continue;
                float t = g.T(ca, cb);
                Rgb3D color = g.Rgb(ca, cb);
                if (mode == VertexMode::Lifted || mode == VertexMode::Lowered) {
                    color = frame;
                    // Kept on the surface at the strip's first point and where
                    // the next cell along the strip is empty.
                    const int ix = ca * p + (pass == 1 ? 1 : 0);
                    const int iy = cb * p + (pass == 0 ? 1 : 0);
                    if (b != 0 && g.CellHasData(ix, iy))
                        t = mode == VertexMode::Lifted ? t + LiftStep : t - LiftStep;
                } else if (mode == VertexMode::Side) {
                    color = side;
                }
                Emit(scene, g.At(ca, cb, t), color);
            }
            if (scene.Runs.back().Count == 0) scene.Runs.pop_back();
        }
    }
}

// A wall from surface point P to surface point Q down to the base (y = 0).
void EmitWall(Scene3D& scene, const Lattice& g, int pa, int pb, int qa, int qb, Rgb3D color) {
    const Vertex3D p = g.At(pa, pb, g.T(pa, pb));
    const Vertex3D q = g.At(qa, qb, g.T(qa, qb));
    Emit(scene, p, color);
    Emit(scene, q, color);
    Emit(scene, {q.X, 0.0f, q.Z}, color);
    Emit(scene, {p.X, 0.0f, p.Z}, color);
}

// Planes of the whole lattice cells, cell by cell in drawing order: the
// quadrilateral of a cell with four corners, then the walls that close the
// outline of the drawn area when side walls are on.
void AddPlanes(Scene3D& scene, const Lattice& g, const RenderSettings3D& s) {
    const Rgb3D side = FixedRgb(s.SideColor);
    const int n = g.N();
    const int p = g.Pitch();
    BeginRun(scene, Primitive3D::Quads, LineLook::Plain);
    for (int ix = 0; ix < n; ix += p) {
        for (int iy = 0; iy < n; iy += p) {
            if (ix + p > n || iy + p > n || ix + p > ThkMaxSize || iy + p > ThkMaxSize) continue;
            const int a = ix / p;
            const int b = iy / p;
            // Corners C0 (ix, iy), C1 (ix + p, iy), C2 (ix, iy + p), C3 (ix + p, iy + p).
            const int ca[4] = {a, a + 1, a, a + 1};
            const int cb[4] = {b, b, b + 1, b + 1};
            bool has[4];
            int count = 0;
            for (int k = 0; k < 4; ++k) {
                has[k] = g.Has(ca[k], cb[k]);
                count += has[k] ? 1 : 0;
            }
            if (count < 2) continue;
            auto wall = [&](int from, int to) {
                EmitWall(scene, g, ca[from], cb[from], ca[to], cb[to], side);
            };
            if (count == 4) {
                for (int k : {0, 1, 3, 2})
                    Emit(scene, g.At(ca[k], cb[k], g.T(ca[k], cb[k])), g.Rgb(ca[k], cb[k]));
                if (!s.DrawSide) continue;
                if (ix == 0) wall(0, 2);
                if (iy == 0) wall(0, 1);
                if (n % p + p >= n - ix) wall(1, 3);
                if (n % p + p >= n - iy) wall(2, 3);
            } else if (!s.DrawSide) {
                continue;
            } else if (count == 3) {
                if (!has[0]) {
                    wall(1, 3);
                    wall(3, 2);
                } else if (!has[1]) {
                    wall(0, 2);
                    wall(2, 3);
                } else if (!has[2]) {
                    wall(0, 1);
                    wall(1, 3);
                } else {
                    wall(1, 0);
                    wall(0, 2);
                }
            } else if (has[2] && has[3]) {
                wall(2, 3);
            } else if (has[1] && has[3]) {
                wall(1, 3);
            } else if (has[0] && has[2]) {
                wall(0, 2);
            } else if (has[0] && has[1]) {
                wall(1, 0);
            }
        }
    }
    if (scene.Runs.back().Count == 0) scene.Runs.pop_back();
}

// "%.*f" of value, independent of the C locale.
std::string_view LabelText(double value, int decimals, std::array<char, 400>& buffer) {
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc()) return {};
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

// The three value labels: texts and heights (Min, middle, Max).
struct LabelSet {
    std::array<std::array<char, 400>, 3> Buffers;
    std::array<std::string_view, 3> Texts;
    std::array<float, 3> Heights;
};

void MakeLabels(LabelSet& labels, const ThkData& record, const RenderSettings3D& s) {
    const float h = s.BoxHeight();
    // Decimals are bounded so that every text fits the buffer.
    const int decimals = std::clamp(s.LabelDecimals, 0, 40);
    for (std::size_t k = 0; k < 3; ++k) {
        const double f = static_cast<double>(k) * 0.5;
        double value = record.Min + (record.Max - record.Min) * f;
        if (record.Divisor != 0.0) value /= record.Divisor;
        labels.Heights[k] = static_cast<float>(LabelY0 + f * h);
        labels.Texts[k] = LabelText(value, decimals, labels.Buffers[k]);
    }
}

// The x span of a label of length characters of size, its origin moved by
// shift: characters advance 1.5 sizes to the left of the origin, or, mirrored,
// start at the origin and run on to the left.
std::pair<float, float> LabelSpan(int length, float size, float shift, bool mirrored) {
    const float advance = static_cast<float>(1.5 * size);
    const float x0 = LabelX0 + shift;
    if (mirrored) return {x0 - static_cast<float>(std::max(length - 1, 0)) * advance, x0 + size};
    return {x0 - static_cast<float>(length) * advance, x0 - advance + size};
}

// How far the labels move toward the box and by what factor they shrink so
// that every one stays inside the frame: {0, 1} when they fit as designed or
// cannot be fitted.
struct LabelFit {
    float Shift = 0.0f;
    float Scale = 1.0f;
};

LabelFit FitLabels(const LabelSet& labels, const RenderSettings3D& s, const SceneRequest3D& request,
                   float size, bool mirrored) {
    if (request.FrameWidth < 4 || request.FrameHeight < 4) return {};
    const double aspect = static_cast<double>(request.FrameWidth) / request.FrameHeight;
    // Two pixels inside the viewport, which lies one pixel in from every side.
    const double limit = 1.0 - 4.0 / (request.FrameWidth - 2);
    const auto inside = [&](float x, float y) {
        const ScreenPoint3D p = ProjectPoint3D(s, request.Projection, aspect, {x, y, LabelZ0});
        return std::abs(p.X) <= limit;
    };
    const auto fits = [&](float shift, float scale) {
        const float charSize = size * scale;
        for (std::size_t k = 0; k < 3; ++k) {
            const auto [left, right] =
                LabelSpan(static_cast<int>(labels.Texts[k].size()), charSize, shift, mirrored);
            const float top = labels.Heights[k];
            const float bottom = top - 2.0f * charSize;
            if (!inside(left, top) || !inside(left, bottom) || !inside(right, top) || !inside(right, bottom))
                return false;
        }
        return true;
    };
    if (fits(0.0f, 1.0f)) return {};
    // Up to 0.01 before the box edge x = -0.5, measured at the designed size.
    const float boxSide = LabelSpan(1, size, 0.0f, mirrored).second;
    const float maxShift = std::max(-0.51f - boxSide, 0.0f);
    // A label shrunk to almost nothing sits at its box end: if even that is
    // outside, no fitting helps.
    if (!fits(maxShift, 1e-4f)) return {};
    constexpr int Steps = 40;
    if (fits(maxShift, 1.0f)) {
        float low = 0.0f, high = maxShift;  // fits at high, not at low
        for (int i = 0; i < Steps; ++i) {
            const float mid = 0.5f * (low + high);
            (fits(mid, 1.0f) ? high : low) = mid;
        }
        return {high, 1.0f};
    }
    float low = 1e-4f, high = 1.0f;  // fits at low, not at high
    for (int i = 0; i < Steps; ++i) {
        const float mid = 0.5f * (low + high);
        (fits(maxShift, mid) ? low : high) = mid;
    }
    return {maxShift, low};
}

void AddValueLabels(Scene3D& scene, const ThkData& record, const RenderSettings3D& s,
                    const SceneRequest3D& request) {
    const Rgb3D c = FixedRgb(s.LabelColor);
    const bool mirrored = s.ZAngle > 0.0f;
    LabelSet labels;
    MakeLabels(labels, record, s);
    const float designSize = static_cast<float>(s.LabelSize * 0.01);
    const LabelFit fit = FitLabels(labels, s, request, designSize, mirrored);
    const float size = fit.Scale == 1.0f ? designSize : designSize * fit.Scale;
    const float advance = static_cast<float>(1.5 * size);
    const float origin = LabelX0 + fit.Shift;
    BeginRun(scene, Primitive3D::Lines, LineLook::Smooth);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string_view text = labels.Texts[k];
        const float height = labels.Heights[k];
        const int length = static_cast<int>(text.size());
        for (int n = 0; n < length; ++n) {
            const float start = mirrored ? origin - static_cast<float>(n) * advance
                                         : origin + static_cast<float>(n - length) * advance;
            for (const GlyphSegment& g : StrokeGlyph(text[static_cast<std::size_t>(n)])) {
                const float x0 = mirrored ? 1.0f - g.X0 : g.X0;
                const float x1 = mirrored ? 1.0f - g.X1 : g.X1;
                EmitSegment(scene, {start + x0 * size, height + g.Y0 * size, LabelZ0},
                            {start + x1 * size, height + g.Y1 * size, LabelZ0}, c);
            }
        }
    }
    if (scene.Runs.back().Count == 0) scene.Runs.pop_back();
}

}  // namespace

void Scene3D::Clear() {
    Positions.clear();
    Colors.clear();
    Runs.clear();
}

Rgb3D FixedRgb(Color color) {
    // The blend of a colour with itself: the ramp set takes no part.
    return ToRgb(GetScaleColorRGB(false, DrawingRampSet, color, color, 1.0f));
}

ScreenPoint3D ProjectPoint3D(const RenderSettings3D& settings, Projection3D projection, double aspect,
                             Vertex3D point) {
    // The painter's model-view order, applied to the point from the inside
    // out: lowering, zoom, turn (plus a quarter turn) about y, tilt about x,
    // then the camera 3 units back on z.
    const double scale = settings.Zoom * 0.01;
    double x = point.X * scale;
    double y = (point.Y - 0.3) * scale;
    double z = point.Z * scale;
    const double turn = settings.ZAngle + std::numbers::pi / 2.0;
    const double turnedX = std::cos(turn) * x + std::sin(turn) * z;
    z = -std::sin(turn) * x + std::cos(turn) * z;
    x = turnedX;
    const double tilt = settings.XAngle;
    const double tiltedY = std::cos(tilt) * y - std::sin(tilt) * z;
    z = std::sin(tilt) * y + std::cos(tilt) * z - 3.0;
    y = tiltedY;
    switch (projection) {
        case Projection3D::Orthographic:
            return {x / aspect, y};
        case Projection3D::Perspective: {
            const double f = 1.0 / std::tan(15.0 * std::numbers::pi / 180.0);
            const double depth = z < -1e-9 ? -z : 1e-9;
            return {f / aspect * x / depth, f * y / depth};
        }
    }
    return {x, y};
}

float ValuePosition(const ThkData& record, double v) {
    if (record.Max == record.Min) return 0.0f;
    const double t = (v - record.Min) / (record.Max - record.Min);
    if (!(t >= 0.0)) return 0.0f;  // also NaN
    return t > 1.0 ? 1.0f : static_cast<float>(t);
}

void BuildScene(Scene3D& scene, const RenderSettings3D& settings, const SceneRequest3D& request) {
    scene.Clear();
    AddAxes(scene, settings);
    AddGuides(scene, settings);
    const ThkData* record = request.Record;
    if (request.DataIndex == -1 || record == nullptr || !record->Valid) return;
    const int n = std::min(record->Size, ThkMaxSize);
    if (n < 1) return;
    const Lattice lattice(*record, settings, request.Ramp, n, std::max(request.Pitch, 1));
    if (request.DrawType == Draw3DType::Wire) {
        AddWireMesh(scene, lattice, settings, VertexMode::Scale);
    } else if (request.DrawType == Draw3DType::Plane) {
        AddPlanes(scene, lattice, settings);
        if (settings.DrawFrame) AddWireMesh(scene, lattice, settings, VertexMode::Lifted);
    }
    if (settings.DrawLabel) AddValueLabels(scene, *record, settings, request);
}
