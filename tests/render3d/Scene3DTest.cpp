#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "render3d/Scene3D.h"
#include "support/RecordFactory.h"

namespace {

// A Valid record of side n with fn(x, y) in every cell 0..n (NoData leaves a
// hole), statistics computed.
std::unique_ptr<ThkData> Surface(int n, const std::function<double(int, int)>& fn) {
    auto record = NewRecord(n, 1, 1);
    record->Valid = true;
    for (int x = 0; x <= n; ++x)
        for (int y = 0; y <= n; ++y)
            record->Value[x][y] = fn(x, y);
    RecalcStatistics(*record);
    return record;
}

// Side walls in green, no frame, no labels.
RenderSettings3D Plain() {
    RenderSettings3D s;
    s.SideColor = 0x00FF00;
    s.DrawFrame = false;
    s.DrawLabel = false;
    return s;
}

Scene3D Build(const RenderSettings3D& s, const ThkData* record, int pitch, int dataIndex = 0,
              Draw3DType type = Draw3DType::Plane) {
    Scene3D scene;
    BuildScene(scene, s, SceneRequest3D{record, dataIndex, DrawingRampSet, pitch, type});
    return scene;
}

const Vertex3D& At(const Scene3D& s, int k) {
    return s.Positions[static_cast<std::size_t>(k)];
}

bool Same(const Rgb3D& c, const std::array<float, 3>& e) {
    return c.R == e[0] && c.G == e[1] && c.B == e[2];
}

std::vector<SceneRun> RunsOf(const Scene3D& scene, Primitive3D kind, LineLook look) {
    std::vector<SceneRun> runs;
    for (const SceneRun& r : scene.Runs)
        if (r.Kind == kind && r.Look == look) runs.push_back(r);
    return runs;
}

// Vertex indices of the runs, in drawing order.
std::vector<int> VerticesOf(const Scene3D& scene, Primitive3D kind, LineLook look) {
    std::vector<int> k;
    for (const SceneRun& r : RunsOf(scene, kind, look))
        for (int i = r.First; i < r.First + r.Count; ++i)
            k.push_back(i);
    return k;
}

// Each wall as the grid points "x,y-x,y" of its top edge P-Q, in drawing order.
std::vector<std::string> Walls(const Scene3D& scene, int n) {
    std::vector<std::string> walls;
    const auto grid = [&](int k) {
        return std::to_string(std::lround(At(scene, k).X * n) + n / 2) + "," +
               std::to_string(std::lround(At(scene, k).Z * n) + n / 2);
    };
    const std::vector<int> quads = VerticesOf(scene, Primitive3D::Quads, LineLook::Plain);
    for (std::size_t i = 0; i < quads.size(); i += 4) {
        const int k = quads[i];
        if (!Same(scene.Colors[static_cast<std::size_t>(k)], {0.0f, 1.0f, 0.0f})) continue;
        EXPECT_TRUE(At(scene, k + 2).Y == 0.0f && At(scene, k + 3).Y == 0.0f) << "Q, then P on the base";
        walls.push_back(grid(k) + "-" + grid(k + 1));
    }
    return walls;
}

TEST(Scene3D, BoxAxesGuidesAndWhenASurfaceIsDrawn) {
    const auto record = Surface(4, [](int x, int) { return 10.0 + x; });
    auto invalid = Surface(4, [](int x, int) { return 10.0 + x; });
    invalid->Valid = false;
    struct Case {
        const char* name;
        const ThkData* record;
        int dataIndex;
        bool drawSub, drawLabel;
        int dottedSegments;
        bool surface, labels;
    } cases[] = {
        {"surface and labels", record.get(), 0, true, true, 36, true, true},
        {"no wall guides", record.get(), 0, false, true, 8, true, true},
        {"labels off", record.get(), 0, true, false, 36, true, false},
        {"data index -1", record.get(), -1, true, true, 36, false, false},
        {"record not valid", invalid.get(), 0, true, true, 36, false, false},
        {"no record", nullptr, 0, true, true, 36, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RenderSettings3D s;
        s.DrawSub = c.drawSub;
        s.DrawLabel = c.drawLabel;
        const Scene3D scene = Build(s, c.record, 1, c.dataIndex);
        // Three axis segments meeting at the front left corner, the last one up the box height.
        ASSERT_EQ(scene.Runs[0].Kind, Primitive3D::Lines);
        ASSERT_EQ(scene.Runs[0].Count, 6);
        for (int k = 0; k < 6; k += 2) {
            const auto corner = [&](int i) {
                return At(scene, i).X == -0.5f && At(scene, i).Y == 0.0f && At(scene, i).Z == 0.5f;
            };
            EXPECT_TRUE(corner(k) || corner(k + 1)) << k;
        }
        EXPECT_FLOAT_EQ(At(scene, 5).Y, 0.5f);
        EXPECT_EQ(VerticesOf(scene, Primitive3D::Lines, LineLook::Dotted).size(), 2u * c.dottedSegments);
        EXPECT_EQ(!RunsOf(scene, Primitive3D::Quads, LineLook::Plain).empty(), c.surface);
        EXPECT_EQ(!RunsOf(scene, Primitive3D::Lines, LineLook::Smooth).empty(), c.labels);
        EXPECT_EQ(scene.Positions.size(), scene.Colors.size());
    }
}

TEST(Scene3D, FlatSurfaces) {
    const auto tilted = Surface(10, [](int x, int y) { return 100.0 + x + y; });
    const auto level = Surface(10, [](int, int) { return 42.0; });
    const std::array<float, 3> atZero = GetScaleColorRGB(true, DrawingRampSet, 0, 0, 0.0f);
    RenderSettings3D flat = Plain();
    flat.HeightRatio = 0.0f;
    flat.DrawLabel = true;
    // Height ratio 0: surface, box and labels all at or hanging from height 0.
    const Scene3D low = Build(flat, tilted.get(), 2);
    for (int k : VerticesOf(low, Primitive3D::Quads, LineLook::Plain))
        EXPECT_EQ(At(low, k).Y, 0.0f);
    EXPECT_EQ(At(low, 5).Y, 0.0f);
    float top = -1.0f;
    for (int k : VerticesOf(low, Primitive3D::Lines, LineLook::Smooth))
        top = std::max(top, At(low, k).Y);
    EXPECT_EQ(top, 0.0f);
    // Max equal to Min: flat at 0 in the colour of position 0.
    RenderSettings3D planes = Plain();
    planes.DrawSide = false;
    const Scene3D same = Build(planes, level.get(), 2);
    for (int k : VerticesOf(same, Primitive3D::Quads, LineLook::Plain)) {
        EXPECT_EQ(At(same, k).Y, 0.0f);
        EXPECT_TRUE(Same(same.Colors[static_cast<std::size_t>(k)], atZero));
    }
}

TEST(Scene3D, PitchAndExtent) {
    // A pitch beyond the side leaves one point per strip and no planes.
    const auto small = Surface(4, [](int x, int) { return 1.0 + x; });
    const Scene3D coarse = Build(Plain(), small.get(), 5, 0, Draw3DType::Wire);
    const auto strips = RunsOf(coarse, Primitive3D::LineStrip, LineLook::Plain);
    ASSERT_EQ(strips.size(), 2u);
    for (const SceneRun& r : strips)
        EXPECT_EQ(r.Count, 1);
    EXPECT_TRUE(RunsOf(Build(Plain(), small.get(), 5), Primitive3D::Quads, LineLook::Plain).empty());

    // Odd side 301: half is 150, so the surface spans -150/301 .. 151/301 on both axes.
    const auto odd = Surface(301, [](int x, int y) { return 1.0 + x * y; });
    const Scene3D scene = Build(Plain(), odd.get(), 1);
    std::vector<float> xs, zs;
    for (int k : VerticesOf(scene, Primitive3D::Quads, LineLook::Plain)) {
        xs.push_back(At(scene, k).X);
        zs.push_back(At(scene, k).Z);
    }
    for (const auto& v : {xs, zs}) {
        EXPECT_EQ(*std::min_element(v.begin(), v.end()), -150.0f / 301.0f);
        EXPECT_EQ(*std::max_element(v.begin(), v.end()), 151.0f / 301.0f);
    }
}

TEST(Scene3D, SideWalls) {
    // One cell of side 1; corner k present when bit k of the mask is set:
    // C0 (0,0), C1 (1,0), C2 (0,1), C3 (1,1).
    struct Case {
        const char* name;
        int mask;
        std::vector<std::string> walls;
    } cases[] = {
        {"all four: the whole border", 0b1111, {"0,0-0,1", "0,0-1,0", "1,0-1,1", "0,1-1,1"}},
        {"C0 missing", 0b1110, {"1,0-1,1", "1,1-0,1"}},
        {"C1 missing", 0b1101, {"0,0-0,1", "0,1-1,1"}},
        {"C2 missing", 0b1011, {"0,0-1,0", "1,0-1,1"}},
        {"C3 missing", 0b0111, {"1,0-0,0", "0,0-0,1"}},
        {"C2 and C3", 0b1100, {"0,1-1,1"}},
        {"C1 and C3", 0b1010, {"1,0-1,1"}},
        {"C0 and C2", 0b0101, {"0,0-0,1"}},
        {"C0 and C1", 0b0011, {"1,0-0,0"}},
        {"diagonal C0 and C3", 0b1001, {}},
        {"diagonal C1 and C2", 0b0110, {}},
    };
    RenderSettings3D noSides = Plain();
    noSides.DrawSide = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto record =
            Surface(1, [&](int x, int y) { return (c.mask >> (x + 2 * y)) & 1 ? 5.0 + x : NoData; });
        const Scene3D scene = Build(Plain(), record.get(), 1);
        EXPECT_EQ(Walls(scene, 1), c.walls);
        // Only a whole cell has a plane.
        const std::size_t plane = c.mask == 0b1111 ? 4 : 0;
        EXPECT_EQ(VerticesOf(scene, Primitive3D::Quads, LineLook::Plain).size(), 4 * c.walls.size() + plane);
        EXPECT_TRUE(Walls(Build(noSides, record.get(), 1), 1).empty());
    }
    // Whole grids: walls only round the outline, the last whole cell counting
    // as the border also when the side is no multiple of the pitch.
    for (auto [n, pitch, walls] : {std::array{3, 1, 12}, {5, 2, 8}, {4, 4, 4}, {7, 3, 8}}) {
        SCOPED_TRACE("side " + std::to_string(n) + " pitch " + std::to_string(pitch));
        const auto record = Surface(n, [](int x, int y) { return 1.0 + x + 2.0 * y; });
        const std::vector<std::string> found = Walls(Build(Plain(), record.get(), pitch), n);
        EXPECT_EQ(static_cast<int>(found.size()), walls);
        const int last = n / pitch * pitch;
        for (const std::string& w : found) {
            int x0, y0, x1, y1;
            ASSERT_EQ(std::sscanf(w.c_str(), "%d,%d-%d,%d", &x0, &y0, &x1, &y1), 4);
            EXPECT_TRUE((x0 == x1 && (x0 == 0 || x0 == last)) || (y0 == y1 && (y0 == 0 || y0 == last))) << w;
        }
    }
}

TEST(Scene3D, WireOverlayLiftRule) {
    // Level records, so a point on the surface has y 0 and a lifted one
    // 0.005 x BoxHeight. Strip 0 runs along y at x = 0, strip 1 along x at y = 0.
    struct Case {
        const char* name;
        int n, pitch;
        std::vector<std::pair<int, int>> holes;
        int strip;
        std::vector<bool> lift;
    } cases[] = {
        {"first and last points stay", 4, 2, {}, 0, {false, true, false}},
        {"empty cell after the point", 4, 2, {{0, 3}}, 0, {false, false, false}},
        {"along x the next x counts", 4, 2, {{3, 0}}, 1, {false, false, false}},
        {"along x the next y does not", 4, 2, {{0, 1}}, 1, {false, true, false}},
        {"a missing first point", 4, 2, {{0, 0}}, 0, {true, false}},
        {"edge of the value grid", 500, 250, {}, 0, {false, true, false}},
    };
    RenderSettings3D s = Plain();
    s.DrawFrame = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = Surface(c.n, [](int, int) { return 3.0; });
        for (auto [x, y] : c.holes)
            record->Value[x][y] = NoData;
        const Scene3D scene = Build(s, record.get(), c.pitch);
        const auto strips = RunsOf(scene, Primitive3D::LineStrip, LineLook::Plain);
        const int perPass = c.n / c.pitch + 1;
        ASSERT_EQ(static_cast<int>(strips.size()), 2 * perPass);
        const SceneRun& r = strips[static_cast<std::size_t>(c.strip * perPass)];
        ASSERT_EQ(r.Count, static_cast<int>(c.lift.size()));
        for (int k = 0; k < r.Count; ++k)
            EXPECT_EQ(At(scene, r.First + k).Y, c.lift[static_cast<std::size_t>(k)] ? 0.005f * 0.5f : 0.0f)
                << k;
    }
}

TEST(Scene3D, ValueLabels) {
    // Min -1.5, Max 2.5: "-1.50", "0.50", "2.50" at heights 0, h/2, h.
    auto record = Surface(2, [](int x, int) { return -1.5 + 2.0 * x; });
    struct Case {
        const char* name;
        float zAngle;
        double divisor;
        int segments;
        float minusX0, minusX1;  // the first segment: the minus sign
    } cases[] = {
        // L = 5, s = 0.02: the text starts at -0.55 - 5 x 0.03.
        {"facing", 0.0f, 1.0, 17 + 17 + 18, -0.70f, -0.68f},
        // Mirrored from the origin: start -0.55, glyph x replaced by 1 - x.
        {"turned", 0.001f, 1.0, 17 + 17 + 18, -0.53f, -0.55f},
        // -0.0015, 0.0005, 0.0025: "-0.00", "0.00", "0.00"
        {"divided", 0.0f, 1000.0, 17 + 16 + 16, -0.70f, -0.68f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        record->Divisor = c.divisor;
        RenderSettings3D s = Plain();
        s.DrawLabel = true;
        s.ZAngle = c.zAngle;
        const Scene3D scene = Build(s, record.get(), 1);
        const std::vector<int> k = VerticesOf(scene, Primitive3D::Lines, LineLook::Smooth);
        ASSERT_EQ(k.size(), 2u * c.segments);
        EXPECT_FLOAT_EQ(At(scene, k[0]).X, c.minusX0);
        EXPECT_FLOAT_EQ(At(scene, k[1]).X, c.minusX1);
        EXPECT_FLOAT_EQ(At(scene, k[0]).Y, -0.02f);
        EXPECT_EQ(At(scene, k[0]).Z, 0.5f);
        // The last label hangs from the top of the box.
        EXPECT_LE(At(scene, k.back()).Y, 0.5f);
        EXPECT_GE(At(scene, k.back()).Y, 0.5f - 0.04f - 1e-6f);
    }
}

}  // namespace
