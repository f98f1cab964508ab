#include "FileWorker.h"

#include <malloc.h>

#include <QByteArray>
#include <cstdlib>
#include <limits>

#include "Errors.h"
#include "Pictures.h"
#include "calc/SurfaceFitter.h"
#include "colour/MapPicture.h"
#include "session/MapPlan.h"

py::dict RowOf(const SummaryRow& row) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const auto whole = [&row](long value) -> py::object {
        return row.Failed() ? py::object(py::none()) : py::object(py::int_(value));
    };
    const auto figure = [&row](double value) { return row.HasFigures() ? value : nan; };
    const AreaStatistics& s = row.Figures;
    const py::object values[] = {DecodedText(row.Name),
                                 whole(row.Size),
                                 whole(s.Count),
                                 whole(row.SiteCount),
                                 py::float_(figure(s.Mean)),
                                 py::float_(figure(s.Min)),
                                 py::float_(figure(s.Max)),
                                 py::float_(figure(s.Range)),
                                 py::float_(figure(s.Sigma)),
                                 py::float_(figure(s.Sigma1Pct)),
                                 py::float_(figure(s.Sigma3Pct)),
                                 py::float_(figure(s.UniformityPct)),
                                 py::float_(figure(s.UniformityMaxMinPct)),
                                 py::float_(row.Failed() ? nan : row.Radius),
                                 py::float_(row.Seconds),
                                 DecodedText(row.Error),
                                 DecodedText(row.Warnings)};
    static_assert(std::extent_v<decltype(values)> == SummaryColumns.size());
    py::dict d;
    for (std::size_t i = 0; i < SummaryColumns.size(); ++i)
        d[py::str(SummaryColumns[i].data(), SummaryColumns[i].size())] = values[i];
    return d;
}

namespace {

// A Dask worker's nanny starts it with MALLOC_TRIM_THRESHOLD_=65536, which
// also stops the C library from raising its thresholds as a program frees
// large blocks: every block of 128 KB or more is then mapped afresh, and
// every free that leaves 64 KB at the top of the heap hands it back. The
// stores the engine's steps use within one file (the reader's and the
// grid's values, a few MB for a full record) would be mapped, zeroed and
// faulted in again for every file, which made a worker 30 to 40 % slower
// than a plain process. Where the environment set either threshold, the
// heap keeps blocks up to 4 MB and up to 16 MB of free memory, the values a
// plain process reaches by itself after its first file.
void KeepFileStoresInTheHeap() {
    if (std::getenv("MALLOC_TRIM_THRESHOLD_") == nullptr && std::getenv("MALLOC_MMAP_THRESHOLD_") == nullptr)
        return;
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, 16 << 20);
}

}  // namespace

FileWorker::FileWorker()
    : records_(std::make_unique<PreparedRecords>()), fitter_(std::make_unique<SurfaceFitter>()) {
    KeepFileStoresInTheHeap();
}

FileWorker::~FileWorker() = default;

py::tuple FileWorker::Run(const SourceInput& source, const std::string& name, const FileJobRequest& request,
                          bool png) {
    std::unique_lock lock(busy_, std::try_to_lock);
    if (!lock.owns_lock())
        throw MessageError("this FileWorker is in use by another thread: give each thread its own");
    FileJobResult result;
    QByteArray bytes;
    {
        py::gil_scoped_release unlocked;
        result = RunFileJob(source, name, request, *fitter_, *records_);
        // The system's reason for a file that could not be opened.
        result.Row.Error = WithOpenReason(result.Row.Error);
        if (png && !result.Row.Failed()) {
            ViewSettings shown = result.Settings;
            shown.DataType = request.Data;
            const MapPlan plan = PlanMap(shown);
            PaintMap(picture_, records_->Record(plan.Shown), plan.Draw, plan.Ramp, MapStyleOf(shown));
            bytes = EncodePng(picture_);
            if (bytes.isEmpty()) result.Row.Error = "the picture could not be encoded as PNG";
        }
    }
    py::object picture = py::none();
    if (!bytes.isEmpty()) picture = py::bytes(bytes.constData(), static_cast<py::ssize_t>(bytes.size()));
    return py::make_tuple(RowOf(result.Row), picture);
}
