// Grid calculation and radius optimisation, each beside its literal twin (the
// plain window scan with a restart after every radius step) where that twin
// finishes in reasonable time.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "calc/GridCalc.h"
#include "calc/LiteralGridCalc.h"
#include "core/Message.h"
#include "support/RecordFactory.h"

namespace {

using MakeRecord = void (*)(ThkData&);

// Size 500, data on the pitch-10 lattice; calculated with pitch 20, R 80, p 3.
void DefaultData(ThkData& r) {
    workload::Dome(r, 500, 10, 1);
}
// Size 500, every coordinate holds data.
void DenseData(ThkData& r) {
    workload::Dense(r, 500, 2);
}
// 49 random points on the 500 area: the radius has to grow far.
void SparseData(ThkData& r) {
    workload::RandomPoints(r, 500, 49, 3);
}

template <MakeRecord Make, bool Literal>
void BM_CalcGrid(benchmark::State& state) {
    auto source = NewRecord();
    Make(*source);
    auto grid = NewRecord();
    for (auto _ : state) {
        if constexpr (Literal)
            literal::CalcGrid(*source, *grid, 3.0, 80.0f, 20);
        else
            CalcGrid(*source, *grid, 3.0, 80.0f, 20);
        benchmark::DoNotOptimize(grid->Mean);
    }
}

template <MakeRecord Make, bool Literal>
void BM_OptimizeSearchRadius(benchmark::State& state) {
    const int pitch = static_cast<int>(state.range(0));
    const int minCount = static_cast<int>(state.range(1));
    auto record = NewRecord();
    Make(*record);
    const MessageSink quiet([](const std::string&) {});
    float radius = 0.0f;
    for (auto _ : state) {
        if constexpr (Literal)
            radius = literal::OptimizeSearchRadius(*record, pitch, minCount, quiet);
        else
            radius = OptimizeSearchRadius(*record, pitch, minCount, quiet);
        benchmark::DoNotOptimize(radius);
    }
    state.SetLabel("R " + std::to_string(radius));
}

BENCHMARK(BM_CalcGrid<DefaultData, false>)->Name("CalcGrid/default")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcGrid<DefaultData, true>)
    ->Name("CalcGrid/default/literal")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_CalcGrid<DenseData, false>)->Name("CalcGrid/dense")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcGrid<DenseData, true>)
    ->Name("CalcGrid/dense/literal")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK(BM_OptimizeSearchRadius<SparseData, false>)
    ->Name("OptimizeSearchRadius/sparse49")
    ->Args({20, 3})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimizeSearchRadius<SparseData, true>)
    ->Name("OptimizeSearchRadius/sparse49/literal")
    ->Args({20, 3})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_OptimizeSearchRadius<DenseData, false>)
    ->Name("OptimizeSearchRadius/dense")
    ->Args({2, 10})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimizeSearchRadius<DenseData, true>)
    ->Name("OptimizeSearchRadius/dense/literal")
    ->Args({2, 10})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_OptimizeSearchRadius<DefaultData, false>)
    ->Name("OptimizeSearchRadius/default")
    ->Args({20, 3})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OptimizeSearchRadius<DefaultData, true>)
    ->Name("OptimizeSearchRadius/default/literal")
    ->Args({20, 3})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
