#include "calc/Fill.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "calc/BSpline.h"
#include "core/Message.h"

namespace {

constexpr int MinDegree = 1;
constexpr int MaxDegree = 10;

// Pitch steps across the data area; a non-positive pitch has none (and must not
// reach an integer division).
int PitchSteps(int size, int pitch) {
    return pitch > 0 ? size / pitch : 0;
}

}  // namespace

int CheckLatticeComplete(const ThkData& record) {
    // A non-positive pitch would never leave the walk; step by at least one.
    const int stepX = std::max(record.PitchX, 1);
    const int stepY = std::max(record.PitchY, 1);
    for (int x = 0; x <= record.ExtentX; x += stepX) {
        for (int y = 0; y <= record.ExtentY; y += stepY) {
            const bool inside = x <= ThkMaxSize && y <= ThkMaxSize;
            if (!inside || !HasData(record.Value[x][y])) {
                ShowMessage("Data nothing -> X:" + std::to_string(x) + " Y:" + std::to_string(y));
                return -1;
            }
        }
    }
    return 1;
}

int FillGrid(const ThkData& grid, ThkData& fill, int k) {
    // k selects the recurrence depth and the knot layout; outside the range the
    // window allows it would index the basis columns out of range.
    if (k < MinDegree || k > MaxDegree) {
        ShowMessage("<FillGrid> Spline order out of range.");
        return -1;
    }
    const int nx = PitchSteps(grid.Size, grid.PitchX);
    const int ny = PitchSteps(grid.Size, grid.PitchY);
    // A negative extent leaves no lattice along that axis at all.
    if (k + 2 > nx || grid.ExtentX < 0) {
        ShowMessage("No enough to fill data.(X count= " + std::to_string(nx) + ")");
        return -1;
    }
    if (k + 2 > ny || grid.ExtentY < 0) {
        ShowMessage("No enough to fill data.(Y count= " + std::to_string(ny) + ")");
        return -1;
    }
    if (CheckLatticeComplete(grid) != 1) return -1;

    const int ns = grid.ExtentX / grid.PitchX + 1;
    const int nt = grid.ExtentY / grid.PitchY + 1;
    SetSplineSize(ns, nt, k, grid.PitchX, grid.PitchY);
    SplineState& s = Spline();
    for (int i = 0; i < ns; ++i)
        for (int j = 0; j < nt; ++j)
            s.Z[static_cast<std::size_t>(i) * nt + j] =
                static_cast<float>(grid.Value[i * grid.PitchX][j * grid.PitchY]);

    BuildKnots(SplineX);
    BuildKnots(SplineY);
    BuildCollocation();
    if (DecomposeLU() != 1) {
        ShowMessage("<FillGrid> Matrix decomposition error.");
        return -1;
    }
    SolveLU(s.Z, s.Cf);
    EvalSurface();
    // Values near the float limit overshoot it between the nodes; a surface
    // that single precision cannot hold is refused, never shown as empty.
    const std::size_t used = static_cast<std::size_t>(s.Ms) * static_cast<std::size_t>(s.Mt);
    for (std::size_t i = 0; i < used; ++i)
        if (!std::isfinite(s.Raster[i])) {
            ShowMessage("<FillGrid> Surface out of range.");
            return -1;
        }

    ClearThkData(&fill, 1);
    double min = RunningMinStart;
    double max = StatInitMax;
    for (int x = 0; x < s.Ms; ++x) {
        const float* column = &s.Raster[static_cast<std::size_t>(x) * s.Mt];
        for (int y = 0; y < s.Mt; ++y) {
            const double v = column[y];
            fill.Value[x][y] = v;
            if (min > v) min = v;
            if (max < v) max = v;
        }
    }
    fill.Valid = true;
    StoreStatistics(fill, min, max);
    return 1;
}

int RunFill(const ThkData& grid, ThkData& fill, int k) {
    if (FillGrid(grid, fill, k) != 1) {
        ClearThkData(&fill, 1);
        return -1;
    }
    fill.Size = grid.Size;
    return 1;
}
