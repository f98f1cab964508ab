#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QSurfaceFormat>
#include <cmath>
#include <memory>

#include "render3d/Offscreen3D.h"
#include "render3d/Scene3D.h"
#include "support/RecordFactory.h"

// Frames of the 3D view drawn off-screen (with a display: Mesa's software
// renderer under Xvfb), and the scene building alone, for a Size-500 surface
// (501 x 501 grid points) in a 501 x 501 pixel picture.

namespace {

constexpr int PictureSide = 501;

// The application an OpenGL context needs; without a display the
// offscreen platform gives no context and the frame benchmarks report that.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "morvaplot_bench";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QSurfaceFormat format;
        format.setRenderableType(QSurfaceFormat::OpenGL);
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        format.setDepthBufferSize(24);
        QSurfaceFormat::setDefaultFormat(format);
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

void BM_Render3DFrame(benchmark::State& state) {
    EnsureApplication();
    const auto record = SmoothRecord();
    View3DOptions options;
    options.DrawPitch = static_cast<int>(state.range(0));
    options.DrawType = state.range(1) == 0 ? Draw3DType::Wire : Draw3DType::Plane;
    Offscreen3DTarget target(PictureSide, PictureSide);
    if (!target.IsValid()) {
        state.SkipWithError("no OpenGL context (no display)");
        return;
    }
    for (auto _ : state)
        target.Render(*record, options);
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Render3DFrame)
    ->ArgsProduct({{1, 2, 5}, {1}})
    ->Args({1, 0})
    ->ArgNames({"pitch", "plane"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_BuildScene3D(benchmark::State& state) {
    const auto record = SmoothRecord();
    const SceneRequest3D request{record.get(), 0, DrawingRampSet, static_cast<int>(state.range(0)),
                                 Draw3DType::Plane};
    const RenderSettings3D settings;
    Scene3D scene;
    for (auto _ : state) {
        BuildScene(scene, settings, request);
        benchmark::DoNotOptimize(scene.Positions.data());
    }
    state.counters["vertices"] = static_cast<double>(scene.Positions.size());
}
BENCHMARK(BM_BuildScene3D)->Arg(1)->Arg(2)->Arg(5)->ArgName("pitch")->Unit(benchmark::kMillisecond);

}  // namespace
