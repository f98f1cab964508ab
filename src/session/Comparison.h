#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Message.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"
#include "session/Compare.h"
#include "session/Source.h"

// A comparison a front end shows and keeps until it ends: the difference of
// the record it shows and a second source (CompareWithSource: the second on
// the first's lattice and search radius), with the request it was made with
// and what names it: the two files in the order of the difference, and for a
// rate the unit of its time.
class Comparison {
public:
    // The files' names as the user reads them, and the unit of a rate's time
    // ("s", "min").
    struct Names {
        std::string First;
        std::string Second;
        std::string TimeUnit;
    };

    Comparison();
    ~Comparison();
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;

    // Compares first, the record of kind request.Data prepared with
    // firstSettings (the search radius as used), with the second source,
    // site by site with firstRaw's measured sites (CompareWithSource). 1,
    // and the comparison holds the new difference; or -1 after the failing
    // step's message with the comparison as it was (a comparison that stood
    // still stands).
    int Run(const ThkData& first, const ThkData& firstRaw, const ViewSettings& firstSettings,
            const SourceInput& second, const CompareRequest& request, const Names& names,
            const MessageSink& messages);
    // Nothing is compared any more.
    void End();

    bool Active() const { return difference_ != nullptr; }
    // The difference (a rate when the request's time was > 0); nullptr when
    // not Active.
    const ThkData* Difference() const { return difference_.get(); }
    const CompareRequest& Request() const { return request_; }
    // The sites of both files, paired or interpolated (PairSites); empty when
    // not Active.
    const std::vector<PairedSite>& Sites() const { return sites_; }

    // "first - second" in the order of the difference ("b.thk - a.thk" for
    // second minus first); empty when not Active.
    std::string Title() const;
    // The heading of the figures: "Difference", or "Rate per <unit>".
    std::string ShownName() const;

private:
    std::unique_ptr<ThkData> difference_;
    CompareRequest request_;
    std::vector<PairedSite> sites_;
    Names names_;
};
