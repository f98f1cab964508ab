// The _morvaplot extension: records, sessions, pictures, the analysis
// figures, the comparison of two files and a batch's file job for Python.
// Each call turns its arguments into a step's inputs (or a session's
// settings) and the step's answer into Python objects; the order of the work
// is the steps' own. Every call into the engine runs with the interpreter
// lock released, so threads of one process may each work a session of their
// own at the same time; a session's messages reach that session alone.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "analysis/Analysis.h"
#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "analysis/SummaryRow.h"
#include "analysis/WaferGeometry.h"
#include "calc/SurfaceFitter.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "colour/MapPicture.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "core/WholeFile.h"
#include "data/CsvImport.h"
#include "data/ThkData.h"
#include "data/ThkReader.h"
#include "data/XyzText.h"
#include "roi/RoiStats.h"
#include "session/Compare.h"
#include "session/FileJob.h"
#include "session/MapPlan.h"
#include "session/ParameterLimits.h"
#include "session/Prepare.h"
#include "session/Session.h"
#include "session/Source.h"

namespace py = pybind11;

namespace {

// A failed operation, with the text the window shows for it.
class MessageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Texts an operation showed: the last one of a failure is the failure's
// message and becomes the exception; any other is passed on as a warning.
void ReportMessages(std::vector<std::string> texts, bool failed) {
    if (texts.empty() && !failed) return;
    std::string failure;
    if (failed) {
        failure = texts.empty() ? std::string("the operation failed") : texts.back();
        if (!texts.empty()) texts.pop_back();
    }
    const py::object warning = py::module_::import("morvaplot._morvaplot").attr("MessageWarning");
    for (const std::string& text : texts)
        if (PyErr_WarnEx(warning.ptr(), text.c_str(), 2) != 0) throw py::error_already_set();
    if (failed) throw MessageError(failure);
}

// --- Records -----------------------------------------------------------------------------------

// A record as Python sees it: a snapshot that nothing changes any more, so
// several threads may read it and its arrays stay valid.
struct Record {
    std::shared_ptr<const ThkData> Data;
    py::object Values;  // made on first use, read-only
};

std::shared_ptr<const ThkData> Snapshot(const ThkData& from) {
    auto copy = std::make_shared<ThkData>();
    CopyThkData(from, *copy);
    return copy;
}

py::array_t<double> ValuesOf(const ThkData& record) {
    py::array_t<double> values({ThkGridDim, ThkGridDim});
    double* out = values.mutable_data();
    const double* in = &record.Value[0][0];
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < ThkGridDim * ThkGridDim; ++i)
        out[i] = HasData(in[i]) ? in[i] : nan;
    values.attr("flags").attr("writeable") = false;
    return values;
}

py::array_t<bool> MaskOf(const ThkData& record) {
    py::array_t<bool> mask({ThkGridDim, ThkGridDim});
    bool* out = mask.mutable_data();
    const double* in = &record.Value[0][0];
    for (int i = 0; i < ThkGridDim * ThkGridDim; ++i)
        out[i] = HasData(in[i]);
    return mask;
}

// The import options from the keyword arguments; units "mm" or "cell".
CsvImportOptions CsvOptions(const std::optional<std::string>& x, const std::optional<std::string>& y,
                            const std::optional<std::string>& z, const std::string& units, double wafer) {
    CsvImportOptions options;
    options.XColumn = x.value_or("");
    options.YColumn = y.value_or("");
    options.ZColumn = z.value_or("");
    if (units != "mm" && units != "cell") throw py::value_error("units must be 'mm' or 'cell'");
    options.Units = units == "mm" ? CsvUnits::Millimetres : CsvUnits::Cells;
    if (!(wafer >= 0.0)) throw py::value_error("wafer must be a diameter of 0 or more");
    options.Diameter = wafer;
    return options;
}

// A step that writes a fresh record (a reader, a comparison), run on this
// thread without the interpreter lock, its messages collected.
Record FreshRecord(const std::function<int(ThkData&, const MessageSink&)>& step) {
    auto record = std::make_shared<ThkData>();
    std::vector<std::string> texts;
    int result = -1;
    {
        py::gil_scoped_release unlocked;
        const MessageSink collect([&texts](const std::string& text) { texts.push_back(text); });
        ClearThkData(record.get(), 1);
        result = step(*record, collect);
    }
    ReportMessages(std::move(texts), result != 1);
    return Record{std::move(record), py::none()};
}

// --- Analysis ----------------------------------------------------------------------------------

// Every figure, profile and histogram is one AnalysisRequest answered by
// AnalyzeRecord, so the wafer, the bins and the line are checked against the
// limits every front end uses, and a request out of range raises ValueError
// with the command line's text for it.

// A wafer's own fault, in the same words, when it is made.
void CheckWafer(const WaferGeometry& wafer) {
    const std::string fault = WaferFaultText(CheckWaferGeometry(wafer));
    if (!fault.empty()) throw py::value_error(fault);
}

AnalysisRequest RequestOf(const std::optional<WaferGeometry>& wafer) {
    AnalysisRequest request;
    if (wafer) request.Wafer = *wafer;
    return request;
}

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

py::dict StatisticsOf(const ThkData& record, const AnalysisRequest& request) {
    const AreaStatistics s = Analyze(record, request).Shown;
    py::dict d;
    d["count"] = s.Count;
    d["mean"] = s.Mean;
    d["min"] = s.Min;
    d["min_x"] = s.MinX;
    d["min_y"] = s.MinY;
    d["max"] = s.Max;
    d["max_x"] = s.MaxX;
    d["max_y"] = s.MaxY;
    d["range"] = s.Range;
    // The sample sigma (n - 1), and both uniformity figures, named so.
    d["sigma_n1"] = s.Sigma;
    d["sigma1_pct_n1"] = s.Sigma1Pct;
    d["sigma3_pct_n1"] = s.Sigma3Pct;
    d["uniformity_mean_pct"] = s.UniformityPct;
    d["uniformity_maxmin_pct"] = s.UniformityMaxMinPct;
    return d;
}

// A diameter or line profile: columns position, value, x, y.
py::dict ProfileOf(const ThkData& record, const AnalysisRequest& request) {
    const std::vector<ProfilePoint> points = Analyze(record, request).Profile;
    py::dict d;
    d["position"] = Column<double>(points, [](const ProfilePoint& p) { return p.Position; });
    d["value"] = Column<double>(points, [](const ProfilePoint& p) { return p.Value; });
    d["x"] = Column<int>(points, [](const ProfilePoint& p) { return p.X; });
    d["y"] = Column<int>(points, [](const ProfilePoint& p) { return p.Y; });
    return d;
}

py::dict RadialProfileOf(const ThkData& record, const AnalysisRequest& request) {
    const std::vector<RingStats> rings = Analyze(record, request).Rings;
    py::dict d;
    d["inner"] = Column<double>(rings, [](const RingStats& r) { return r.Inner; });
    d["count"] = Column<long>(rings, [](const RingStats& r) { return r.Count; });
    d["mean"] = Column<double>(rings, [](const RingStats& r) { return r.Mean; });
    d["min"] = Column<double>(rings, [](const RingStats& r) { return r.Min; });
    d["max"] = Column<double>(rings, [](const RingStats& r) { return r.Max; });
    return d;
}

py::dict HistogramOf(const ThkData& record, const AnalysisRequest& request) {
    const Histogram h = *Analyze(record, request).Histo;
    py::dict d;
    d["edges"] = Column<double>(h.Edges, [](double e) { return e; });
    d["counts"] = Column<long>(h.Counts, [](long c) { return c; });
    d["min"] = h.Min;
    d["max"] = h.Max;
    d["total"] = h.Total;
    return d;
}

RoiShape ShapeOf(const std::string& shape) {
    if (shape == "circle") return RoiShape::Circle;
    if (shape == "square") return RoiShape::Square;
    throw py::value_error("shape must be 'circle' or 'square'");
}

// count, min, max, mean as the engine gives them: min, max and mean are
// NoData (-99999) when no data cell lies inside; count is RoiNoRecord
// (-99999) for a record without data.
py::tuple RoiOf(const ThkData& record, int x, int y, int size, const std::string& shape) {
    const RoiShape s = ShapeOf(shape);
    if (x < 0 || x > ThkMaxSize || y < 0 || y > ThkMaxSize)
        throw py::value_error("x and y must be whole numbers from 0 to 500");
    const ParameterLimit& limit = ParameterLimits::RoiSize;
    if (!limit.Holds(size)) throw py::value_error("size must be a whole number from 1 to 100");
    RoiStats stats{NoData, NoData, NoData};
    int count = 0;
    {
        py::gil_scoped_release unlocked;
        count = CalcRoiStatistics(record, s, x, y, size, stats);
    }
    const py::object result = py::module_::import("morvaplot._morvaplot").attr("RoiResult");
    return result(count, stats.Min, stats.Max, stats.Mean);
}

// --- Pictures ----------------------------------------------------------------------------------

py::array_t<std::uint8_t> PictureArray(const QImage& image) {
    const int h = image.height();
    const int w = image.width();
    py::array_t<std::uint8_t> picture({h, w, 3});
    std::uint8_t* out = picture.mutable_data();
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            *out++ = static_cast<std::uint8_t>(qRed(line[x]));
            *out++ = static_cast<std::uint8_t>(qGreen(line[x]));
            *out++ = static_cast<std::uint8_t>(qBlue(line[x]));
        }
    }
    return picture;
}

// PNG bytes of an (H, W, 3) picture, encoded from an RGB32 image as the
// command-line tool encodes its maps, so the same picture gives the same file.
py::bytes PngBytes(const py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>& picture) {
    if (picture.ndim() != 3 || picture.shape(2) != 3 || picture.shape(0) < 1 || picture.shape(1) < 1)
        throw py::value_error("the picture must be an (H, W, 3) array");
    const int h = static_cast<int>(picture.shape(0));
    const int w = static_cast<int>(picture.shape(1));
    QByteArray bytes;
    {
        const std::uint8_t* in = picture.data();
        py::gil_scoped_release unlocked;
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x, in += 3)
                line[x] = qRgb(in[0], in[1], in[2]);
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image)) bytes.clear();
    }
    if (bytes.isEmpty()) throw MessageError("the picture could not be encoded as PNG");
    return py::bytes(bytes.constData(), static_cast<py::ssize_t>(bytes.size()));
}

// Traced contour lines of one level: the level's number k (1..n), its value
// and each trace that draws at least one segment as an (n, 2) array of grid
// coordinates (x, y) in drawing order.
struct ContourLevel {
    int K = 0;
    double Level = 0.0;
    std::vector<std::vector<double>> Lines;  // x0, y0, x1, y1, ...
};

class ContourCollector final : public ContourSink {
public:
    void BeginLevel(int k, double level, Color) override {
        levels.push_back(ContourLevel{k, level, {}});
        lineOpen_ = false;
    }
    void MoveTo(int, int, double gx, double gy) override {
        lineOpen_ = false;
        startX_ = gx;
        startY_ = gy;
    }
    void LineTo(int, int, double gx, double gy) override {
        // A trace that leaves the grid at once draws nothing and is left out.
        std::vector<std::vector<double>>& lines = levels.back().Lines;
        if (!lineOpen_) {
            lines.push_back({startX_, startY_});
            lineOpen_ = true;
        }
        lines.back().push_back(gx);
        lines.back().push_back(gy);
    }

    std::vector<ContourLevel> levels;

private:
    bool lineOpen_ = false;
    double startX_ = 0.0;
    double startY_ = 0.0;
};

// --- Sessions ----------------------------------------------------------------------------------

// The Python front end of a session: no controls, the messages collected for
// the caller, and the last drawing's plan.
class PythonFrontEnd final : public SessionFrontEnd {
public:
    void ShowMap(const ThkData&, const MapPlan& plan) override { LastPlan = plan; }
    void ShowMessageText(const std::string& text) override { Texts.push_back(text); }

    MapPlan LastPlan;
    std::vector<std::string> Texts;
};

std::string RangeText(const ParameterLimit& limit) {
    if (limit.Decimals == 0)
        return std::to_string(static_cast<int>(limit.Min)) + " to " +
               std::to_string(static_cast<int>(limit.Max));
    return FormatFixed(limit.Min, limit.Digits, limit.Decimals) + " to " +
           FormatFixed(limit.Max, limit.Digits, limit.Decimals);
}

int CheckedWhole(const char* name, int value, const ParameterLimit& limit) {
    if (!limit.Holds(value))
        throw py::value_error(std::string(name) + " must be a whole number from " + RangeText(limit));
    return value;
}

// A decimal setting as the window keeps it: the input pad writes the value
// back with the parameter's decimals, and the label's text is what is read.
double CheckedDecimal(const char* name, double value, const ParameterLimit& limit) {
    if (!std::isfinite(value) || !limit.Holds(value))
        throw py::value_error(std::string(name) + " must be a number from " + RangeText(limit));
    return LabelNumber(FormatFixed(value, limit.Digits, limit.Decimals));
}

DataKind KindOf(const std::string& data) {
    if (data == "raw") return DataKind::Raw;
    if (data == "grid") return DataKind::Grid;
    if (data == "fill") return DataKind::Fill;
    throw py::value_error("data must be 'raw', 'grid' or 'fill'");
}

DrawKind DrawOf(const std::string& draw) {
    if (draw == "colormap") return DrawKind::Colormap;
    if (draw == "contour") return DrawKind::Contour;
    throw py::value_error("draw must be 'colormap' or 'contour'");
}

const char* NameOf(DataKind kind) {
    switch (kind) {
        case DataKind::Grid:
            return "grid";
        case DataKind::Fill:
            return "fill";
        default:
            return "raw";
    }
}

class PySession {
public:
    PySession() : session_(frontEnd_) {}

    // Runs operation without the interpreter lock and with the session to
    // itself; the messages it showed are reported once the lock is back. An
    // operation that answers 1 or -1 (checked) raises its message on -1.
    template <typename F>
    auto Run(F&& operation, bool checked = false) {
        using Result = decltype(operation());
        std::vector<std::string> texts;
        std::optional<std::conditional_t<std::is_void_v<Result>, int, Result>> result;
        {
            py::gil_scoped_release unlocked;
            const std::lock_guard lock(mutex_);
            frontEnd_.Texts.clear();
            if constexpr (std::is_void_v<Result>) {
                operation();
                result.emplace(1);
            } else {
                result.emplace(operation());
            }
            texts.swap(frontEnd_.Texts);
        }
        if constexpr (std::is_same_v<Result, int>) {
            ReportMessages(std::move(texts), checked && *result != 1);
        } else {
            ReportMessages(std::move(texts), false);
        }
        if constexpr (!std::is_void_v<Result>) return std::move(*result);
    }

    void Open(const std::string& path) {
        Run([&] { return session_.OpenFile(path); }, true);
    }

    void OpenCsv(const std::string& path, const CsvImportOptions& options) {
        Run(
            [&] {
                return session_.Open([&](ThkData& raw, const MessageSink& messages) {
                    return ImportCsvFile(path, options, raw, messages);
                });
            },
            true);
    }

    void OpenXyz(const std::string& text) {
        Run(
            [&] {
                return session_.Open([&text](ThkData& raw, const MessageSink& messages) {
                    return PasteXyzText(text, raw, messages);
                });
            },
            true);
    }

    void Calc() {
        Run([&] {
            if (!session_.Enabled().Calc) throw MessageError("calc() needs data: open a file first");
            session_.Calc();
        });
    }

    void Fill() {
        Run(
            [&] {
                if (!session_.Enabled().Fill) throw MessageError("fill() needs the grid: run calc() first");
                return session_.Fill();
            },
            true);
    }

    py::object RecordOf(DataKind kind) {
        auto copy = Run([&] {
            const ThkData& record = session_.Record(kind);
            return record.Valid ? Snapshot(record) : nullptr;
        });
        if (!copy) return py::none();
        return py::cast(Record{std::move(copy), py::none()});
    }

    // The picture the window shows after the user picks the data and draw
    // type (each only when given).
    py::array_t<std::uint8_t> Colormap(const std::optional<std::string>& data,
                                       const std::optional<std::string>& draw) {
        const std::optional<DataKind> kind = data ? std::optional(KindOf(*data)) : std::nullopt;
        const std::optional<DrawKind> drawKind = draw ? std::optional(DrawOf(*draw)) : std::nullopt;
        const QImage image = Run([&] {
            ViewSettings& s = session_.Settings();
            const DataKind shown = Available(kind);
            if (drawKind && s.DrawType != *drawKind) {
                s.DrawType = *drawKind;
                session_.DrawTypeChange();
            }
            if (s.DataType != shown) {
                s.DataType = shown;
                session_.DataTypeClick();
            }
            session_.RedrawAll();
            const MapStyle style = MapStyleOf(s);
            const MapPlan& plan = frontEnd_.LastPlan;
            QImage picture;
            PaintMap(picture, session_.Record(plan.Shown), plan.Draw, plan.Ramp, style);
            return picture;
        });
        return PictureArray(image);
    }

    // The contour map's levels and lines over the filled surface, at the
    // border count, over the display range the map uses (Fill is shown).
    py::list Contours() {
        const std::vector<ContourLevel> traced = Run([&] {
            ViewSettings& s = session_.Settings();
            Available(DataKind::Fill);
            if (s.DataType != DataKind::Fill) {
                s.DataType = DataKind::Fill;
                session_.DataTypeClick();
            } else {
                session_.RedrawAll();
            }
            const ThkData& fill = session_.Record(DataKind::Fill);
            ContourCollector collector;
            TraceContours(fill, fill.Size, MapPictureSize, MapPictureSize, s.BorderCount, ColormapPreset(),
                          true, DrawingRampSet, collector);
            return std::move(collector.levels);
        });
        py::list levels;
        for (const ContourLevel& level : traced) {
            py::list lines;
            for (const std::vector<double>& line : level.Lines) {
                py::array_t<double> points({static_cast<py::ssize_t>(line.size() / 2), py::ssize_t{2}});
                std::memcpy(points.mutable_data(), line.data(), line.size() * sizeof(double));
                lines.append(points);
            }
            levels.append(py::make_tuple(level.K, level.Level, lines));
        }
        return levels;
    }

    // Calls f with the named record (the shown one when None), which must
    // hold data, while no other thread's operation can change it.
    template <typename F>
    auto WithRecord(const std::optional<std::string>& data, F&& f) {
        const std::optional<DataKind> kind = data ? std::optional(KindOf(*data)) : std::nullopt;
        std::unique_lock lock(mutex_, std::defer_lock);
        {
            py::gil_scoped_release unlocked;
            lock.lock();
        }
        return f(session_.Record(Available(kind)));
    }

    // Changes the settings while no operation runs.
    template <typename F>
    void Set(F&& change) {
        std::unique_lock lock(mutex_, std::defer_lock);
        {
            py::gil_scoped_release unlocked;
            lock.lock();
        }
        change(session_.Settings());
    }

    // Reads the settings while no operation runs.
    template <typename F>
    auto Get(F&& read) {
        std::unique_lock lock(mutex_, std::defer_lock);
        {
            py::gil_scoped_release unlocked;
            lock.lock();
        }
        return read(std::as_const(session_.Settings()));
    }

private:
    // The record kind names, or the shown one; it must hold data.
    DataKind Available(std::optional<DataKind> kind) const {
        const DataKind shown = session_.Settings().DataType;
        const DataKind k = kind ? *kind : shown == DataKind::None ? DataKind::Raw : shown;
        if (!session_.Enabled().DataItems[static_cast<std::size_t>(IndexOf(k))])
            throw MessageError(std::string("there is no ") + NameOf(k) + " data yet");
        return k;
    }

    PythonFrontEnd frontEnd_;
    Session session_;
    std::mutex mutex_;
};

// A setting as the window's controls keep it, checked against its limits.
float RadiusSetting(double radius) {
    return static_cast<float>(CheckedDecimal("radius", radius, ParameterLimits::SearchRad));
}

// Session's keywords, in its order; every function that calculates takes them.
constexpr std::array<const char*, 9> SettingNames = {"pitch",     "radius",       "optimise",
                                                     "power",     "degree",       "min_count",
                                                     "raw_range", "border_count", "copy_colormap"};

// The settings Session(...) is given, over the window's defaults.
ViewSettings SettingsOf(std::optional<int> pitch, std::optional<double> radius, std::optional<bool> optimise,
                        std::optional<double> power, std::optional<int> degree, std::optional<int> minCount,
                        std::optional<bool> rawRange, std::optional<int> borderCount,
                        std::optional<bool> copyColormap) {
    if (radius && optimise && *optimise) throw py::value_error("radius and optimise exclude each other");
    ViewSettings s;
    if (pitch) s.CalcPitch = CheckedWhole("pitch", *pitch, ParameterLimits::CalcPitch);
    if (radius) {
        s.SearchRad = RadiusSetting(*radius);
        s.RadOptimize = false;
    }
    if (optimise) s.RadOptimize = *optimise;
    if (power) s.AverageWeight = CheckedDecimal("power", *power, ParameterLimits::AverageWeight);
    if (degree) s.SplineOrder = CheckedWhole("degree", *degree, ParameterLimits::SplineOrder);
    if (minCount) s.MinDataCount = CheckedWhole("min_count", *minCount, ParameterLimits::MinDataCount);
    if (rawRange) s.RawRange = *rawRange;
    if (borderCount) s.BorderCount = CheckedWhole("border_count", *borderCount, ParameterLimits::BorderCount);
    if (copyColormap) s.CopyColormap = *copyColormap;
    return s;
}

template <typename T>
std::optional<T> Given(const py::dict& settings, const char* name) {
    if (!settings.contains(name)) return std::nullopt;
    const py::object value = settings[name];
    if (value.is_none()) return std::nullopt;
    return value.cast<T>();
}

// The same settings as a dict of Session's keywords (**settings).
ViewSettings SettingsOf(const py::dict& settings) {
    for (const auto& item : settings) {
        const std::string name = py::str(item.first);
        if (std::find(SettingNames.begin(), SettingNames.end(), name) == SettingNames.end())
            throw py::type_error("unexpected keyword argument '" + name +
                                 "' (the settings are Session's keywords)");
    }
    return SettingsOf(Given<int>(settings, "pitch"), Given<double>(settings, "radius"),
                      Given<bool>(settings, "optimise"), Given<double>(settings, "power"),
                      Given<int>(settings, "degree"), Given<int>(settings, "min_count"),
                      Given<bool>(settings, "raw_range"), Given<int>(settings, "border_count"),
                      Given<bool>(settings, "copy_colormap"));
}

std::unique_ptr<PySession> MakeSession(std::optional<int> pitch, std::optional<double> radius,
                                       std::optional<bool> optimise, std::optional<double> power,
                                       std::optional<int> degree, std::optional<int> minCount,
                                       std::optional<bool> rawRange, std::optional<int> borderCount,
                                       std::optional<bool> copyColormap) {
    const ViewSettings s =
        SettingsOf(pitch, radius, optimise, power, degree, minCount, rawRange, borderCount, copyColormap);
    auto session = std::make_unique<PySession>();
    session->Set([&s](ViewSettings& settings) { settings = s; });
    return session;
}

// A read-write setting of the session: check turns a Python value into the
// setting's value (raising ValueError when it lies outside its limits).
template <typename T, typename Check>
void BindSetting(py::class_<PySession>& c, const char* name, T ViewSettings::*field, Check check,
                 const char* doc = nullptr) {
    c.def_property(
        name, [field](PySession& s) { return s.Get([field](const ViewSettings& v) { return v.*field; }); },
        [field, check](PySession& s, const py::object& value) {
            const T checked = check(value);
            s.Set([&](ViewSettings& v) { v.*field = checked; });
        },
        doc);
}

WaferGeometry MakeWafer(double diameter, double edgeExclusion, std::optional<double> centreX,
                        std::optional<double> centreY) {
    WaferGeometry w;
    w.DiameterMm = diameter;
    w.EdgeExclusionMm = edgeExclusion;
    w.CentreX = centreX;
    w.CentreY = centreY;
    CheckWafer(w);
    return w;
}

// --- Two files compared, one file of a batch ---------------------------------------------------

DifferenceOrder OrderOf(const std::string& order) {
    if (order == "a-b") return DifferenceOrder::FirstMinusSecond;
    if (order == "b-a") return DifferenceOrder::SecondMinusFirst;
    throw py::value_error("order must be 'a-b' or 'b-a'");
}

// The difference of two files, each read as its name says (see SourceOfFile),
// and their sites paired site by site into sites (the tolerance measured on
// the table's wafer, csv.Diameter).
Record CompareFiles(const std::string& a, const std::string& b, const std::string& data,
                    const std::string& order, double rateTime, const CsvImportOptions& csv,
                    const py::dict& settings, std::vector<PairedSite>& sites) {
    CompareRequest request;
    request.Data = KindOf(data);
    request.Order = OrderOf(order);
    if (!(rateTime == 0.0 || (rateTime > 0.0 && std::isfinite(rateTime))))
        throw py::value_error("rate_time must be a number above 0, or 0 for no rate");
    request.RateTime = rateTime;
    request.Wafer.DiameterMm = csv.Diameter;
    const ViewSettings s = SettingsOf(settings);
    const SourceInput first = SourceOfFile(a, csv);
    const SourceInput second = SourceOfFile(b, csv);
    return FreshRecord([&](ThkData& difference, const MessageSink& messages) {
        auto fitter = std::make_unique<SurfaceFitter>();
        return CompareSources(first, second, s, request, *fitter, difference, sites, messages);
    });
}

// The paired sites as columns (PairedSiteCsv's, x and y in mm on a wafer).
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

// A summary row keyed by SummaryColumns, in their order. A failed file's
// figures are NaN, the cells pandas leaves empty.
py::dict RowOf(const SummaryRow& row) {
    const auto figure = [&row](auto value) {
        return row.Failed() ? py::cast(std::numeric_limits<double>::quiet_NaN()) : py::cast(value);
    };
    const AreaStatistics& s = row.Figures;
    const py::object values[] = {py::cast(row.Name),
                                 figure(row.Size),
                                 figure(s.Count),
                                 figure(row.SiteCount),
                                 figure(s.Mean),
                                 figure(s.Min),
                                 figure(s.Max),
                                 figure(s.Range),
                                 figure(s.Sigma),
                                 figure(s.Sigma1Pct),
                                 figure(s.Sigma3Pct),
                                 figure(s.UniformityPct),
                                 figure(s.UniformityMaxMinPct),
                                 figure(row.Radius),
                                 py::cast(row.Seconds),
                                 py::cast(row.Error)};
    static_assert(std::extent_v<decltype(values)> == SummaryColumns.size());
    py::dict d;
    for (std::size_t i = 0; i < SummaryColumns.size(); ++i)
        d[py::str(SummaryColumns[i].data(), SummaryColumns[i].size())] = values[i];
    return d;
}

// One file of a batch: the row, and the map of the analysed record as
// Session.colormap(data=data) paints it when picture is asked for and the
// file did not fail (else None).
py::tuple FileJob(const std::string& path, const std::string& data, const std::optional<WaferGeometry>& wafer,
                  bool picture, const CsvImportOptions& csv, const py::dict& settings) {
    FileJobRequest request;
    request.Settings = SettingsOf(settings);
    request.Data = KindOf(data);
    request.Analysis = RequestOf(wafer);
    const std::string fault = CheckAnalysisRequest(request.Analysis);
    if (!fault.empty()) throw py::value_error(fault);
    const SourceInput source = SourceOfFile(path, csv);
    FileJobResult result;
    QImage image;
    {
        py::gil_scoped_release unlocked;
        PreparedRecords records;
        auto fitter = std::make_unique<SurfaceFitter>();
        result = RunFileJob(source, path, request, *fitter, records);
        if (picture && !result.Row.Failed()) {
            ViewSettings shown = result.Settings;
            shown.DataType = request.Data;
            const MapPlan plan = PlanMap(shown);
            PaintMap(image, records.Record(plan.Shown), plan.Draw, plan.Ramp, MapStyleOf(shown));
        }
    }
    return py::make_tuple(RowOf(result.Row),
                          image.isNull() ? py::object(py::none()) : py::object(PictureArray(image)));
}

}  // namespace

PYBIND11_MODULE(_morvaplot, m) {
    m.doc() = "Thickness maps: read, grid (Calc), complete (Fill), draw and analyse.";

    py::register_exception<MessageError>(m, "Error", PyExc_RuntimeError);
    m.attr("MessageWarning") = py::reinterpret_steal<py::object>(
        PyErr_NewExceptionWithDoc("morvaplot.MessageWarning",
                                  "A message an operation showed without failing (the window would show it "
                                  "in a box and go on).",
                                  PyExc_UserWarning, nullptr));
    m.attr("RoiResult") = py::module_::import("collections")
                              .attr("namedtuple")("RoiResult", py::make_tuple("count", "min", "max", "mean"));
    m.attr("NoData") = NoData;
    m.attr("GRID_DIM") = ThkGridDim;
    m.attr("PICTURE_SIZE") = MapPictureSize;
    py::list columns;
    for (std::string_view column : SummaryColumns)
        columns.append(py::str(column.data(), column.size()));
    m.attr("SUMMARY_COLUMNS") = py::tuple(columns);

    py::class_<WaferGeometry>(m, "Wafer",
                              "Where the wafer lies on a record: the square of Size file units spans its "
                              "diameter; figures leave out a band of edge_exclusion mm inside the rim. The "
                              "centre is in file units (the middle of the square when None).")
        .def(py::init(&MakeWafer), py::arg("diameter"), py::arg("edge_exclusion") = 0.0,
             py::arg("centre_x") = py::none(), py::arg("centre_y") = py::none())
        .def_readonly("diameter", &WaferGeometry::DiameterMm)
        .def_readonly("edge_exclusion", &WaferGeometry::EdgeExclusionMm)
        .def_readonly("centre_x", &WaferGeometry::CentreX)
        .def_readonly("centre_y", &WaferGeometry::CentreY)
        .def(py::pickle(
            [](const WaferGeometry& w) {
                return py::make_tuple(w.DiameterMm, w.EdgeExclusionMm, w.CentreX, w.CentreY);
            },
            [](const py::tuple& t) {
                return MakeWafer(t[0].cast<double>(), t[1].cast<double>(), t[2].cast<std::optional<double>>(),
                                 t[3].cast<std::optional<double>>());
            }))
        .def("__repr__", [](const WaferGeometry& w) {
            return py::str("Wafer(diameter={!r}, edge_exclusion={!r}, centre_x={!r}, centre_y={!r})")
                .format(w.DiameterMm, w.EdgeExclusionMm, w.CentreX, w.CentreY);
        });

    py::class_<Record>(m, "Record",
                       "A thickness record: cells at integer coordinates 0..500, values[x, y] the value at "
                       "X = x, Y = y (NaN where there is no data). A snapshot: later operations of a "
                       "session do not change it.")
        .def_property_readonly("name", [](const Record& r) { return r.Data->Name; })
        .def_property_readonly("size", [](const Record& r) { return r.Data->Size; })
        .def_property_readonly("pitch",
                               [](const Record& r) { return py::make_tuple(r.Data->PitchX, r.Data->PitchY); })
        .def_property_readonly(
            "extent", [](const Record& r) { return py::make_tuple(r.Data->ExtentX, r.Data->ExtentY); })
        .def_property_readonly(
            "count", [](const Record& r) { return r.Data->Count; },
            "Data lines read (repeated positions included) for a record read from a file")
        .def_property_readonly(
            "min", [](const Record& r) { return r.Data->Min; },
            "The record's Min; for grid and fill data with raw_range on, the display range "
            "taken from the raw data, as the window scales the map")
        .def_property_readonly("max", [](const Record& r) { return r.Data->Max; })
        .def_property_readonly("range", [](const Record& r) { return r.Data->Range; })
        .def_property_readonly("mean", [](const Record& r) { return r.Data->Mean; })
        .def_property_readonly("sigma", [](const Record& r) { return r.Data->Sigma; })
        .def_property_readonly("ratio", [](const Record& r) { return r.Data->Ratio; })
        .def_property_readonly("uniformity_pct", [](const Record& r) { return r.Data->UniformityPct; })
        .def_property_readonly("sigma1_pct", [](const Record& r) { return r.Data->Sigma1Pct; })
        .def_property_readonly("sigma3_pct", [](const Record& r) { return r.Data->Sigma3Pct; })
        .def_property_readonly("values",
                               [](Record& r) {
                                   if (r.Values.is_none()) r.Values = ValuesOf(*r.Data);
                                   return r.Values;
                               })
        .def_property_readonly("mask", [](const Record& r) { return MaskOf(*r.Data); })
        .def(
            "statistics",
            [](const Record& r, const std::optional<WaferGeometry>& wafer) {
                return StatisticsOf(*r.Data, RequestOf(wafer));
            },
            py::arg("wafer") = py::none(),
            "count, mean, min, max (with their first cells), range, sigma and the uniformity figures of the "
            "data cells (inside the wafer's kept disc when a wafer is given)")
        .def(
            "profile",
            [](const Record& r, const std::string& axis, const std::optional<WaferGeometry>& wafer) {
                return ProfileOf(*r.Data, ProfileRequest(axis, wafer));
            },
            py::arg("axis") = "x", py::arg("wafer") = py::none(),
            "The diameter profile through the centre: columns position, value, x, y")
        .def(
            "line_profile",
            [](const Record& r, double x0, double y0, double x1, double y1,
               const std::optional<WaferGeometry>& w) {
                return ProfileOf(*r.Data, LineRequest(x0, y0, x1, y1, w));
            },
            py::arg("x0"), py::arg("y0"), py::arg("x1"), py::arg("y1"), py::arg("wafer") = py::none())
        .def(
            "radial_profile",
            [](const Record& r, const std::optional<WaferGeometry>& wafer) {
                return RadialProfileOf(*r.Data, RadialRequest(wafer));
            },
            py::arg("wafer") = py::none(),
            "Rings of one unit (mm with a wafer): columns inner, count, mean, min, max")
        .def(
            "histogram",
            [](const Record& r, long long bins, const std::optional<WaferGeometry>& wafer) {
                return HistogramOf(*r.Data, HistogramRequest(bins, wafer));
            },
            py::arg("bins") = 20, py::arg("wafer") = py::none())
        .def(
            "roi",
            [](const Record& r, int x, int y, int size, const std::string& shape) {
                return RoiOf(*r.Data, x, y, size, shape);
            },
            py::arg("x"), py::arg("y"), py::arg("size") = 10, py::arg("shape") = "circle")
        .def("__repr__", [](const Record& r) {
            return py::str("<morvaplot.Record size={} pitch=({}, {}) count={}>")
                .format(r.Data->Size, r.Data->PitchX, r.Data->PitchY, r.Data->Count);
        });

    m.def(
        "read_thk",
        [](const std::string& path) {
            return FreshRecord([&](ThkData& r, const MessageSink& m) { return ReadThkFile(path, r, m); });
        },
        py::arg("path"), "Reads a .thk file; raises Error with the reader's message when it fails.");
    m.def(
        "read_xyz",
        [](const std::string& text) {
            return FreshRecord([&](ThkData& r, const MessageSink& m) { return PasteXyzText(text, r, m); });
        },
        py::arg("text"),
        "Converts X/Y/Z text as Paste takes it from the clipboard (a Size line, then X<TAB>Y<TAB>Z lines).");
    m.def(
        "read_csv",
        [](const std::string& path, const std::optional<std::string>& x_col,
           const std::optional<std::string>& y_col, const std::optional<std::string>& z_col,
           const std::string& units, double wafer) {
            const CsvImportOptions options = CsvOptions(x_col, y_col, z_col, units, wafer);
            return FreshRecord(
                [&](ThkData& r, const MessageSink& m) { return ImportCsvFile(path, options, r, m); });
        },
        py::arg("path"), py::kw_only(), py::arg("x_col") = py::none(), py::arg("y_col") = py::none(),
        py::arg("z_col") = py::none(), py::arg("units") = "mm", py::arg("wafer") = 0.0,
        "Imports a CSV table as the window's Import does: columns by header name or 1-based number (found "
        "by name when left out), X/Y in 'mm' from the wafer centre (wafer: the diameter, which becomes the "
        "Size; 0 fits the points) or in 'cell' units.");
    m.def("png", &PngBytes, py::arg("picture"), "PNG bytes of an (H, W, 3) uint8 picture.");
    m.def(
        "compare",
        [](const std::string& a, const std::string& b, const std::string& data, const std::string& order,
           double rateTime, const std::optional<std::string>& x_col, const std::optional<std::string>& y_col,
           const std::optional<std::string>& z_col, const std::string& units, double wafer, bool sites,
           const py::kwargs& settings) -> py::object {
            std::vector<PairedSite> paired;
            Record difference = CompareFiles(a, b, data, order, rateTime,
                                             CsvOptions(x_col, y_col, z_col, units, wafer), settings, paired);
            if (!sites) return py::cast(std::move(difference));
            return py::make_tuple(std::move(difference), PairedSiteColumns(paired));
        },
        py::arg("a"), py::arg("b"), py::arg("data") = "fill", py::arg("order") = "a-b",
        py::arg("rate_time") = 0.0, py::kw_only(), py::arg("x_col") = py::none(),
        py::arg("y_col") = py::none(), py::arg("z_col") = py::none(), py::arg("units") = "mm",
        py::arg("wafer") = 0.0, py::arg("sites") = false,
        "The difference of two files as a Record, as morvaplot-cli diff takes it: both read with the same "
        "settings (Session's keywords), the second on the first's lattice and search radius, the data "
        "record ('raw', 'grid' or 'fill') of each subtracted cell by cell where both hold data, 'a-b' or "
        "'b-a', divided by rate_time when it is above 0. Files ending in .csv or .txt are tables read with "
        "the read_csv keywords; others .thk files. With sites=True, (Record, columns): the sites paired "
        "within "
        "0.5 mm (half a cell without a wafer), site, x, y, first, second, difference, and interpolated for "
        "a site whose partner value was read off the other file's surface.");
    m.def(
        "file_job",
        [](const std::string& path, const std::string& data, const std::optional<WaferGeometry>& wafer,
           bool picture, const std::optional<std::string>& x_col, const std::optional<std::string>& y_col,
           const std::optional<std::string>& z_col, const std::string& units, const py::kwargs& settings) {
            const double diameter = wafer ? wafer->DiameterMm : 0.0;
            return FileJob(path, data, wafer, picture, CsvOptions(x_col, y_col, z_col, units, diameter),
                           settings);
        },
        py::arg("path"), py::arg("data") = "fill", py::arg("wafer") = py::none(), py::kw_only(),
        py::arg("picture") = false, py::arg("x_col") = py::none(), py::arg("y_col") = py::none(),
        py::arg("z_col") = py::none(), py::arg("units") = "mm",
        "One file of a batch with Session's keyword settings: load, Calc and Fill as far as data needs, "
        "the figures of that record inside the wafer. Returns (row, map): the summary row as a dict keyed by "
        "SUMMARY_COLUMNS (a failure is its error with the figures NaN, never raised) and, with picture=True "
        "and the file read, the map as Session.colormap(data=data) paints it, else None. A table's "
        "millimetres are placed on the wafer's diameter.");
    // The program's one file writer for the batch package; the name is the
    // system's bytes (os.fsencode). A failure raises OSError with errno.
    m.def(
        "_write_file_whole",
        [](const py::bytes& path, const py::bytes& content) {
            const std::string name = path;
            const std::string_view bytes = content;
            FileWriteResult written;
            {
                py::gil_scoped_release unlocked;
                written = WriteFileWhole(name, bytes);
            }
            if (written.Written()) return;
            PyErr_SetObject(PyExc_OSError, py::make_tuple(written.Error, written.Reason, path).ptr());
            throw py::error_already_set();
        },
        py::arg("path"), py::arg("content"));

    py::class_<PySession> session(
        m, "Session",
        "The viewer's flow over one data set: open, Calc, Fill, pictures and figures. "
        "Settings left out keep the window's defaults.");
    session
        .def(py::init(&MakeSession), py::kw_only(), py::arg("pitch") = py::none(),
             py::arg("radius") = py::none(), py::arg("optimise") = py::none(), py::arg("power") = py::none(),
             py::arg("degree") = py::none(), py::arg("min_count") = py::none(),
             py::arg("raw_range") = py::none(), py::arg("border_count") = py::none(),
             py::arg("copy_colormap") = py::none())
        .def("open", &PySession::Open, py::arg("path"),
             "Loads a .thk file (the search radius optimised when on).")
        .def("open_xyz", &PySession::OpenXyz, py::arg("text"), "Loads X/Y/Z text as Paste does.")
        .def(
            "open_csv",
            [](PySession& session, const std::string& path, const std::optional<std::string>& x_col,
               const std::optional<std::string>& y_col, const std::optional<std::string>& z_col,
               const std::string& units,
               double wafer) { session.OpenCsv(path, CsvOptions(x_col, y_col, z_col, units, wafer)); },
            py::arg("path"), py::kw_only(), py::arg("x_col") = py::none(), py::arg("y_col") = py::none(),
            py::arg("z_col") = py::none(), py::arg("units") = "mm", py::arg("wafer") = 0.0,
            "Loads a CSV table (see read_csv) through the same path as a .thk load.")
        .def("calc", &PySession::Calc, "Calc: the grid by inverse-distance weighting.")
        .def("fill", &PySession::Fill, "Fill: the B-spline surface through the grid.")
        .def_property_readonly("raw", [](PySession& s) { return s.RecordOf(DataKind::Raw); })
        .def_property_readonly("grid", [](PySession& s) { return s.RecordOf(DataKind::Grid); })
        .def_property_readonly("fill_record", [](PySession& s) { return s.RecordOf(DataKind::Fill); })
        .def("colormap", &PySession::Colormap, py::arg("data") = py::none(), py::arg("draw") = py::none(),
             "The 301 x 301 map as an (H, W, 3) uint8 array, as the window paints it")
        .def("contours", &PySession::Contours,
             "[(k, level, [lines])]: every line an (n, 2) array of grid coordinates in drawing order")
        .def(
            "roi",
            [](PySession& s, int x, int y, int size, const std::string& shape,
               const std::optional<std::string>& data) {
                return s.WithRecord(data, [&](const ThkData& r) { return RoiOf(r, x, y, size, shape); });
            },
            py::arg("x"), py::arg("y"), py::arg("size") = 10, py::arg("shape") = "circle",
            py::arg("data") = py::none())
        .def(
            "statistics",
            [](PySession& s, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = RequestOf(wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return StatisticsOf(r, request); });
            },
            py::arg("data") = py::none(), py::arg("wafer") = py::none())
        .def(
            "profile",
            [](PySession& s, const std::string& axis, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = ProfileRequest(axis, wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return ProfileOf(r, request); });
            },
            py::arg("axis") = "x", py::arg("data") = py::none(), py::arg("wafer") = py::none())
        .def(
            "line_profile",
            [](PySession& s, double x0, double y0, double x1, double y1,
               const std::optional<std::string>& data, const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = LineRequest(x0, y0, x1, y1, wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return ProfileOf(r, request); });
            },
            py::arg("x0"), py::arg("y0"), py::arg("x1"), py::arg("y1"), py::arg("data") = py::none(),
            py::arg("wafer") = py::none())
        .def(
            "radial_profile",
            [](PySession& s, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = RadialRequest(wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return RadialProfileOf(r, request); });
            },
            py::arg("data") = py::none(), py::arg("wafer") = py::none())
        .def(
            "histogram",
            [](PySession& s, long long bins, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = HistogramRequest(bins, wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return HistogramOf(r, request); });
            },
            py::arg("bins") = 20, py::arg("data") = py::none(), py::arg("wafer") = py::none());
    BindSetting(session, "pitch", &ViewSettings::CalcPitch, [](const py::object& v) {
        return CheckedWhole("pitch", v.cast<int>(), ParameterLimits::CalcPitch);
    });
    BindSetting(
        session, "optimise", &ViewSettings::RadOptimize, [](const py::object& v) { return v.cast<bool>(); },
        "Whether open() looks for the smallest search radius that gives every lattice node "
        "min_count data cells");
    BindSetting(session, "power", &ViewSettings::AverageWeight, [](const py::object& v) {
        return CheckedDecimal("power", v.cast<double>(), ParameterLimits::AverageWeight);
    });
    BindSetting(session, "degree", &ViewSettings::SplineOrder, [](const py::object& v) {
        return CheckedWhole("degree", v.cast<int>(), ParameterLimits::SplineOrder);
    });
    BindSetting(session, "min_count", &ViewSettings::MinDataCount, [](const py::object& v) {
        return CheckedWhole("min_count", v.cast<int>(), ParameterLimits::MinDataCount);
    });
    BindSetting(
        session, "raw_range", &ViewSettings::RawRange, [](const py::object& v) { return v.cast<bool>(); },
        "Grid and fill maps scaled on the raw data's minimum and maximum");
    BindSetting(session, "border_count", &ViewSettings::BorderCount, [](const py::object& v) {
        return CheckedWhole("border_count", v.cast<int>(), ParameterLimits::BorderCount);
    });
    BindSetting(session, "copy_colormap", &ViewSettings::CopyColormap,
                [](const py::object& v) { return v.cast<bool>(); });
    session.def_property(
        "radius",
        [](PySession& s) {
            return s.Get([](const ViewSettings& v) { return static_cast<double>(v.SearchRad); });
        },
        [](PySession& s, double radius) {
            const float r = RadiusSetting(radius);
            s.Set([r](ViewSettings& v) {
                v.SearchRad = r;
                v.RadOptimize = false;
            });
        },
        "The search radius (after open(), the one found when optimise is on); setting it turns optimise off");
}
