// A report's two costs per file: preparing the entry (read a 251,001-line
// .thk file, Calc, Fill, the map picture and the figures) and writing its
// page (the annotated picture and the profile chart into a PDF). The
// page must not cost more than the fill.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "calc/SurfaceFitter.h"
#include "cli/ReportCommand.h"
#include "report/Report.h"
#include "report/ReportApplication.h"
#include "session/Prepare.h"

namespace {

// Every cell of a Size-500 square: 2 + 501 x 501 lines.
QString WriteFullFile(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("full.thk"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    QByteArray text = "500\n1,1\n";
    text.reserve(251001 * 20);
    for (int x = 0; x <= 500; ++x)
        for (int y = 0; y <= 500; ++y) {
            const double dx = x - 250.0;
            const double dy = y - 250.0;
            text +=
                QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                QByteArray::number(500.0 - 1e-4 * (dx * dx + dy * dy) + 0.01 * std::sin(x * 0.1), 'f', 3) +
                ",\n";
        }
    file.write(text);
    return path;
}

struct Fixture {
    QTemporaryDir dir;
    QString path = WriteFullFile(dir);
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

// One file's entry of a report at the defaults (Fill, no wafer).
ReportEntry PrepareOne(const std::string& path) {
    FileJobRequest job;
    job.Analysis = ReportAnalysisRequest({});
    return PrepareReportEntries({SourceOfFile(path)}, job, {}, 1, {}).front();
}

void BM_ReportPrepareEntry_251001Lines(benchmark::State& state) {
    // The map picture's labels need a QGuiApplication at least.
    const ReportApplication application;
    const std::string path = Files().path.toStdString();
    for (auto _ : state) {
        ReportEntry entry = PrepareOne(path);
        if (entry.Failed()) state.SkipWithError(entry.Error.c_str());
        benchmark::DoNotOptimize(entry.Picture.Shown.Mean);
    }
}
BENCHMARK(BM_ReportPrepareEntry_251001Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Fill alone, on the Grid record of the same file.
void BM_FillOnly_251001Lines(benchmark::State& state) {
    ViewSettings settings;
    auto records = std::make_unique<PreparedRecords>();
    auto fitter = std::make_unique<SurfaceFitter>();
    if (PrepareSource(SourceOfFile(Files().path.toStdString()), settings, DataKind::Grid, *fitter, *records,
                      MessageSink()) != 1)
        state.SkipWithError("load failed");
    for (auto _ : state)
        if (FillStep(*fitter, records->Record(DataKind::Grid), records->Record(DataKind::Fill), settings,
                     MessageSink()) != 1)
            state.SkipWithError("fill failed");
}
BENCHMARK(BM_FillOnly_251001Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Fill as a report's file meets it: the first of a fresh session, whose
// surface fitter has no factors yet.
void BM_FirstFill_251001Lines(benchmark::State& state) {
    ViewSettings settings;
    auto records = std::make_unique<PreparedRecords>();
    for (auto _ : state) {
        state.PauseTiming();
        auto fitter = std::make_unique<SurfaceFitter>();
        if (PrepareSource(SourceOfFile(Files().path.toStdString()), settings, DataKind::Grid, *fitter,
                          *records, MessageSink()) != 1)
            state.SkipWithError("load failed");
        state.ResumeTiming();
        if (FillStep(*fitter, records->Record(DataKind::Grid), records->Record(DataKind::Fill), settings,
                     MessageSink()) != 1)
            state.SkipWithError("fill failed");
    }
}
BENCHMARK(BM_FirstFill_251001Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

// A report of range(0) pages of the same file (plus its summary page): a
// document's fonts are embedded once, so the cost of a page is the slope.
void BM_ReportWritePages_251001Lines(benchmark::State& state) {
    // The profile chart's graphics scene needs a QApplication.
    const ReportApplication application;
    const auto pages = static_cast<std::size_t>(state.range(0));
    std::vector<ReportEntry> entries;
    entries.push_back(PrepareOne(Files().path.toStdString()));
    // Each page gets pictures of its own, as the files of a real report do:
    // the PDF writer stores an image it has seen before only once.
    for (std::size_t i = 1; i < pages; ++i) {
        entries.push_back(entries.front());
        entries.back().Picture.Map = entries.front().Picture.Map.copy();
        entries.back().Picture.Bar = entries.front().Picture.Bar.copy();
    }
    const std::string out =
        QFile::encodeName(Files().dir.filePath(QStringLiteral("pages.pdf"))).toStdString();
    for (auto _ : state)
        if (WriteReportPdf(out, entries, QStringLiteral("Bench"), MessageSink()) != 1)
            state.SkipWithError("write failed");
}
BENCHMARK(BM_ReportWritePages_251001Lines)->Arg(1)->Arg(11)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
