#include "session/LeaveOneOut.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <string>

#include "calc/SurfaceFitter.h"
#include "core/ParallelTeam.h"
#include "session/Prepare.h"

namespace {

// One thread's records: a copy of Raw whose site cells are emptied one at a
// time, the grid and fill of each run, and the fitter that keeps the
// lattice's factors from one site to the next.
struct SiteWork {
    std::unique_ptr<ThkData[]> Records = std::make_unique<ThkData[]>(3);
    SurfaceFitter Fitter;
};

SiteResidual PredictWithout(SiteWork& work, const SurfaceSite& site, const ViewSettings& settings) {
    ThkData& raw = work.Records[0];
    ThkData& grid = work.Records[1];
    ThkData& fill = work.Records[2];
    SiteResidual r{site.Number, site.X, site.Y, site.Value, false, 0.0, 0.0, {}};
    const double kept = raw.Value[site.CellX][site.CellY];
    raw.Value[site.CellX][site.CellY] = NoData;
    CalcStep(raw, grid, settings);
    std::string note;
    const MessageSink sink([&note](const std::string& text) {
        if (note.empty()) note = text;
    });
    if (FillStep(work.Fitter, grid, fill, settings, sink) == 1 &&
        HasData(fill.Value[site.CellX][site.CellY])) {
        r.Predicted = true;
        r.Prediction = fill.Value[site.CellX][site.CellY];
        r.Residual = site.Value - r.Prediction;
    } else {
        r.Note = note.empty() ? "no value at the site's cell" : note;
    }
    raw.Value[site.CellX][site.CellY] = kept;
    return r;
}

// Runs every site at every radius, the (radius, site) pairs spread over the
// threads. 1, or 0 when cancelled.
int RunSites(const ThkData& raw, const std::vector<SurfaceSite>& sites, const ViewSettings& settings,
             const std::vector<float>& radii, std::vector<std::vector<SiteResidual>>& out,
             const RunControl& control) {
    const int n = static_cast<int>(sites.size());
    const int total = n * static_cast<int>(radii.size());
    out.assign(radii.size(), std::vector<SiteResidual>(sites.size()));
    std::vector<std::unique_ptr<SiteWork>> works(static_cast<std::size_t>(TeamLimit()));
    std::atomic<bool> stop = false;
    int done = 0;
#pragma omp parallel for schedule(dynamic)
    for (int item = 0; item < total; ++item) {
        if (stop.load(std::memory_order_relaxed)) continue;
        bool cancelled = false;
        if (control.Cancelled) {
#pragma omp critical(morvaplot_loo_control)
            cancelled = control.Cancelled();
        }
        if (cancelled) {
            stop = true;
            continue;
        }
        std::unique_ptr<SiteWork>& work = works[static_cast<std::size_t>(TeamThread())];
        if (!work) {
            work = std::make_unique<SiteWork>();
            ClearThkData(work->Records.get(), 3);
            CopyThkData(raw, work->Records[0]);
        }
        const std::size_t r = static_cast<std::size_t>(item / n);
        const std::size_t s = static_cast<std::size_t>(item % n);
        ViewSettings at = settings;
        at.SearchRad = radii[r];
        out[r][s] = PredictWithout(*work, sites[s], at);
#pragma omp critical(morvaplot_loo_control)
        {
            ++done;
            if (control.Progress) control.Progress(done, total);
        }
    }
    if (stop) {
        out.clear();
        return 0;
    }
    return 1;
}

}  // namespace

int SplineLeaveOneOut(const ThkData& raw, const std::vector<SurfaceSite>& sites, const ViewSettings& settings,
                      std::vector<SiteResidual>& residuals, const RunControl& control) {
    std::vector<std::vector<SiteResidual>> out;
    residuals.clear();
    if (RunSites(raw, sites, settings, {settings.SearchRad}, out, control) != 1) return 0;
    residuals = std::move(out.front());
    return 1;
}

std::vector<float> ScanRadii(double from, double to, double step) {
    std::vector<float> radii;
    if (!(step > 0.0) || !std::isfinite(from) || !std::isfinite(to)) return radii;
    // A small slack so that a decimal end (0.1 steps) is reached despite the
    // binary rounding of from + k * step.
    for (int k = 0; k < MaxRadiusScanPoints; ++k) {
        const double r = from + k * step;
        if (r > to + 1e-9 * std::abs(step)) break;
        radii.push_back(static_cast<float>(r));
    }
    return radii;
}

int ScanSearchRadius(const ThkData& raw, const std::vector<SurfaceSite>& sites, const ViewSettings& settings,
                     const std::vector<float>& radii, std::vector<RadiusScore>& scores,
                     const RunControl& control) {
    std::vector<std::vector<SiteResidual>> out;
    scores.clear();
    if (RunSites(raw, sites, settings, radii, out, control) != 1) return 0;
    for (std::size_t r = 0; r < radii.size(); ++r)
        scores.push_back({radii[r], SummariseResiduals(out[r])});
    return 1;
}
