#include "analysis/Analysis.h"

#include <cmath>
#include <vector>

#include "analysis/AnalysisMask.h"
#include "analysis/SiteStatistics.h"

std::string WaferFaultText(WaferFault fault) {
    switch (fault) {
        case WaferFault::Diameter:
            return "--wafer must be a number from 0 to 10000";
        case WaferFault::Edge:
            return "--edge must be a number of 0 or more";
        case WaferFault::Centre:
            return "--center must be X,Y with numbers from 0 to 500";
        case WaferFault::None:
            break;
    }
    return {};
}

std::string CheckAnalysisRequest(const AnalysisRequest& request) {
    const WaferFault fault = CheckWaferGeometry(request.Wafer);
    if (fault != WaferFault::None) return WaferFaultText(fault);
    if (request.HistogramBins != 0 &&
        (request.HistogramBins < MinHistogramBins || request.HistogramBins > MaxHistogramBins))
        return "--histogram must be an integer from 1 to 10000";
    if (request.Profile == ProfileKind::Line &&
        !(std::isfinite(request.LineX0) && std::isfinite(request.LineY0) && std::isfinite(request.LineX1) &&
          std::isfinite(request.LineY1)))
        return "--profile must be x, y, radial or X0,Y0,X1,Y1";
    return {};
}

namespace {

// AnalyzeRecord, with the caller's scratch for the figures or (nullptr) a
// buffer of this call.
int Analyze(const ThkData& record, const ThkData* sites, const AnalysisRequest& request,
            AnalysisResult& result, const MessageSink& messages, std::vector<double>* scratch) {
    const auto area = [scratch](const ThkData& r, const AnalysisMask& m) {
        return scratch ? CalcAreaStatistics(r, m, *scratch) : CalcAreaStatistics(r, m);
    };
    const std::string fault = CheckAnalysisRequest(request);
    if (!fault.empty()) {
        messages.Show(fault);
        return -1;
    }
    AnalysisResult answer;
    const AnalysisMask mask(record.Size, request.Wafer);
    answer.Frame = mask.Frame();
    answer.Shown = area(record, mask);
    if (sites) {
        // A table's sites where they were measured; a .thk file's sites are
        // its data cells.
        const AnalysisMask siteMask =
            sites->Size == record.Size ? mask : AnalysisMask(sites->Size, request.Wafer);
        if (sites->Points.empty()) {
            answer.Sites = area(*sites, siteMask);
        } else {
            const SiteStatistics s = CalcSiteStatistics(*sites, siteMask);
            answer.Sites = s.Figures;
            answer.MinSite = s.MinSite;
            answer.MaxSite = s.MaxSite;
        }
    }
    switch (request.Profile) {
        case ProfileKind::X:
            answer.Profile = DiameterProfile(record, mask, ProfileAxis::X);
            break;
        case ProfileKind::Y:
            answer.Profile = DiameterProfile(record, mask, ProfileAxis::Y);
            break;
        case ProfileKind::Line:
            answer.Profile =
                LineProfile(record, mask, request.LineX0, request.LineY0, request.LineX1, request.LineY1);
            break;
        case ProfileKind::Diameters:
            answer.Profile = DiameterProfile(record, mask, ProfileAxis::X);
            answer.YProfile = DiameterProfile(record, mask, ProfileAxis::Y);
            break;
        case ProfileKind::Radial:
            answer.Rings = RadialProfile(record, mask);
            break;
        case ProfileKind::None:
            break;
    }
    if (request.HistogramBins > 0) answer.Histo = CalcHistogram(record, mask, request.HistogramBins);
    result = std::move(answer);
    return 1;
}

}  // namespace

int AnalyzeRecord(const ThkData& record, const ThkData* sites, const AnalysisRequest& request,
                  AnalysisResult& result, const MessageSink& messages) {
    return Analyze(record, sites, request, result, messages, nullptr);
}

int AnalyzeRecord(const ThkData& record, const ThkData* sites, const AnalysisRequest& request,
                  AnalysisResult& result, const MessageSink& messages, std::vector<double>& scratch) {
    return Analyze(record, sites, request, result, messages, &scratch);
}
