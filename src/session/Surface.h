#pragma once

#include <string>
#include <vector>

#include "analysis/Overshoot.h"
#include "analysis/SiteResiduals.h"
#include "analysis/SurfaceSites.h"
#include "analysis/WaferGeometry.h"
#include "analysis/Zernike.h"
#include "core/Message.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"
#include "session/Prepare.h"

// The surface a front end shows in place of the Fill record: the grid-and-
// spline surface of Calc and Fill (the default, exact to its definition), a
// thin-plate spline through the measured sites, or a least-squares Zernike
// model of the sites on the wafer disc. The two smooth surfaces are fitted
// in the fit plane (wafer mm, cells without a wafer) and evaluated at every
// cell inside the frame's kept disc (the Zernike model only inside its
// disc: the wafer, or without one the disc inscribed in the area), into an
// ordinary record that colours, statistics, profiles and pictures read as
// they read a Fill record.

enum class SurfaceKind { Spline, ThinPlate, Zernike };

struct SurfaceChoice {
    SurfaceKind Kind = SurfaceKind::Spline;
    int ZernikeOrder = 0;  // 1..10 for Zernike
    bool operator==(const SurfaceChoice&) const = default;
};

// "spline", "tps" or "zernike:N" (N from 1 to 10); false for anything else.
bool ParseSurfaceChoice(const std::string& text, SurfaceChoice& choice);
// The same words back.
std::string SurfaceChoiceText(const SurfaceChoice& choice);
// What a front end says when the text does not parse.
inline constexpr const char* SurfaceChoiceRule = "spline, tps or zernike:N with N from 1 to 10";

struct SurfaceResult {
    SurfaceChoice Choice;
    WaferFrame Frame;
    std::vector<SurfaceSite> Sites;
    // Zernike: the coefficients and rank (empty for the other surfaces).
    ZernikeFit Zernike;
    // Thin-plate spline: every site predicted from the others (closed form);
    // Zernike: the model's residual at each site. Empty for the spline.
    std::vector<SiteResidual> Residuals;
    bool LeaveOneOut = false;  // whether Residuals are predictions from the other sites
    Overshoot Over;
};

// Fits the chosen smooth surface (ThinPlate or Zernike) through the sites and
// writes it into surface: Valid, Size, PitchX = PitchY = 1, extents, Name
// and Unit of raw, every evaluated cell, statistics. 1, or -1 after one
// message with surface cleared:
//   "Thin-plate spline needs three sites not on one line, each at its own position."
//   "Zernike order <n> needs at least <terms> sites."
//   "The spline surface is made by Calc and Fill."   (the choice is Spline)
int BuildSurface(const ThkData& raw, const std::vector<SurfaceSite>& sites, const WaferFrame& frame,
                 const SurfaceChoice& choice, ThkData& surface, SurfaceResult& result,
                 const MessageSink& messages);

// Residuals as an analysis reports them, for any record: the record's value
// at each site's cell (no prediction where the cell is empty). Used for the
// surfaces whose residuals are not predictions from the other sites.
std::vector<SiteResidual> ResidualsAtCells(const ThkData& record, const std::vector<SurfaceSite>& sites);

// PrepareSource with the surface chosen: for the spline, PrepareSource
// itself; for a smooth surface, the Raw record (and the radius search) as
// PrepareSource makes it, then, when upTo is Fill, the surface in the Fill
// record's place (Calc and Fill are not run; its display range settled as
// Fill's), fitted through SitesOf(raw, units) in the frame of the wafer on
// the Raw record's Size. result.Sites and result.Frame are set for every
// choice, and result.Over whenever upTo is Fill. 1, or -1 after the failing
// step's message.
int PrepareSurface(const SourceInput& source, ViewSettings& settings, DataKind upTo,
                   const SurfaceChoice& choice, PointUnits units, const WaferGeometry& wafer,
                   SurfaceFitter& fitter, PreparedRecords& records, SurfaceResult& result,
                   const MessageSink& messages);
