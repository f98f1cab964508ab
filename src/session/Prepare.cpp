#include "session/Prepare.h"

#include <charconv>

#include "calc/Fill.h"
#include "calc/GridCalc.h"
#include "calc/SurfaceFitter.h"
#include "core/NumberText.h"
#include "session/MapPlan.h"

namespace {

constexpr int RecordCount = 3;

}  // namespace

double LabelNumber(const std::string& text) {
    double value = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last) return 0.0;
    return value;
}

MapPlan PlanMap(const ViewSettings& settings) {
    MapPlan plan;
    plan.Shown = settings.DataType == DataKind::None ? DataKind::Raw : settings.DataType;
    if (settings.DrawType == DrawKind::Contour && plan.Shown == DataKind::Fill) {
        plan.Draw = DrawKind::Contour;
        plan.Ramp = RampSetKind::Drawing;
    }
    return plan;
}

std::optional<FoundRadius> FindSearchRadius(const ThkData& raw, const ViewSettings& settings,
                                            const MessageSink& messages) {
    const float radius = OptimizeSearchRadius(raw, settings.CalcPitch, settings.MinDataCount, messages);
    if (radius < 0.0f) return std::nullopt;
    // One decimal, as the input pad writes it (30.25 becomes "30.3").
    FoundRadius found;
    found.Text = FormatFixed(radius, 5, 1);
    found.Radius = static_cast<float>(LabelNumber(found.Text));
    return found;
}

void CalcStep(const ThkData& raw, ThkData& grid, const ViewSettings& settings) {
    CalcGrid(raw, grid, settings.AverageWeight, settings.SearchRad, settings.CalcPitch);
}

int FillStep(SurfaceFitter& fitter, const ThkData& grid, ThkData& fill, const ViewSettings& settings,
             const MessageSink& messages) {
    return RunFill(fitter, grid, fill, settings.SplineOrder, messages);
}

void SettleDisplayRange(ThkData& record, const ThkData& raw, DataKind shown, bool rawRange) {
    if (rawRange && shown != DataKind::Raw) {
        record.Min = raw.Min;
        record.Max = raw.Max;
    } else {
        RecalcStatistics(record);
    }
}

PreparedRecords::PreparedRecords() : records_(std::make_unique<ThkData[]>(RecordCount)) {}

ThkData& PreparedRecords::Record(DataKind kind) {
    const int i = kind == DataKind::None ? 0 : IndexOf(kind);
    return records_[static_cast<std::size_t>(i)];
}

const ThkData& PreparedRecords::Record(DataKind kind) const {
    const int i = kind == DataKind::None ? 0 : IndexOf(kind);
    return records_[static_cast<std::size_t>(i)];
}

void PreparedRecords::Clear() {
    ClearThkData(records_.get(), RecordCount);
}

int PrepareSource(const SourceInput& source, ViewSettings& settings, DataKind upTo, SurfaceFitter& fitter,
                  PreparedRecords& records, const MessageSink& messages) {
    ThkData& raw = records.Record(DataKind::Raw);
    ThkData& grid = records.Record(DataKind::Grid);
    ThkData& fill = records.Record(DataKind::Fill);
    records.Clear();
    if (ReadSource(source, raw, messages) != 1) return -1;
    if (settings.RadOptimize) {
        if (const std::optional<FoundRadius> found = FindSearchRadius(raw, settings, messages))
            settings.SearchRad = found->Radius;
    }
    SettleDisplayRange(raw, raw, DataKind::Raw, settings.RawRange);
    if (upTo == DataKind::Raw || upTo == DataKind::None) return 1;
    CalcStep(raw, grid, settings);
    SettleDisplayRange(grid, raw, DataKind::Grid, settings.RawRange);
    if (upTo == DataKind::Grid) return 1;
    if (FillStep(fitter, grid, fill, settings, messages) != 1) return -1;
    SettleDisplayRange(fill, raw, DataKind::Fill, settings.RawRange);
    return 1;
}
