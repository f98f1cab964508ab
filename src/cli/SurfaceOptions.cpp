#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cli/OptionRows.h"
#include "session/LeaveOneOut.h"

namespace cli_table {

namespace {

using C = CliCommand;

// "FROM,TO,STEP": three plain decimal numbers with 0 < FROM <= TO and
// STEP > 0, giving at most MaxRadiusScanPoints radii.
bool KeepRadiusScan(const std::string& text, CliOptions& o) {
    std::istringstream fields(text);
    std::string field;
    double v[3];
    for (double& value : v) {
        if (!std::getline(fields, field, ',') || field.empty() ||
            field.find_first_not_of("0123456789.") != std::string::npos)
            return false;
        char* end = nullptr;
        value = std::strtod(field.c_str(), &end);
        if (*end != '\0' || !std::isfinite(value)) return false;
    }
    if (fields.peek() != EOF || text.ends_with(',') || !(v[0] > 0.0 && v[1] >= v[0] && v[2] > 0.0) ||
        (v[1] - v[0]) / v[2] >= MaxRadiusScanPoints)
        return false;
    o.RadiusScan = true;
    std::tie(o.ScanFrom, o.ScanTo, o.ScanStep) = std::tuple(v[0], v[1], v[2]);
    return true;
}

}  // namespace

std::vector<Section> SurfaceSections() {
    return {
        {Only(C::Analyze, C::Image),
         {{"--surface", "WORD", "spline (default), tps or zernike:N, N from 1 to 10",
           std::string("must be ") + SurfaceChoiceRule,
           [](const std::string& t, CliOptions& o) {
               return o.SurfaceGiven = ParseSurfaceChoice(t, o.Surface);
           }}}},
        {Only(C::Analyze),
         {{"--residuals", "", "each site predicted without it (Zernike: the fit's)", "",
           [](const std::string&, CliOptions& o) { return (o.Residuals = true, true); }},
          {"--radius-scan", "FROM,TO,STEP", "leave-one-out RMS of the spline per search radius",
           "must be FROM,TO,STEP with 0 < FROM <= TO, STEP > 0, at most 1000 radii", KeepRadiusScan},
          {"--level", "WORD", "tilt or bow: remove a plane (and bow) first", "must be tilt or bow",
           [](const std::string& t, CliOptions& o) {
               o.Level = t == "tilt" ? LevelKind::Tilt : t == "bow" ? LevelKind::Bow : LevelKind::None;
               return o.Level != LevelKind::None;
           }}}},
    };
}

std::string CheckSurfaceOptions(CliOptions& o, bool dataGiven) {
    if (o.Surface.Kind == SurfaceKind::Spline) return {};
    if (dataGiven && o.DataType != DataKind::Fill)
        return "--surface " + SurfaceChoiceText(o.Surface) + " is a fill: --data must be fill";
    o.DataType = DataKind::Fill;
    return {};
}

}  // namespace cli_table
