#include "session/Comparison.h"

#include "calc/SurfaceFitter.h"

Comparison::Comparison() = default;
Comparison::~Comparison() = default;

int Comparison::Run(const ThkData& first, const ThkData& firstRaw, const ViewSettings& firstSettings,
                    const SourceInput& second, const CompareRequest& request, const Names& names,
                    const MessageSink& messages) {
    // The second source's records, the fitter and the new difference are
    // large and needed only for this run; the difference replaces the one
    // shown only when the run succeeds.
    auto fitter = std::make_unique<SurfaceFitter>();
    auto records = std::make_unique<PreparedRecords>();
    auto difference = std::make_unique<ThkData>();
    ClearThkData(difference.get(), 1);
    std::vector<PairedSite> sites;
    if (CompareWithSource(first, firstRaw, firstSettings, second, request, *fitter, *records, *difference,
                          sites, messages) != 1)
        return -1;
    sites_ = std::move(sites);
    difference_ = std::move(difference);
    request_ = request;
    names_ = names;
    return 1;
}

void Comparison::End() {
    difference_.reset();
    sites_.clear();
}

std::string Comparison::Title() const {
    if (!Active()) return {};
    return request_.Order == DifferenceOrder::FirstMinusSecond ? names_.First + " - " + names_.Second
                                                               : names_.Second + " - " + names_.First;
}

std::string Comparison::ShownName() const {
    return request_.RateTime > 0.0 ? "Rate per " + names_.TimeUnit : "Difference";
}
