#include "session/FileJob.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "calc/SurfaceFitter.h"

namespace {

// The last k components of path ("a/b/c.thk", 2: "b/c.thk"); the whole path
// when it has no more.
std::string LastComponents(const std::string& path, int k) {
    std::size_t start = path.size();
    for (int i = 0; i < k; ++i) {
        const std::size_t slash = start == 0 ? std::string::npos : path.find_last_of('/', start - 1);
        if (slash == std::string::npos) return path;
        start = slash;
    }
    return path.substr(start + 1);
}

}  // namespace

std::vector<std::string> DistinguishingNames(const std::vector<std::string>& paths) {
    std::vector<std::string> names(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // More components until no other path ends the same way (or the
        // whole path is reached: the same file named twice).
        for (int k = 1;; ++k) {
            names[i] = LastComponents(paths[i], k);
            bool shared = false;
            for (std::size_t j = 0; j < paths.size() && !shared; ++j)
                shared = j != i && paths[j] != paths[i] && LastComponents(paths[j], k) == names[i];
            if (!shared || names[i] == paths[i]) break;
        }
    }
    return names;
}

FileJobResult RunFileJob(const SourceInput& source, const std::string& name, const FileJobRequest& request,
                         SurfaceFitter& fitter, PreparedRecords& records) {
    const auto start = std::chrono::steady_clock::now();
    FileJobResult result;
    result.Row.Name = name;
    result.Settings = request.Settings;
    const MessageSink keep([&result](const std::string& text) { result.Messages.push_back(text); });
    // The failing step's message is the last one shown; any before it (a
    // radius search that found nothing) were warnings.
    const auto fail = [&] {
        if (result.Messages.empty()) {
            result.Row.Error = "The file could not be read.";
        } else {
            result.Row.Error = result.Messages.back();
            result.Messages.pop_back();
        }
    };
    if (PrepareSource(source, result.Settings, request.Data, fitter, records, keep) != 1 ||
        !records.Record(request.Data).Valid) {
        fail();
    } else if (AnalyzeRecord(records.Record(request.Data), &records.Record(DataKind::Raw), request.Analysis,
                             result.Analysis, keep, records.AnalysisScratch()) != 1) {
        fail();
    } else {
        result.Row.Size = records.Record(DataKind::Raw).Size;
        result.Row.Figures = result.Analysis.Shown;
        result.Row.SiteCount = result.Analysis.Sites ? result.Analysis.Sites->Count : 0;
        result.Row.Radius = result.Settings.SearchRad;
        if (result.Analysis.Shown.Count == 0) keep.Show(EmptyAreaMessage);
    }
    for (const std::string& text : result.Messages)
        result.Row.Warnings += (result.Row.Warnings.empty() ? "" : "\n") + text;
    result.Row.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

void RunFileJobs(const std::vector<SourceInput>& sources, const FileJobRequest& request, int threads,
                 const std::function<void(std::size_t, FileJobResult&, const PreparedRecords&)>& done,
                 const std::function<void(int, int)>& progress) {
    const int total = static_cast<int>(sources.size());
    std::vector<std::string> paths;
    paths.reserve(sources.size());
    for (const SourceInput& source : sources)
        paths.push_back(source.Path);
    const std::vector<std::string> names = DistinguishingNames(paths);
    std::atomic<int> next{0};
    int finished = 0;
    std::mutex progressLock;
    auto work = [&] {
        // Each thread's own records and fitter, reused from file to file.
        auto records = std::make_unique<PreparedRecords>();
        auto fitter = std::make_unique<SurfaceFitter>();
        for (int i = next++; i < total; i = next++) {
            const SourceInput& source = sources[static_cast<std::size_t>(i)];
            FileJobResult result =
                RunFileJob(source, names[static_cast<std::size_t>(i)], request, *fitter, *records);
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
