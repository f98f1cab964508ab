#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Levelling.h"
#include "analysis/Overshoot.h"
#include "analysis/SiteResiduals.h"
#include "analysis/WaferGeometry.h"
#include "analysis/Zernike.h"

// The texts of the surface figures, as AnalysisText writes its own: one row a
// line, tab-separated, numbers by FormatG17, positions in the wafer frame's
// mm (+Y up) with a wafer and in cells without one.

// "Residuals<TAB><how>" (how: "leave-one-out" or "fit"), the header
// "Site<TAB>X<TAB>Y<TAB>Measured<TAB>Predicted<TAB>Residual", a row per site
// (Predicted and Residual "-" and the note after them when there is no
// prediction), then ResidualCount, ResidualMissing, ResidualRMS,
// ResidualMean, and "ResidualMaxAbs<TAB>value<TAB>site number" (the site
// field empty when there is no prediction at all).
std::string ResidualsText(const std::vector<SiteResidual>& residuals, const WaferFrame& frame,
                          std::string_view how);

// "RadiusScan", the header "Radius<TAB>RMS<TAB>Mean<TAB>MaxAbs<TAB>Count<TAB>Missing",
// a row per radius.
struct RadiusScanRow {
    double Radius = 0.0;
    ResidualSummary Summary;
};
std::string RadiusScanText(std::span<const RadiusScanRow> rows);

// "Overshoot<TAB>none", or one line per side beyond the allowance:
// "Overshoot<TAB>below|above<TAB>value<TAB>X<TAB>Y<TAB>excess", then
// "OvershootAllowance<TAB>value".
std::string OvershootText(const Overshoot& over, const WaferFrame& frame);

// "Zernike<TAB>order<TAB>rank" and "Z<j><TAB>name<TAB>coefficient" per term.
std::string ZernikeText(const ZernikeFit& fit);

// "Levelling<TAB>tilt|bow<TAB>sites|cells", then Piston, TiltX, TiltY,
// TiltMagnitude, TiltDirectionDeg and (bow) Bow.
std::string LevellingText(const Levelling& levelling);
