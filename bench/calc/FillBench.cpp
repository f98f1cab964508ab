// Fill on a Size 500 lattice at several pitches, beside the literal twin where
// that finishes in reasonable time (dense elimination is O(N^3)). Repeated
// fills of one lattice shape solve with the factors kept from the first.

#include <benchmark/benchmark.h>

#include <memory>

#include "calc/Fill.h"
#include "calc/SurfaceFitter.h"
#include "calc/LiteralBSpline.h"
#include "core/Message.h"

namespace {

struct Records {
    std::unique_ptr<ThkData> grid = std::make_unique<ThkData>();
    std::unique_ptr<ThkData> fill = std::make_unique<ThkData>();
};

void BM_FillGrid(benchmark::State& state) {
    const int pitch = static_cast<int>(state.range(0));
    Records r;
    literal::MakeLattice(*r.grid, 500, pitch, pitch, 1);
    SurfaceFitter fitter;
    for (auto _ : state) {
        if (FillGrid(fitter, *r.grid, *r.fill, 3, MessageSink()) != 1) state.SkipWithError("FillGrid failed");
        benchmark::DoNotOptimize(r.fill->Value[250][250]);
    }
}
BENCHMARK(BM_FillGrid)->Arg(25)->Arg(20)->Arg(10)->Arg(5)->Arg(2)->Unit(benchmark::kMillisecond);

// The same with the factors of the lattice shape forgotten before every fill,
// as for the first fill of a shape (and in every morvaplot-cli run).
void BM_FillGridFresh(benchmark::State& state) {
    const int pitch = static_cast<int>(state.range(0));
    Records r;
    literal::MakeLattice(*r.grid, 500, pitch, pitch, 1);
    SurfaceFitter fitter;
    for (auto _ : state) {
        fitter.Forget();
        if (FillGrid(fitter, *r.grid, *r.fill, 3, MessageSink()) != 1) state.SkipWithError("FillGrid failed");
        benchmark::DoNotOptimize(r.fill->Value[250][250]);
    }
}
BENCHMARK(BM_FillGridFresh)->Arg(25)->Arg(20)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_LiteralFillGrid(benchmark::State& state) {
    const int pitch = static_cast<int>(state.range(0));
    Records r;
    literal::MakeLattice(*r.grid, 500, pitch, pitch, 1);
    literal::Spline lit;
    for (auto _ : state) {
        if (literal::FillGrid(*r.grid, *r.fill, 3, lit) != 1) state.SkipWithError("literal failed");
        benchmark::DoNotOptimize(r.fill->Value[250][250]);
    }
}
BENCHMARK(BM_LiteralFillGrid)->Arg(25)->Arg(20)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
