#include "session/Compare.h"

#include <memory>

#include "calc/SurfaceFitter.h"

int CompareWithSource(const ThkData& first, const ViewSettings& firstSettings, const SourceInput& source,
                      const CompareRequest& request, SurfaceFitter& fitter, PreparedRecords& second,
                      ThkData& difference, const MessageSink& messages) {
    ViewSettings settings = firstSettings;
    // The first file's lattice and radius: no search of its own.
    settings.RadOptimize = false;
    if (PrepareSource(source, settings, request.Data, fitter, second, messages) != 1) return -1;
    return DifferenceOfRecords(first, second.Record(request.Data), request.Order, request.RateTime,
                               difference, messages);
}

int CompareSources(const SourceInput& first, const SourceInput& second, const ViewSettings& settings,
                   const CompareRequest& request, SurfaceFitter& fitter, ThkData& difference,
                   const MessageSink& messages) {
    auto a = std::make_unique<PreparedRecords>();
    ViewSettings used = settings;
    if (PrepareSource(first, used, request.Data, fitter, *a, messages) != 1) return -1;
    auto b = std::make_unique<PreparedRecords>();
    return CompareWithSource(a->Record(request.Data), used, second, request, fitter, *b, difference,
                             messages);
}
