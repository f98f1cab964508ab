#include "FileWorker.h"

#include <malloc.h>

#include <pybind11/numpy.h>

#include <QByteArray>
#include <cstdlib>
#include <limits>

#include "Errors.h"
#include "Pictures.h"
#include "analysis/SitePairing.h"
#include "analysis/WaferGeometry.h"
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

// One measured site of a file, placed.
struct PlacedSite {
    int Site;
    double XMm;  // NaN when the file has no mm (a record in cells without a wafer)
    double YMm;
    double XCell;  // fractional, y downward
    double YCell;
    double Value;
};

// The measured sites of raw (SitesOf: its Points, or a .thk file's data
// cells) in file order. With a wafer, mm from its centre (+Y up) as the
// analysis measures them; without one, the Points' own mm for a table in
// millimetres (from the centre of the Size square), else NaN.
std::vector<PlacedSite> PlacedSitesOf(const ThkData& raw, const WaferGeometry& wafer) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const WaferFrame frame = FrameOf(wafer, raw.Size);
    std::vector<CellPosition> cells;
    const std::vector<ThkPoint> points = SitesOf(raw, cells);
    std::vector<PlacedSite> sites;
    sites.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ThkPoint& p = points[i];
        const CellPosition& c = cells[i];
        PlacedSite s{p.Site, nan, nan, c.X, c.Y, p.Z};
        if (frame.HasWafer) {
            s.XMm = MmFromCentreX(frame, c.X);
            s.YMm = MmFromCentreY(frame, c.Y);
        } else if (raw.PointsInMm && !raw.Points.empty()) {
            s.XMm = p.X;
            s.YMm = p.Y;
        }
        sites.push_back(s);
    }
    return sites;
}

template <typename T>
py::array_t<T> SiteColumn(const std::vector<PlacedSite>& sites, T PlacedSite::*field) {
    py::array_t<T> column(static_cast<py::ssize_t>(sites.size()));
    T* out = column.mutable_data();
    for (const PlacedSite& s : sites)
        *out++ = s.*field;
    return column;
}

// The sites as columns: site (int), x_mm, y_mm, x_cell, y_cell, value, and
// unit (the record's thickness unit, "" when the file names none).
py::dict SiteColumns(const std::vector<PlacedSite>& sites, const std::string& unit) {
    py::dict d;
    d["site"] = SiteColumn(sites, &PlacedSite::Site);
    d["x_mm"] = SiteColumn(sites, &PlacedSite::XMm);
    d["y_mm"] = SiteColumn(sites, &PlacedSite::YMm);
    d["x_cell"] = SiteColumn(sites, &PlacedSite::XCell);
    d["y_cell"] = SiteColumn(sites, &PlacedSite::YCell);
    d["value"] = SiteColumn(sites, &PlacedSite::Value);
    d["unit"] = DecodedText(unit);
    return d;
}

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
                          bool png, bool sites) {
    std::unique_lock lock(busy_, std::try_to_lock);
    if (!lock.owns_lock())
        throw MessageError("this FileWorker is in use by another thread: give each thread its own");
    FileJobResult result;
    QByteArray bytes;
    std::vector<PlacedSite> placed;
    std::string unit;
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
        if (sites && !result.Row.Failed()) {
            const ThkData& raw = records_->Record(DataKind::Raw);
            placed = PlacedSitesOf(raw, request.Analysis.Wafer);
            unit = raw.Unit;
        }
    }
    py::object picture = py::none();
    if (!bytes.isEmpty()) picture = py::bytes(bytes.constData(), static_cast<py::ssize_t>(bytes.size()));
    if (!sites) return py::make_tuple(RowOf(result.Row), picture);
    py::object columns = py::none();
    if (!result.Row.Failed()) columns = SiteColumns(placed, unit);
    return py::make_tuple(RowOf(result.Row), picture, columns);
}
