#include "session/Surface.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/AnalysisMask.h"
#include "analysis/ThinPlateSpline.h"
#include "core/ParallelTeam.h"

bool ParseSurfaceChoice(const std::string& text, SurfaceChoice& choice) {
    if (text == "spline") return (choice = {SurfaceKind::Spline, 0}, true);
    if (text == "tps") return (choice = {SurfaceKind::ThinPlate, 0}, true);
    constexpr std::string_view prefix = "zernike:";
    if (!text.starts_with(prefix)) return false;
    int order = 0;
    const char* first = text.data() + prefix.size();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, order);
    if (error != std::errc() || end != last || first == last || *first == '+' || order < MinZernikeOrder ||
        order > MaxZernikeOrder)
        return false;
    choice = {SurfaceKind::Zernike, order};
    return true;
}

std::string SurfaceChoiceText(const SurfaceChoice& choice) {
    switch (choice.Kind) {
        case SurfaceKind::Spline:
            return "spline";
        case SurfaceKind::ThinPlate:
            return "tps";
        case SurfaceKind::Zernike:
            return "zernike:" + std::to_string(choice.ZernikeOrder);
    }
    return "";
}

namespace {

// The rows of column x that the surface covers: inside the frame's kept disc
// and, when limit is not negative, within limit (squared, cell units) of the
// centre. A disc's cells form one run in a column.
ColumnSpan CoveredRows(const WaferFrame& frame, int x, double limitSq) {
    ColumnSpan span;
    for (int y = 0; y <= frame.Size; ++y) {
        const double d = DistanceSqUnits(frame, x, y);
        if (!InsideKeptDisc(frame, d) || (limitSq >= 0.0 && d > limitSq * (1.0 + CircleSlack))) continue;
        if (span.Last < span.First) span.First = y;
        span.Last = y;
    }
    return span;
}

// Evaluates column by column on every core: values(fitX, ys, count, out)
// writes the surface at (fitX, ys[k]).
template <typename ColumnValues>
void EvaluateColumns(const WaferFrame& frame, double limitSq, ThkData& surface, const ColumnValues& values) {
    const int size = frame.Size;
#pragma omp parallel
    {
        std::vector<double> ys(static_cast<std::size_t>(size) + 1);
        std::vector<double> out(static_cast<std::size_t>(size) + 1);
#pragma omp for schedule(dynamic, 8)
        for (int x = 0; x <= size; ++x) {
            const ColumnSpan span = CoveredRows(frame, x, limitSq);
            const int count = span.Last - span.First + 1;
            if (count <= 0) continue;
            for (int k = 0; k < count; ++k)
                ys[static_cast<std::size_t>(k)] = MmFromCentreY(frame, span.First + k);
            values(MmFromCentreX(frame, x), ys.data(), count, out.data());
            for (int k = 0; k < count; ++k)
                surface.Value[x][span.First + k] = out[static_cast<std::size_t>(k)];
        }
    }
}

}  // namespace

int BuildSurface(const ThkData& raw, const std::vector<SurfaceSite>& sites, const WaferFrame& frame,
                 const SurfaceChoice& choice, ThkData& surface, SurfaceResult& result,
                 const MessageSink& messages) {
    ClearThkData(&surface, 1);
    result = {};
    result.Choice = choice;
    result.Frame = frame;
    result.Sites = sites;
    std::vector<FitPoint> points;
    std::vector<double> values;
    for (const SurfaceSite& s : sites) {
        points.push_back(FitPointOf(frame, s.X, s.Y));
        values.push_back(s.Value);
    }

    if (choice.Kind == SurfaceKind::Spline) {
        messages.Show("The spline surface is made by Calc and Fill.");
        return -1;
    }
    if (choice.Kind == SurfaceKind::ThinPlate) {
        ThinPlateSpline spline;
        if (spline.Fit(points, values) != 1) {
            messages.Show("Thin-plate spline needs three sites not on one line, each at its own position.");
            return -1;
        }
        EvaluateColumns(frame, -1.0, surface, [&](double x, const double* ys, int count, double* out) {
            spline.Column(x, ys, count, out);
        });
        const std::vector<double> loo = spline.LeaveOneOutResiduals();
        for (std::size_t i = 0; i < sites.size(); ++i) {
            const SurfaceSite& s = sites[i];
            result.Residuals.push_back({s.Number, s.X, s.Y, s.Value, true, s.Value - loo[i], loo[i], {}});
        }
        result.LeaveOneOut = true;
    } else {
        // The disc: the wafer, or the one inscribed in the area.
        const double radiusUnits = frame.Size / 2.0;
        ZernikeFit& fit = result.Zernike;
        if (FitZernike(points, values, choice.ZernikeOrder, 0.0, 0.0, radiusUnits * frame.MmPerUnit, fit) !=
            1) {
            messages.Show("Zernike order " + std::to_string(choice.ZernikeOrder) + " needs at least " +
                          std::to_string(ZernikeTermCount(choice.ZernikeOrder)) + " sites.");
            return -1;
        }
        EvaluateColumns(
            frame, radiusUnits * radiusUnits, surface,
            [&](double x, const double* ys, int count, double* out) { fit.Column(x, ys, count, out); });
        for (std::size_t i = 0; i < sites.size(); ++i) {
            const SurfaceSite& s = sites[i];
            const double r = fit.Residuals[i];
            result.Residuals.push_back({s.Number, s.X, s.Y, s.Value, true, s.Value - r, r, {}});
        }
    }
    surface.Name = raw.Name;
    surface.Unit = raw.Unit;
    surface.Size = frame.Size;
    surface.PitchX = surface.PitchY = 1;
    surface.ExtentX = surface.ExtentY = frame.Size;
    surface.Valid = true;
    RecalcStatistics(surface);
    result.Over = FindOvershoot(surface, sites, frame);
    return 1;
}

std::vector<SiteResidual> ResidualsAtCells(const ThkData& record, const std::vector<SurfaceSite>& sites) {
    std::vector<SiteResidual> residuals;
    residuals.reserve(sites.size());
    for (const SurfaceSite& s : sites) {
        SiteResidual r{s.Number, s.X, s.Y, s.Value, false, 0.0, 0.0, {}};
        const double v = record.Value[s.CellX][s.CellY];
        if (HasData(v))
            r.Predicted = true, r.Prediction = v, r.Residual = s.Value - v;
        else
            r.Note = "no value at the site's cell";
        residuals.push_back(r);
    }
    return residuals;
}

int PrepareSurface(const SourceInput& source, ViewSettings& settings, DataKind upTo,
                   const SurfaceChoice& choice, PointUnits units, const WaferGeometry& wafer,
                   SurfaceFitter& fitter, PreparedRecords& records, SurfaceResult& result,
                   const MessageSink& messages) {
    const bool smooth = choice.Kind != SurfaceKind::Spline && upTo == DataKind::Fill;
    result = {};
    result.Choice = choice;
    if (PrepareSource(source, settings, smooth ? DataKind::Raw : upTo, fitter, records, messages) != 1)
        return -1;
    const ThkData& raw = records.Record(DataKind::Raw);
    const std::vector<SurfaceSite> sites = SitesOf(raw, units);
    const WaferFrame frame = FrameOf(wafer, raw.Size);
    if (!smooth) {
        result.Frame = frame;
        result.Sites = sites;
        if (upTo == DataKind::Fill) result.Over = FindOvershoot(records.Record(DataKind::Fill), sites, frame);
        return 1;
    }
    ThkData& fill = records.Record(DataKind::Fill);
    if (BuildSurface(raw, sites, frame, choice, fill, result, messages) != 1) return -1;
    SettleDisplayRange(fill, raw, DataKind::Fill, settings.RawRange);
    return 1;
}
