#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>

#include "analysis/AnalysisMask.h"
#include "core/NumberText.h"
#include "support/RecordFactory.h"
#include "ui/AnalysisMapView.h"

namespace {

constexpr int ViewSide = 1000;

// Text needs an application's fonts; without a display the offscreen
// platform serves.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "morvaplot_ui_bench";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

// A Size-500 Fill-like record under a 200 mm wafer with 5 mm exclusion, and
// a measured site every 10 cells, as the dome sample has them.
AnalysisMapScene WaferScene(const ThkData& record) {
    WaferGeometry wafer;
    wafer.DiameterMm = 200.0;
    wafer.EdgeExclusionMm = 5.0;
    const AnalysisMask mask(record.Size, wafer);
    AnalysisMapScene scene;
    scene.Cells = AnalysisCellImage(record, MapStyle{}, RampSetKind::Startup, mask);
    scene.Frame = mask.Frame();
    scene.WaferRadiusUnits = 100.0 / scene.Frame.MmPerUnit;
    scene.KeptRadiusUnits = std::sqrt(scene.Frame.KeptRadiusSqUnits);
    for (int x = 0; x <= 500; x += 10)
        for (int y = 0; y <= 500; y += 10)
            scene.Sites.push_back({x, y, QString::fromStdString(FormatFixed(record.Value[x][y], 8, 3))});
    return scene;
}

// One paint of the analysis map's view at 1000 x 1000: range(0) = 1, the
// whole square (markers, no texts); 4, zoomed four times about the middle
// (markers with their values).
void BM_AnalysisMapPaint_Size500(benchmark::State& state) {
    EnsureApplication();
    const auto record = SmoothRecord();
    const AnalysisMapScene scene = WaferScene(*record);
    const QRect area(0, 0, ViewSide, ViewSide);
    MapViewport viewport = FitViewport(scene.Cells.width(), area.size());
    viewport = ZoomAbout(viewport, QPointF(ViewSide / 2.0, ViewSide / 2.0),
                         static_cast<double>(state.range(0)), 0.1, 100.0);
    QImage view(ViewSide, ViewSide, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&view);
        PaintAnalysisMap(painter, area, scene, viewport);
        painter.end();
        benchmark::DoNotOptimize(view.constBits());
    }
}
BENCHMARK(BM_AnalysisMapPaint_Size500)->Arg(1)->Arg(4)->ArgName("zoom")->Unit(benchmark::kMillisecond);

// The work done once per new record, colours or mask: the cells coloured
// one pixel each, the mask applied.
void BM_AnalysisCellImage_Size500(benchmark::State& state) {
    const auto record = SmoothRecord();
    WaferGeometry wafer;
    wafer.DiameterMm = 200.0;
    wafer.EdgeExclusionMm = 5.0;
    const AnalysisMask mask(record->Size, wafer);
    for (auto _ : state) {
        QImage cells = AnalysisCellImage(*record, MapStyle{}, RampSetKind::Startup, mask);
        benchmark::DoNotOptimize(cells.constBits());
    }
}
BENCHMARK(BM_AnalysisCellImage_Size500)->Unit(benchmark::kMillisecond);

}  // namespace
