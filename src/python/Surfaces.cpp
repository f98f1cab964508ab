#include "Surfaces.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Errors.h"
#include "analysis/Levelling.h"
#include "analysis/SiteResiduals.h"
#include "analysis/SurfaceSites.h"
#include "analysis/WaferGeometry.h"
#include "analysis/Zernike.h"
#include "data/ThkData.h"
#include "session/LeaveOneOut.h"
#include "session/Surface.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

py::object Result(const char* type, const py::dict& d) {
    return py::module_::import("morvaplot._results").attr(type)(d);
}

// The surface a kind and order name; ValueError for any other.
SurfaceChoice ChoiceOf(const std::string& kind, const py::object& order) {
    SurfaceChoice choice;
    if (kind == "spline" || kind == "tps") {
        if (!order.is_none()) throw py::value_error("order is given only with kind='zernike'");
        choice.Kind = kind == "spline" ? SurfaceKind::Spline : SurfaceKind::ThinPlate;
        return choice;
    }
    if (kind != "zernike") throw py::value_error("kind must be 'spline', 'tps' or 'zernike'");
    if (order.is_none()) throw py::value_error("kind='zernike' needs an order from 1 to 10");
    if (py::isinstance<py::bool_>(order) || !py::hasattr(order, "__index__"))
        throw py::type_error("order must be an int");
    const long long n = py::module_::import("operator").attr("index")(order).cast<long long>();
    if (n < MinZernikeOrder || n > MaxZernikeOrder) throw py::value_error("order must be from 1 to 10");
    choice.Kind = SurfaceKind::Zernike;
    choice.ZernikeOrder = static_cast<int>(n);
    return choice;
}

LevelKind LevelOf(const std::string& kind) {
    if (kind == "tilt") return LevelKind::Tilt;
    if (kind == "bow") return LevelKind::Bow;
    throw py::value_error("kind must be 'tilt' or 'bow'");
}

// Where the analysis reports a position: mm from the wafer centre (+Y up)
// with a wafer, the record's cells without one.
std::pair<double, double> Reported(const WaferFrame& frame, double x, double y) {
    if (!frame.HasWafer) return {x, y};
    const FitPoint p = FitPointOf(frame, x, y);
    return {p.X, p.Y};
}

// A smooth surface fitted through the raw record's sites; Error with the
// fit's message when it is not defined.
struct FittedSurface {
    std::unique_ptr<ThkData> Record = std::make_unique<ThkData>();
    SurfaceResult Result;
};

FittedSurface FitSurface(const Session& s, PointUnits units, const SurfaceChoice& choice,
                         const std::optional<WaferGeometry>& wafer) {
    FittedSurface fitted;
    const ThkData& raw = s.Record(DataKind::Raw);
    const WaferFrame frame = FrameOf(wafer.value_or(WaferGeometry{}), raw.Size);
    std::string fault;
    const MessageSink keep([&fault](const std::string& text) { fault = text; });
    if (BuildSurface(raw, SitesOf(raw, units), frame, choice, *fitted.Record, fitted.Result, keep) != 1)
        throw MessageError(fault);
    return fitted;
}

struct ResidualTable {
    WaferFrame Frame;
    std::vector<SiteResidual> Sites;
    const char* How = "leave-one-out";
};

py::tuple ResidualsOf(const ResidualTable& t) {
    const std::size_t n = t.Sites.size();
    py::array_t<int> site(static_cast<py::ssize_t>(n));
    py::array_t<double> columns[5] = {
        py::array_t<double>(static_cast<py::ssize_t>(n)), py::array_t<double>(static_cast<py::ssize_t>(n)),
        py::array_t<double>(static_cast<py::ssize_t>(n)), py::array_t<double>(static_cast<py::ssize_t>(n)),
        py::array_t<double>(static_cast<py::ssize_t>(n))};
    py::list notes;
    for (std::size_t i = 0; i < n; ++i) {
        const SiteResidual& r = t.Sites[i];
        const auto [x, y] = Reported(t.Frame, r.X, r.Y);
        site.mutable_data()[i] = r.Number;
        columns[0].mutable_data()[i] = x;
        columns[1].mutable_data()[i] = y;
        columns[2].mutable_data()[i] = r.Measured;
        columns[3].mutable_data()[i] = r.Predicted ? r.Prediction : NaN;
        columns[4].mutable_data()[i] = r.Predicted ? r.Residual : NaN;
        notes.append(DecodedText(r.Note));
    }
    py::dict table;
    table["site"] = site;
    table["x"] = columns[0];
    table["y"] = columns[1];
    table["measured"] = columns[2];
    table["predicted"] = columns[3];
    table["residual"] = columns[4];
    table["note"] = py::module_::import("numpy").attr("array")(notes, "object");

    const ResidualSummary s = SummariseResiduals(t.Sites);
    py::dict summary;
    summary["how"] = t.How;
    summary["count"] = s.Count;
    summary["missing"] = s.Missing;
    summary["rms"] = s.Count > 0 ? s.Rms : NaN;
    summary["mean"] = s.Count > 0 ? s.Mean : NaN;
    summary["max_abs"] = s.Count > 0 ? s.LargestAbs : NaN;
    if (s.Largest >= 0) {
        const SiteResidual& r = t.Sites[static_cast<std::size_t>(s.Largest)];
        const auto [x, y] = Reported(t.Frame, r.X, r.Y);
        summary["max_abs_site"] = r.Number;
        summary["max_abs_x"] = x;
        summary["max_abs_y"] = y;
    } else {
        summary["max_abs_site"] = py::none();
        summary["max_abs_x"] = NaN;
        summary["max_abs_y"] = NaN;
    }
    return py::make_tuple(Result("Columns", table), Result("Statistics", summary));
}

// A number of the radius scan: finite, and not a bool.
double ScanNumber(const char* name, const py::handle& value) {
    if (py::isinstance<py::bool_>(value) ||
        !(py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value) ||
          py::hasattr(value, "__float__")))
        throw py::type_error(std::string(name) + " must be a number");
    return value.cast<double>();
}

std::vector<float> RadiiOf(const py::handle& start, const py::handle& stop, const py::handle& step) {
    const double from = ScanNumber("start", start);
    const double to = ScanNumber("stop", stop);
    const double by = ScanNumber("step", step);
    if (!(std::isfinite(from) && std::isfinite(to) && std::isfinite(by) && from > 0.0 && to >= from &&
          by > 0.0 && (to - from) / by < MaxRadiusScanPoints))
        throw py::value_error("the scan needs 0 < start <= stop and step > 0, giving at most 1000 radii");
    return ScanRadii(from, to, by);
}

py::object ScanColumns(const std::vector<RadiusScore>& scores) {
    const auto n = static_cast<py::ssize_t>(scores.size());
    py::array_t<double> radius(n), rms(n), mean(n), largest(n);
    py::array_t<int> count(n), missing(n);
    for (py::ssize_t i = 0; i < n; ++i) {
        const RadiusScore& s = scores[static_cast<std::size_t>(i)];
        const bool any = s.Summary.Count > 0;
        radius.mutable_data()[i] = s.Radius;
        rms.mutable_data()[i] = any ? s.Summary.Rms : NaN;
        mean.mutable_data()[i] = any ? s.Summary.Mean : NaN;
        largest.mutable_data()[i] = any ? s.Summary.LargestAbs : NaN;
        count.mutable_data()[i] = s.Summary.Count;
        missing.mutable_data()[i] = s.Summary.Missing;
    }
    py::dict d;
    d["radius"] = radius;
    d["rms"] = rms;
    d["mean"] = mean;
    d["max_abs"] = largest;
    d["count"] = count;
    d["missing"] = missing;
    return Result("Columns", d);
}

py::dict OvershootOf(const Overshoot& over, const WaferFrame& frame) {
    py::dict d;
    d["allowance"] = over.Allowance;
    for (const auto& [side, name] : {std::pair(&over.Below, "below"), std::pair(&over.Above, "above")}) {
        if (!side->Beyond) {
            d[name] = py::none();
            continue;
        }
        const auto [x, y] = Reported(frame, side->X, side->Y);
        py::dict at;
        at["value"] = side->Value;
        at["x"] = x;
        at["y"] = y;
        at["excess"] = side->Excess;
        d[name] = at;
    }
    return d;
}

RecordKind RecordKindOf(DataKind kind) {
    return kind == DataKind::Grid   ? RecordKind::Grid
           : kind == DataKind::Fill ? RecordKind::Fill
                                    : RecordKind::Raw;
}

}  // namespace

void RegisterSurfaces(py::class_<PySession>& session) {
    session.def(
        "residuals",
        [](PySession& s, const std::string& kind, const py::object& order,
           const std::optional<WaferGeometry>& wafer) {
            const SurfaceChoice choice = ChoiceOf(kind, order);
            const ResidualTable table =
                s.Compute(std::string("raw"),
                          [&](const Session& session, DataKind, PointUnits units, const std::string&) {
                              ResidualTable t;
                              const ThkData& raw = session.Record(DataKind::Raw);
                              t.Frame = FrameOf(wafer.value_or(WaferGeometry{}), raw.Size);
                              if (choice.Kind == SurfaceKind::Spline) {
                                  SplineLeaveOneOut(raw, SitesOf(raw, units), session.Settings(), t.Sites);
                                  return t;
                              }
                              FittedSurface fitted = FitSurface(session, units, choice, wafer);
                              t.Sites = std::move(fitted.Result.Residuals);
                              if (!fitted.Result.LeaveOneOut) t.How = "fit";
                              return t;
                          });
            return ResidualsOf(table);
        },
        py::arg("kind") = "spline", py::arg("order") = py::none(), py::arg("wafer") = py::none(),
        "How well a surface predicts each measured site of the raw data, as morvaplot-cli analyze "
        "--residuals reports it: (columns, summary). columns: site, x, y (mm from the wafer centre, +y up, "
        "with a wafer; the record's cells without one), measured, predicted and residual (measured - "
        "predicted; NaN where the surface gives no value, note saying why). kind 'spline' leaves each site "
        "out of Calc and Fill in turn with the Session's settings; 'tps' predicts each from the thin-plate "
        "spline through the others; 'zernike' with order 1 to 10 gives the model's own misfit (how 'fit'). "
        "summary: how, count, missing, rms, mean, max_abs and the site where it is (max_abs_site, "
        "max_abs_x, max_abs_y).");
    session.def(
        "radius_scan",
        [](PySession& s, const py::object& start, const py::object& stop, const py::object& step) {
            const std::vector<float> radii = RadiiOf(start, stop, step);
            const std::vector<RadiusScore> scores =
                s.Compute(std::string("raw"),
                          [&](const Session& session, DataKind, PointUnits units, const std::string&) {
                              const ThkData& raw = session.Record(DataKind::Raw);
                              std::vector<RadiusScore> out;
                              ScanSearchRadius(raw, SitesOf(raw, units), session.Settings(), radii, out);
                              return out;
                          });
            return ScanColumns(scores);
        },
        py::arg("start"), py::arg("stop"), py::arg("step"),
        "The cross-validation curve of the search radius, as morvaplot-cli analyze --radius-scan: for the "
        "radii start, start + step, ... up to stop (0 < start <= stop, step > 0, at most 1000 radii), the "
        "leave-one-out residuals of Calc and Fill with the Session's other settings. Columns radius, rms, "
        "mean, max_abs, count and missing (NaN figures where no site was predicted).");
    session.def(
        "surface",
        [](PySession& s, const std::string& kind, const py::object& order,
           const std::optional<WaferGeometry>& wafer) {
            const SurfaceChoice choice = ChoiceOf(kind, order);
            struct Answer {
                Record Surface;
                SurfaceResult Fit;
            };
            const Answer answer = s.Compute(
                std::string(choice.Kind == SurfaceKind::Spline ? "fill" : "raw"),
                [&](const Session& session, DataKind, PointUnits units, const std::string& name) {
                    if (choice.Kind == SurfaceKind::Spline) {
                        const ThkData& fill = session.Record(DataKind::Fill);
                        Answer a{Snapshot(fill, RecordKind::Fill, name), {}};
                        const ThkData& raw = session.Record(DataKind::Raw);
                        a.Fit.Choice = choice;
                        a.Fit.Frame = FrameOf(wafer.value_or(WaferGeometry{}), raw.Size);
                        a.Fit.Over = FindOvershoot(fill, SitesOf(raw, units), a.Fit.Frame);
                        return a;
                    }
                    FittedSurface fitted = FitSurface(session, units, choice, wafer);
                    return Answer{Snapshot(*fitted.Record, RecordKind::Fill, name), std::move(fitted.Result)};
                });
            py::dict figures;
            figures["kind"] = SurfaceChoiceText(choice);
            figures["overshoot"] = OvershootOf(answer.Fit.Over, answer.Fit.Frame);
            if (choice.Kind == SurfaceKind::Zernike) {
                const ZernikeFit& z = answer.Fit.Zernike;
                py::dict terms;
                for (std::size_t j = 0; j < z.Coefficients.size(); ++j)
                    terms[py::str(ZernikeName(static_cast<int>(j) + 1))] = z.Coefficients[j];
                figures["coefficients"] = terms;
                figures["rank"] = z.Rank;
                figures["disc_radius"] = z.Radius;
            } else {
                figures["coefficients"] = py::none();
                figures["rank"] = py::none();
                figures["disc_radius"] = py::none();
            }
            return py::make_tuple(py::cast(answer.Surface), Result("Statistics", figures));
        },
        py::arg("kind") = "tps", py::arg("order") = py::none(), py::arg("wafer") = py::none(),
        "A surface through the raw data's sites, as morvaplot-cli analyze --surface makes it: (record, "
        "figures). kind 'spline' is the Session's fill (after fill()); 'tps' the thin-plate spline through "
        "every site, at every cell inside the wafer's kept disc (every cell without a wafer); 'zernike' with "
        "order 1 to 10 the least-squares Zernike model on the wafer disc (the disc inscribed in the area "
        "without one). The record is a 'fill' Record. figures: kind, overshoot (allowance, and below and "
        "above: the surface's extreme beyond the sites' by more than the allowance, or None), and for "
        "Zernike the coefficients by term name in Noll's order (each the RMS its term adds), the fit's "
        "rank and disc_radius (mm with a wafer).");
    session.def(
        "level",
        [](PySession& s, const std::string& kind, const std::optional<std::string>& data,
           const std::optional<WaferGeometry>& wafer) {
            const LevelKind level = LevelOf(kind);
            struct Answer {
                Record Levelled;
                Levelling Fit;
            };
            const Answer answer = s.Compute(
                data, [&](const Session& session, DataKind shown, PointUnits units, const std::string& name) {
                    const ThkData& raw = session.Record(DataKind::Raw);
                    const WaferFrame frame = FrameOf(wafer.value_or(WaferGeometry{}), raw.Size);
                    auto copy = std::make_unique<ThkData>();
                    CopyThkData(session.Record(shown), *copy);
                    Levelling fit;
                    if (FitLevelling(*copy, SitesOf(raw, units), frame, level, fit) != 1)
                        throw MessageError(LevellingFailedMessage);
                    RemoveLevelling(*copy, frame, fit);
                    return Answer{Snapshot(*copy, RecordKindOf(shown), name), fit};
                });
            const Levelling& l = answer.Fit;
            py::dict figures;
            figures["kind"] = kind;
            figures["through"] = l.FromSites ? "sites" : "cells";
            figures["count"] = l.Count;
            figures["piston"] = l.Piston;
            figures["tilt_x"] = l.TiltX;
            figures["tilt_y"] = l.TiltY;
            figures["tilt"] = l.TiltMagnitude();
            figures["tilt_direction_deg"] = l.TiltDirectionDeg();
            figures["bow"] = l.Bow;
            return py::make_tuple(py::cast(answer.Levelled), Result("Statistics", figures));
        },
        py::arg("kind") = "tilt", py::arg("data") = py::none(), py::arg("wafer") = py::none(),
        "The record data ('raw', 'grid' or 'fill'; the shown one when None) levelled as morvaplot-cli "
        "analyze --level levels it: the least-squares plane ('tilt') or plane and paraboloid about the "
        "wafer centre ('bow') through the raw data's sites taken out of every data cell. Returns (record, "
        "figures); the Session's own records are left as they are. figures: kind, through ('sites', or "
        "'cells' when there are none), "
        "count, piston (the value at the centre), tilt_x and tilt_y (per mm with a wafer, per cell without "
        "one; +y up), tilt, tilt_direction_deg (the way it rises, counter-clockwise from +x) and bow (per "
        "mm squared).");
}
