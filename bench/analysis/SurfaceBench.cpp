// The smooth surfaces on wafer-sized records (1 mm cells) and the
// cross-validation of the grid-and-spline surface on a 49-site dome.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "analysis/ThinPlateSpline.h"
#include "session/LeaveOneOut.h"
#include "session/Prepare.h"
#include "session/Surface.h"
#include "support/DomeSites.h"

namespace {

// A square lattice of side x side sites over the square inscribed in a
// 300 mm wafer, as points in mm on a Size 300 record.
std::unique_ptr<ThkData> LatticeSites(int side) {
    auto record = NewRecord(300, 1, 1);
    const double step = 208.0 / (side - 1);
    int number = 0;
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            const double x = -104.0 + i * step, y = -104.0 + j * step;
            const double z = DomeThickness(x, y, 150.0) + 4.0 * std::sin(x / 20.0);
            record->Points.push_back({x, y, z, ++number});
            record->Value[static_cast<int>(std::round(150 + x))][static_cast<int>(std::round(150 - y))] = z;
        }
    record->Valid = true;
    RecalcStatistics(*record);
    return record;
}

// 121 sites: 11 x 11; 625: 25 x 25.
std::unique_ptr<ThkData> Sites(int count) {
    return LatticeSites(static_cast<int>(std::lround(std::sqrt(count))));
}

WaferFrame Frame300() {
    WaferGeometry wafer;
    wafer.DiameterMm = 300.0;
    return FrameOf(wafer, 300);
}

void BM_SurfaceFitAndEvaluate(benchmark::State& state, SurfaceChoice choice) {
    const auto raw = Sites(static_cast<int>(state.range(0)));
    const std::vector<SurfaceSite> sites = SitesOf(*raw, PointUnits::Millimetres);
    auto surface = NewRecord();
    SurfaceResult result;
    for (auto _ : state) {
        BuildSurface(*raw, sites, Frame300(), choice, *surface, result, MessageSink());
        benchmark::DoNotOptimize(surface->Mean);
    }
    state.counters["sites"] = static_cast<double>(sites.size());
}
BENCHMARK_CAPTURE(BM_SurfaceFitAndEvaluate, tps, SurfaceChoice{SurfaceKind::ThinPlate, 0})
    ->Arg(121)
    ->Arg(625)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SurfaceFitAndEvaluate, zernike8, SurfaceChoice{SurfaceKind::Zernike, 8})
    ->Arg(121)
    ->Unit(benchmark::kMillisecond);

void BM_ThinPlateLeaveOneOut(benchmark::State& state) {
    const auto raw = Sites(121);
    const WaferFrame frame = Frame300();
    std::vector<FitPoint> points;
    std::vector<double> values;
    for (const SurfaceSite& s : SitesOf(*raw, PointUnits::Millimetres)) {
        points.push_back(FitPointOf(frame, s.X, s.Y));
        values.push_back(s.Value);
    }
    ThinPlateSpline spline;
    spline.Fit(points, values);
    for (auto _ : state)
        benchmark::DoNotOptimize(spline.LeaveOneOutResiduals());
}
BENCHMARK(BM_ThinPlateLeaveOneOut)->Unit(benchmark::kMicrosecond);

void BM_SplineLeaveOneOut(benchmark::State& state) {
    const auto raw = DomeRecord();
    const std::vector<SurfaceSite> sites = SitesOf(*raw, PointUnits::Millimetres);
    ViewSettings settings;
    settings.SearchRad = FindSearchRadius(*raw, settings, MessageSink())->Radius;
    std::vector<SiteResidual> residuals;
    for (auto _ : state) {
        SplineLeaveOneOut(*raw, sites, settings, residuals);
        benchmark::DoNotOptimize(residuals.data());
    }
}
BENCHMARK(BM_SplineLeaveOneOut)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
