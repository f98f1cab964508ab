#include "cli/ReportCommand.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <clocale>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cli/CliRun.h"
#include "colour/ColorSettingFile.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "core/WholeFile.h"
#include "report/QtWholeFile.h"
#include "report/Report.h"
#include "report/ReportApplication.h"
#include "session/FileJob.h"

namespace {

// Whether a file can be written at path, checked before the work, so a
// missing folder costs no time and leaves nothing behind.
bool CanWrite(const std::string& path, const MessageSink& messages) {
    const FileWriteResult check = CheckFileWritable(path);
    if (check.Written()) return true;
    messages.Show("File write error. -> " + path + ": " + check.Reason);
    return false;
}

}  // namespace

std::string ProgressLine(int done, int total, int width) {
    const std::string count = std::to_string(total);
    const std::string number = std::to_string(done);
    std::string line(1, '\r');
    line.append(count.size() - std::min(count.size(), number.size()), ' ');
    line.append(number).append(1, '/').append(count).append(" [");
    const int filled = total > 0 ? static_cast<int>(static_cast<long long>(width) * done / total) : width;
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(width - filled), '.');
    line.append(1, ']');
    return line;
}

std::vector<ReportEntry> PrepareReportEntries(const std::vector<SourceInput>& sources,
                                              const FileJobRequest& job, const ReportPageRequest& page,
                                              int threads, const std::function<void(int, int)>& progress) {
    // Each page's picture is made on the worker that prepared its file,
    // while the worker's records still hold it.
    std::vector<ReportEntry> entries(sources.size());
    RunFileJobs(
        sources, job, threads,
        [&](std::size_t i, FileJobResult& result, const PreparedRecords& records) {
            entries[i] = result.Row.Failed()
                             ? FailedReportEntry(result.Row)
                             : MakeReportEntry(result.Row, records.Record(job.Data),
                                               records.Record(DataKind::Raw), result.Analysis, page);
        },
        progress);
    return entries;
}

int RunReport(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    ReportApplication application;
    if (!application.Ready()) {
        std::fputs("morvaplot-cli: report needs a QApplication\n", err);
        return ExitFailed;
    }
    ReportPageRequest page;
    page.Data = o.DataType;
    page.Wafer = WaferOf(o);
    FileJobRequest job;
    job.Settings = SettingsFrom(o);
    job.Data = o.DataType;
    job.Analysis = ReportAnalysisRequest(page.Wafer);
    const std::string fault = CheckAnalysisRequest(job.Analysis);
    if (!fault.empty()) {
        messages.Show(fault);
        return ExitFailed;
    }
    if (!o.GradationFile.empty()) {
        // Colormap unticked, then Load in the gradation dialog.
        page.Style.UseColormap = false;
        if (LoadColorSetting(o.GradationFile, page.Style.Table, messages) <= 0) {
            std::fprintf(err, "morvaplot-cli: no gradation loaded from %s\n", o.GradationFile.c_str());
            return ExitFailed;
        }
    }
    if (!CanWrite(o.OutFile, messages) || (!o.SummaryFile.empty() && !CanWrite(o.SummaryFile, messages)))
        return ExitFailed;

    const bool terminal = ::isatty(::fileno(err)) == 1;
    constexpr int BarWidth = 40;
    std::function<void(int, int)> progress;
    if (terminal) {
        progress = [err](int done, int total) {
            std::fputs(ProgressLine(done, total, BarWidth).c_str(), err);
            if (done == total) std::fputc('\n', err);
            std::fflush(err);
        };
        progress(0, static_cast<int>(o.Files.size()));
    }
    const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::mutex sharedLock;
    std::vector<SourceInput> sources;
    sources.reserve(o.Files.size());
    for (const std::string& path : o.Files)
        sources.push_back(SourceFrom(o, path));
    if (o.Range) page.Style.Range = FixedRange{o.RangeMin, o.RangeMax};
    if (o.SharedRange && !o.Range) {
        // One scale for every page: the lowest and highest value inside the
        // wafer over all files, found in a first pass over the files.
        std::optional<FixedRange> shared;
        RunFileJobs(sources, job, threads,
                    [&](std::size_t, FileJobResult& result, const PreparedRecords&) {
                        if (!result.Row.HasFigures()) return;
                        const std::lock_guard<std::mutex> lock(sharedLock);
                        const AreaStatistics& s = result.Row.Figures;
                        shared = shared
                                     ? FixedRange{std::min(shared->Min, s.Min), std::max(shared->Max, s.Max)}
                                     : FixedRange{s.Min, s.Max};
                    },
                    {});
        if (shared && shared->Min < shared->Max) page.Style.Range = shared;
    }
    const std::vector<ReportEntry> entries = PrepareReportEntries(sources, job, page, threads, progress);

    bool failed = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].Failed()) continue;
        std::fprintf(err, "%s: %s\n", o.Files[i].c_str(), entries[i].Error.c_str());
        failed = true;
    }
    if (terminal) {
        std::fprintf(err, "Writing %s\n", o.OutFile.c_str());
        std::fflush(err);
    }
    const QString outFile = QFile::decodeName(o.OutFile.c_str());
    const QString title = QStringLiteral("%1 - %2 %3, %4 data")
                              .arg(QFileInfo(outFile).completeBaseName())
                              .arg(entries.size())
                              .arg(entries.size() == 1 ? QStringLiteral("file") : QStringLiteral("files"))
                              .arg(QString::fromLatin1(DataKindName(o.DataType)));
    if (WriteReportPdf(o.OutFile, entries, title, messages) != 1) return ExitFailed;
    if (!o.SummaryFile.empty() && WriteFileWhole(o.SummaryFile, ReportSummaryCsv(entries), messages) != 1)
        return ExitFailed;
    return failed ? ExitFailed : ExitOk;
}
