#include "analysis/SurfaceText.h"

#include "core/RoundTripNumber.h"

namespace {

void Field(std::string& out, double value) {
    out += '\t';
    AppendG17(out, value);
}

void Named(std::string& out, std::string_view name, double value) {
    out += name;
    Field(out, value);
    out += '\n';
}

}  // namespace

std::string ResidualsText(const std::vector<SiteResidual>& residuals, const WaferFrame& frame,
                          std::string_view how) {
    std::string out = "Residuals\t" + std::string(how) + "\nSite\tX\tY\tMeasured\tPredicted\tResidual\n";
    for (const SiteResidual& r : residuals) {
        out += std::to_string(r.Number);
        const FitPoint p = FitPointOf(frame, r.X, r.Y);
        Field(out, frame.HasWafer ? p.X : r.X);
        Field(out, frame.HasWafer ? p.Y : r.Y);
        Field(out, r.Measured);
        if (r.Predicted) {
            Field(out, r.Prediction);
            Field(out, r.Residual);
        } else {
            out += "\t-\t-\t" + r.Note;
        }
        out += '\n';
    }
    const ResidualSummary s = SummariseResiduals(residuals);
    out += "ResidualCount\t" + std::to_string(s.Count) + "\nResidualMissing\t" + std::to_string(s.Missing) +
           "\n";
    Named(out, "ResidualRMS", s.Rms);
    Named(out, "ResidualMean", s.Mean);
    out += "ResidualMaxAbs";
    Field(out, s.LargestAbs);
    out += '\t';
    if (s.Largest >= 0) out += std::to_string(residuals[static_cast<std::size_t>(s.Largest)].Number);
    out += '\n';
    return out;
}

std::string RadiusScanText(std::span<const RadiusScanRow> rows) {
    std::string out = "RadiusScan\nRadius\tRMS\tMean\tMaxAbs\tCount\tMissing\n";
    for (const RadiusScanRow& r : rows) {
        AppendG17(out, r.Radius);
        Field(out, r.Summary.Rms);
        Field(out, r.Summary.Mean);
        Field(out, r.Summary.LargestAbs);
        out += '\t' + std::to_string(r.Summary.Count) + '\t' + std::to_string(r.Summary.Missing) + '\n';
    }
    return out;
}

std::string OvershootText(const Overshoot& over, const WaferFrame& frame) {
    std::string out;
    for (const auto& [side, name] : {std::pair(&over.Below, "below"), std::pair(&over.Above, "above")}) {
        if (!side->Beyond) continue;
        out += std::string("Overshoot\t") + name;
        Field(out, side->Value);
        const FitPoint p = FitPointOf(frame, side->X, side->Y);
        Field(out, frame.HasWafer ? p.X : side->X);
        Field(out, frame.HasWafer ? p.Y : side->Y);
        Field(out, side->Excess);
        out += '\n';
    }
    if (out.empty()) out = "Overshoot\tnone\n";
    Named(out, "OvershootAllowance", over.Allowance);
    return out;
}

std::string ZernikeText(const ZernikeFit& fit) {
    std::string out = "Zernike\t" + std::to_string(fit.Order) + '\t' + std::to_string(fit.Rank) + '\n';
    for (std::size_t j = 0; j < fit.Coefficients.size(); ++j) {
        const int index = static_cast<int>(j) + 1;
        out += 'Z' + std::to_string(index) + '\t' + ZernikeName(index);
        Field(out, fit.Coefficients[j]);
        out += '\n';
    }
    return out;
}

std::string LevellingText(const Levelling& l) {
    std::string out = std::string("Levelling\t") + (l.Kind == LevelKind::Bow ? "bow" : "tilt") + '\t' +
                      (l.FromSites ? "sites" : "cells") + '\n';
    Named(out, "Piston", l.Piston);
    Named(out, "TiltX", l.TiltX);
    Named(out, "TiltY", l.TiltY);
    Named(out, "TiltMagnitude", l.TiltMagnitude());
    Named(out, "TiltDirectionDeg", l.TiltDirectionDeg());
    if (l.Kind == LevelKind::Bow) Named(out, "Bow", l.Bow);
    return out;
}
