// The analysis figures of a full Size 500 record (every cell holding data,
// like a Fill record) inside a 200 mm wafer with 5 mm edge exclusion.

#include <benchmark/benchmark.h>

#include "analysis/AnalysisMask.h"
#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "support/RecordFactory.h"

namespace {

WaferGeometry Wafer200() {
    WaferGeometry g;
    g.DiameterMm = 200.0;
    g.EdgeExclusionMm = 5.0;
    return g;
}

void BM_AnalysisMask(benchmark::State& state) {
    for (auto _ : state) {
        AnalysisMask mask(500, Wafer200());
        benchmark::DoNotOptimize(mask.CellCount());
    }
}
BENCHMARK(BM_AnalysisMask)->Unit(benchmark::kMicrosecond);

void BM_AreaStatistics(benchmark::State& state) {
    const auto record = SmoothRecord();
    const AnalysisMask mask(500, state.range(0) != 0 ? Wafer200() : WaferGeometry{});
    for (auto _ : state) {
        const AreaStatistics s = CalcAreaStatistics(*record, mask);
        benchmark::DoNotOptimize(s.Sigma);
    }
}
BENCHMARK(BM_AreaStatistics)->ArgName("wafer")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_DiameterProfile(benchmark::State& state) {
    const auto record = SmoothRecord();
    const AnalysisMask mask(500, Wafer200());
    for (auto _ : state) {
        const auto points = DiameterProfile(*record, mask, ProfileAxis::X);
        benchmark::DoNotOptimize(points.data());
    }
}
BENCHMARK(BM_DiameterProfile)->Unit(benchmark::kMicrosecond);

void BM_LineProfileDiagonal(benchmark::State& state) {
    const auto record = SmoothRecord();
    const AnalysisMask mask(500, Wafer200());
    for (auto _ : state) {
        const auto points = LineProfile(*record, mask, 0.0, 0.0, 500.0, 500.0);
        benchmark::DoNotOptimize(points.data());
    }
}
BENCHMARK(BM_LineProfileDiagonal)->Unit(benchmark::kMicrosecond);

void BM_RadialProfile(benchmark::State& state) {
    const auto record = SmoothRecord();
    const AnalysisMask mask(500, state.range(0) != 0 ? Wafer200() : WaferGeometry{});
    for (auto _ : state) {
        const auto rings = RadialProfile(*record, mask);
        benchmark::DoNotOptimize(rings.data());
    }
}
BENCHMARK(BM_RadialProfile)->ArgName("wafer")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_Histogram(benchmark::State& state) {
    const auto record = SmoothRecord();
    const AnalysisMask mask(500, Wafer200());
    for (auto _ : state) {
        const Histogram h = CalcHistogram(*record, mask, 64);
        benchmark::DoNotOptimize(h.Counts.data());
    }
}
BENCHMARK(BM_Histogram)->Unit(benchmark::kMicrosecond);

}  // namespace
