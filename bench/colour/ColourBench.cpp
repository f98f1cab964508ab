#include <benchmark/benchmark.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <memory>

#include "colour/ColorMap.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "colour/PlainColorMap.h"
#include "colour/PlainContours.h"
#include "support/RecordFactory.h"

namespace {

void BM_DrawColorMap_Size500(benchmark::State& state) {
    const auto record = SmoothRecord();
    const GradationTable table = ColormapPreset();
    const bool useRamp = state.range(0) != 0;
    QImage image(301, 301, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawColorMap(image, *record, useRamp, StartupRampSet, {}, 0xFF0000, table);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DrawColorMap_Size500)->Arg(1)->Arg(0)->ArgName("ramp")->Unit(benchmark::kMillisecond);

// The literal twin: the pixel-by-pixel loop with the plain colour functions.
void BM_LiteralDrawColorMap_Size500(benchmark::State& state) {
    const auto record = SmoothRecord();
    const GradationTable table = ColormapPreset();
    const bool useRamp = state.range(0) != 0;
    for (auto _ : state) {
        QImage image = plain::DrawColorMap(301, 301, *record, useRamp, StartupRampSet, {}, 0xFF0000, table);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LiteralDrawColorMap_Size500)->Arg(1)->Arg(0)->ArgName("ramp")->Unit(benchmark::kMillisecond);

void BM_DrawColorBar(benchmark::State& state) {
    const GradationTable table = ColormapPreset();
    const bool useRamp = state.range(0) != 0;
    QImage image(9, 265, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawColorBar(image, useRamp, StartupRampSet, table);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DrawColorBar)->Arg(1)->Arg(0)->ArgName("ramp")->Unit(benchmark::kMicrosecond);

void BM_DrawContourLines_Size500_5Levels(benchmark::State& state) {
    const auto record = SmoothRecord();
    const GradationTable table = ColormapPreset();
    QImage image(301, 301, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawContourLines(image, *record, record->Size, 5, table, true, DrawingRampSet, Color{0x000000});
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DrawContourLines_Size500_5Levels)->Unit(benchmark::kMillisecond);

// The literal twin: every edge put to the start test, every segment drawn
// with its own line call.
class PlainPainterSink final : public ContourSink {
public:
    explicit PlainPainterSink(QPainter& painter) : painter_(painter) {
        painter_.setRenderHint(QPainter::Antialiasing, false);
    }
    void BeginLevel(int, double, Color pen) override {
        painter_.setPen(
            QPen(QBrush(QColor::fromRgb(ColorToArgb(pen))), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    }
    void MoveTo(int sx, int sy, double, double) override { current_ = QPoint(sx, sy); }
    void LineTo(int sx, int sy, double, double) override {
        painter_.drawLine(current_, QPoint(sx, sy));
        current_ = QPoint(sx, sy);
    }

private:
    QPainter& painter_;
    QPoint current_;
};

void BM_LiteralDrawContourLines_Size500_5Levels(benchmark::State& state) {
    const auto record = SmoothRecord();
    const GradationTable table = ColormapPreset();
    for (auto _ : state) {
        QImage image(301, 301, QImage::Format_RGB32);
        image.fill(0xFF000000u);
        {
            QPainter painter(&image);
            PlainPainterSink sink(painter);
            plain::TraceContours(*record, record->Size, 301, 301, 5, table, true, DrawingRampSet, sink);
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LiteralDrawContourLines_Size500_5Levels)->Unit(benchmark::kMillisecond);

// The same levels traced without drawing: the scan and the traces alone.
void BM_TraceContours_Size500_5Levels(benchmark::State& state) {
    struct CountingSink final : ContourSink {
        long points = 0;
        void BeginLevel(int, double, Color) override {}
        void MoveTo(int, int, double, double) override { ++points; }
        void LineTo(int, int, double, double) override { ++points; }
    };
    const auto record = SmoothRecord();
    const GradationTable table = ColormapPreset();
    for (auto _ : state) {
        CountingSink sink;
        TraceContours(*record, record->Size, 301, 301, 5, table, true, DrawingRampSet, sink);
        benchmark::DoNotOptimize(sink.points);
    }
}
BENCHMARK(BM_TraceContours_Size500_5Levels)->Unit(benchmark::kMillisecond);

}  // namespace
