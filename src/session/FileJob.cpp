#include "session/FileJob.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "calc/SurfaceFitter.h"

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FileJobResult RunFileJob(const SourceInput& source, const std::string& name, const FileJobRequest& request,
                         SurfaceFitter& fitter, PreparedRecords& records) {
    const auto start = std::chrono::steady_clock::now();
    FileJobResult result;
    result.Row.Name = name;
    result.Settings = request.Settings;
    std::string first;
    const MessageSink keepFirst([&first](const std::string& text) {
        if (first.empty()) first = text;
    });
    const auto fail = [&] {
        result.Row.Error = first.empty() ? std::string("The file could not be read.") : first;
    };
    if (PrepareSource(source, result.Settings, request.Data, fitter, records, keepFirst) != 1 ||
        !records.Record(request.Data).Valid) {
        fail();
    } else if (AnalyzeRecord(records.Record(request.Data), &records.Record(DataKind::Raw), request.Analysis,
                             result.Analysis, keepFirst) != 1) {
        fail();
    } else {
        result.Row.Size = records.Record(DataKind::Raw).Size;
        result.Row.Figures = result.Analysis.Shown;
        result.Row.Radius = result.Settings.SearchRad;
    }
    result.Row.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

void RunFileJobs(const std::vector<SourceInput>& sources, const FileJobRequest& request, int threads,
                 const std::function<void(std::size_t, FileJobResult&, const PreparedRecords&)>& done,
                 const std::function<void(int, int)>& progress) {
    const int total = static_cast<int>(sources.size());
    std::atomic<int> next{0};
    int finished = 0;
    std::mutex progressLock;
    auto work = [&] {
        // Each thread's own records and fitter, reused from file to file.
        auto records = std::make_unique<PreparedRecords>();
        auto fitter = std::make_unique<SurfaceFitter>();
        for (int i = next++; i < total; i = next++) {
            const SourceInput& source = sources[static_cast<std::size_t>(i)];
            FileJobResult result = RunFileJob(source, FileNameOf(source.Path), request, *fitter, *records);
            if (done) done(static_cast<std::size_t>(i), result, *records);
            const std::lock_guard<std::mutex> lock(progressLock);
            ++finished;
            if (progress) progress(finished, total);
        }
    };
    const int extra = std::clamp(threads, 1, std::max(1, total)) - 1;
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(extra));
    for (int t = 0; t < extra; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
}
