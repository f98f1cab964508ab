#include "Figures.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "Arguments.h"
#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "roi/RoiStats.h"
#include "session/ParameterLimits.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// One of morvaplot._results' types made from d.
py::object Result(const char* type, const py::dict& d) {
    return py::module_::import("morvaplot._results").attr(type)(d);
}

AnalysisResult Analyze(const ThkData& record, const AnalysisRequest& request) {
    AnalysisResult result;
    std::string fault;
    int answered = -1;
    {
        py::gil_scoped_release unlocked;
        const MessageSink keep([&fault](const std::string& text) { fault = text; });
        answered = AnalyzeRecord(record, nullptr, request, result, keep);
    }
    if (answered != 1) throw py::value_error(fault);
    return result;
}

template <typename T, typename Field>
py::array_t<T> Column(const auto& items, Field field) {
    py::array_t<T> column(static_cast<py::ssize_t>(items.size()));
    T* out = column.mutable_data();
    for (const auto& item : items)
        *out++ = static_cast<T>(field(item));
    return column;
}

}  // namespace

AnalysisRequest ProfileRequest(const std::string& axis, const std::optional<WaferGeometry>& wafer) {
    AnalysisRequest request = RequestOf(wafer);
    if (axis == "x")
        request.Profile = ProfileKind::X;
    else if (axis == "y")
        request.Profile = ProfileKind::Y;
    else
        throw py::value_error("axis must be 'x' or 'y'");
    return request;
}

AnalysisRequest LineRequest(double x0, double y0, double x1, double y1,
                            const std::optional<WaferGeometry>& wafer) {
    AnalysisRequest request = RequestOf(wafer);
    request.Profile = ProfileKind::Line;
    request.LineX0 = x0;
    request.LineY0 = y0;
    request.LineX1 = x1;
    request.LineY1 = y1;
    return request;
}

AnalysisRequest RadialRequest(const std::optional<WaferGeometry>& wafer) {
    AnalysisRequest request = RequestOf(wafer);
    request.Profile = ProfileKind::Radial;
    return request;
}

AnalysisRequest HistogramRequest(long long bins, const std::optional<WaferGeometry>& wafer) {
    AnalysisRequest request = RequestOf(wafer);
    // The request keeps the count as an int in which 0 asks for no histogram:
    // no bins, or more than an int holds, go on as a count the check refuses.
    request.HistogramBins =
        bins <= 0 ? -1 : static_cast<int>(std::min<long long>(bins, std::numeric_limits<int>::max()));
    return request;
}

py::object StatisticsOf(const ThkData& record, const AnalysisRequest& request) {
    const AreaStatistics s = Analyze(record, request).Shown;
    const bool empty = s.Count == 0;
    const auto figure = [empty](double v) { return empty ? NaN : v; };
    const auto position = [empty](int v) -> py::object {
        return empty ? py::object(py::float_(NaN)) : py::object(py::int_(v));
    };
    py::dict d;
    d["count"] = s.Count;
    d["mean"] = figure(s.Mean);
    d["min"] = figure(s.Min);
    d["min_x"] = position(s.MinX);
    d["min_y"] = position(s.MinY);
    d["max"] = figure(s.Max);
    d["max_x"] = position(s.MaxX);
    d["max_y"] = position(s.MaxY);
    d["range"] = figure(s.Range);
    // The sample sigma (n - 1) and both uniformity figures, named so.
    d["sigma_n1"] = figure(s.Sigma);
    d["sigma1_pct_n1"] = figure(s.Sigma1Pct);
    d["sigma3_pct_n1"] = figure(s.Sigma3Pct);
    d["uniformity_mean_pct"] = figure(s.UniformityPct);
    d["uniformity_maxmin_pct"] = figure(s.UniformityMaxMinPct);
    return Result("Statistics", d);
}

py::object ProfileOf(const ThkData& record, const AnalysisRequest& request) {
    const std::vector<ProfilePoint> points = Analyze(record, request).Profile;
    py::dict d;
    d["position"] = Column<double>(points, [](const ProfilePoint& p) { return p.Position; });
    d["value"] = Column<double>(points, [](const ProfilePoint& p) { return p.Value; });
    d["x"] = Column<int>(points, [](const ProfilePoint& p) { return p.X; });
    d["y"] = Column<int>(points, [](const ProfilePoint& p) { return p.Y; });
    return Result("Columns", d);
}

py::object RadialProfileOf(const ThkData& record, const AnalysisRequest& request) {
    const std::vector<RingStats> rings = Analyze(record, request).Rings;
    const auto figure = [](const RingStats& r, double v) { return r.Count > 0 ? v : NaN; };
    py::dict d;
    d["inner"] = Column<double>(rings, [](const RingStats& r) { return r.Inner; });
    d["count"] = Column<long>(rings, [](const RingStats& r) { return r.Count; });
    d["mean"] = Column<double>(rings, [&](const RingStats& r) { return figure(r, r.Mean); });
    d["min"] = Column<double>(rings, [&](const RingStats& r) { return figure(r, r.Min); });
    d["max"] = Column<double>(rings, [&](const RingStats& r) { return figure(r, r.Max); });
    return Result("Columns", d);
}

py::object HistogramOf(const ThkData& record, const AnalysisRequest& request) {
    const Histogram h = *Analyze(record, request).Histo;
    const bool empty = h.Total == 0;
    py::dict d;
    d["edges"] = Column<double>(h.Edges, [empty](double e) { return empty ? NaN : e; });
    d["counts"] = Column<long>(h.Counts, [](long c) { return c; });
    d["min"] = empty ? NaN : h.Min;
    d["max"] = empty ? NaN : h.Max;
    d["total"] = h.Total;
    return Result("Histogram", d);
}

py::object RoiOf(const ThkData& record, int x, int y, int size, const std::string& shape) {
    RoiShape s = RoiShape::Circle;
    if (shape == "square")
        s = RoiShape::Square;
    else if (shape != "circle")
        throw py::value_error("shape must be 'circle' or 'square'");
    if (x < 0 || x > ThkMaxSize || y < 0 || y > ThkMaxSize)
        throw py::value_error("x and y must be whole numbers from 0 to 500");
    if (!ParameterLimits::RoiSize.Holds(size))
        throw py::value_error("size must be a whole number from 1 to 100");
    RoiStats stats{NoData, NoData, NoData};
    int count = 0;
    {
        py::gil_scoped_release unlocked;
        count = CalcRoiStatistics(record, s, x, y, size, stats);
    }
    const py::object result = py::module_::import("morvaplot._morvaplot").attr("RoiResult");
    if (count <= 0) return result(0, NaN, NaN, NaN);
    return result(count, stats.Min, stats.Max, stats.Mean);
}

py::tuple WaferPositions(const WaferGeometry& wafer, int size) {
    const WaferFrame frame = FrameOf(wafer, size);
    py::array_t<double> x(ThkGridDim);
    py::array_t<double> y(ThkGridDim);
    double* px = x.mutable_data();
    double* py_ = y.mutable_data();
    for (int i = 0; i < ThkGridDim; ++i) {
        px[i] = frame.HasWafer ? MmFromCentreX(frame, i) : NaN;
        py_[i] = frame.HasWafer ? MmFromCentreY(frame, i) : NaN;
    }
    return py::make_tuple(x, y);
}

py::dict PairedSiteColumns(const std::vector<PairedSite>& sites) {
    py::dict d;
    d["site"] = Column<int>(sites, [](const PairedSite& p) { return p.Site; });
    d["x"] = Column<double>(sites, [](const PairedSite& p) { return p.X; });
    d["y"] = Column<double>(sites, [](const PairedSite& p) { return p.Y; });
    d["first"] = Column<double>(sites, [](const PairedSite& p) { return p.First; });
    d["second"] = Column<double>(sites, [](const PairedSite& p) { return p.Second; });
    d["difference"] = Column<double>(sites, [](const PairedSite& p) { return p.Difference; });
    d["interpolated"] = Column<bool>(sites, [](const PairedSite& p) { return p.Interpolated; });
    return d;
}
