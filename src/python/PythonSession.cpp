#include "PythonSession.h"

#include <QImage>
#include <cstring>

#include "Pictures.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "colour/MapPicture.h"
#include "core/NumberText.h"
#include "data/XyzText.h"

namespace {

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

constexpr const char* BusyText =
    "this Session is in use by another thread: a Session serves one thread at a time (give each thread "
    "its own Session)";

}  // namespace

PySession::PySession(const ViewSettings& settings) : session_(std::make_unique<Session>(frontEnd_)) {
    session_->Settings() = settings;
}

std::unique_lock<std::mutex> PySession::Take() {
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) throw MessageError(BusyText);
    if (!session_) throw MessageError("this Session is closed");
    return lock;
}

DataKind PySession::Available(std::optional<DataKind> kind) const {
    const DataKind shown = session_->Settings().DataType;
    const DataKind k = kind ? *kind : shown == DataKind::None ? DataKind::Raw : shown;
    if (!session_->Enabled().DataItems[static_cast<std::size_t>(IndexOf(k))])
        throw MessageError(std::string("there is no ") + NameOf(k) + " data yet");
    return k;
}

void PySession::Open(const SourceInput& source) {
    Run(
        [&] {
            const int result = session_->OpenSource(source);
            // Python has no display to keep showing the last good file: a
            // failed load leaves no data behind, so nothing goes on with it.
            if (result != 1) session_->ResetData();
            name_ = result == 1 ? source.Path : std::string();
            units_ = source.Format == SourceFormat::Csv && source.Csv.Units == CsvUnits::Cells
                         ? PointUnits::Cells
                         : PointUnits::Millimetres;
            return result;
        },
        true);
}

void PySession::OpenXyz(const std::string& text) {
    Run(
        [&] {
            const int result = session_->Open([&text](ThkData& raw, const MessageSink& messages) {
                return PasteXyzText(text, raw, messages);
            });
            if (result != 1) session_->ResetData();
            name_ = result == 1 ? "X/Y/Z text" : "";
            units_ = PointUnits::Millimetres;
            return result;
        },
        true);
}

void PySession::Calc() {
    Run([&] {
        if (!session_->Enabled().Calc) throw MessageError("calc() needs data: open a file first");
        session_->Calc();
    });
}

void PySession::Fill() {
    Run(
        [&] {
            if (!session_->Enabled().Fill) throw MessageError("fill() needs the grid: run calc() first");
            return session_->Fill();
        },
        true);
}

py::object PySession::RecordOf(DataKind kind) {
    std::optional<Record> snapshot = Run([&]() -> std::optional<Record> {
        const ThkData& record = session_->Record(kind);
        if (!record.Valid || !session_->Enabled().DataItems[static_cast<std::size_t>(IndexOf(kind))])
            return std::nullopt;
        const RecordKind recordKind = kind == DataKind::Grid   ? RecordKind::Grid
                                      : kind == DataKind::Fill ? RecordKind::Fill
                                                               : RecordKind::Raw;
        return Snapshot(record, recordKind, name_);
    });
    if (!snapshot) return py::none();
    return py::cast(std::move(*snapshot));
}

py::array_t<std::uint8_t> PySession::Colormap(const std::optional<std::string>& data,
                                              const std::optional<std::string>& draw) {
    const std::optional<DataKind> kind = data ? std::optional(KindOf(*data)) : std::nullopt;
    const std::optional<DrawKind> drawKind = draw ? std::optional(DrawOf(*draw)) : std::nullopt;
    const QImage image = Run([&] {
        ViewSettings& s = session_->Settings();
        const DataKind shown = Available(kind);
        if (drawKind && s.DrawType != *drawKind) {
            s.DrawType = *drawKind;
            session_->DrawTypeChange();
        }
        if (s.DataType != shown) {
            s.DataType = shown;
            session_->DataTypeClick();
        }
        session_->RedrawAll();
        const MapStyle style = MapStyleOf(s);
        const MapPlan& plan = frontEnd_.LastPlan;
        QImage picture;
        PaintMap(picture, session_->Record(plan.Shown), plan.Draw, plan.Ramp, style);
        return picture;
    });
    return PictureArray(image);
}

py::list PySession::Contours() {
    const std::vector<ContourLevel> traced = Run([&] {
        ViewSettings& s = session_->Settings();
        Available(DataKind::Fill);
        if (s.DataType != DataKind::Fill) {
            s.DataType = DataKind::Fill;
            session_->DataTypeClick();
        } else {
            session_->RedrawAll();
        }
        const ThkData& fill = session_->Record(DataKind::Fill);
        ContourCollector collector;
        TraceContours(fill, fill.Size, MapPictureSize, MapPictureSize, s.BorderCount, ColormapPreset(), true,
                      DrawingRampSet, collector);
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

void PySession::Close() {
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) throw MessageError(BusyText);
    py::gil_scoped_release unlocked;
    session_.reset();
}

std::string PySession::Describe() {
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return "<morvaplot.Session (in use by another thread)>";
    if (!session_) return "<morvaplot.Session (closed)>";
    const ViewSettings& s = session_->Settings();
    std::string text = "<morvaplot.Session";
    const auto& items = session_->Enabled().DataItems;
    if (!items[0]) {
        text += ": no data";
    } else {
        text += " " + (name_.empty() ? std::string("data") : "'" + name_ + "'") + ":";
        for (DataKind kind : {DataKind::Raw, DataKind::Grid, DataKind::Fill})
            if (items[static_cast<std::size_t>(IndexOf(kind))]) text += std::string(" ") + NameOf(kind);
        if (s.DataType != DataKind::None) text += std::string(" (shown: ") + NameOf(s.DataType) + ")";
    }
    text += "; pitch " + std::to_string(s.CalcPitch) + ", radius " + FormatFixed(s.SearchRad, 5, 1) +
            (s.RadOptimize ? " (optimise)" : "") + ", power " + FormatFixed(s.AverageWeight, 5, 2) +
            ", degree " + std::to_string(s.SplineOrder) + ">";
    return text;
}
