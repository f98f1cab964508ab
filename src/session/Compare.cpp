#include "session/Compare.h"

#include <memory>

#include "calc/SurfaceFitter.h"

int CompareWithSource(const ThkData& first, const ThkData& firstRaw, const ViewSettings& firstSettings,
                      const SourceInput& source, const CompareRequest& request, SurfaceFitter& fitter,
                      PreparedRecords& second, ThkData& difference, std::vector<PairedSite>& sites,
                      const MessageSink& messages) {
    ViewSettings settings = firstSettings;
    // The first file's lattice and radius: no search of its own.
    settings.RadOptimize = false;
    if (PrepareSource(source, settings, request.Data, fitter, second, messages) != 1) return -1;
    const ThkData& other = second.Record(request.Data);
    if (DifferenceOfRecords(first, other, request.Order, request.RateTime, difference, messages) != 1)
        return -1;
    const WaferFrame frame = FrameOf(request.Wafer, first.Size);
    sites = PairSites(firstRaw, first, second.Record(DataKind::Raw), other, frame, SiteToleranceUnits(frame),
                      request.Order, request.RateTime);
    KeepPairedSites(sites, firstRaw, difference);
    return 1;
}

int CompareSources(const SourceInput& first, const SourceInput& second, const ViewSettings& settings,
                   const CompareRequest& request, SurfaceFitter& fitter, ThkData& difference,
                   std::vector<PairedSite>& sites, const MessageSink& messages) {
    auto a = std::make_unique<PreparedRecords>();
    ViewSettings used = settings;
    if (PrepareSource(first, used, request.Data, fitter, *a, messages) != 1) return -1;
    auto b = std::make_unique<PreparedRecords>();
    return CompareWithSource(a->Record(request.Data), a->Record(DataKind::Raw), used, second, request, fitter,
                             *b, difference, sites, messages);
}
