#pragma once

#include <vector>

#include "analysis/RecordDifference.h"
#include "analysis/SitePairing.h"
#include "analysis/WaferGeometry.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"
#include "session/Prepare.h"
#include "session/Source.h"

class SurfaceFitter;

// What changed between two sources, one meaning for every front end: both
// are read with the same parameters, and the second uses the first's lattice
// and search radius (the radius after the first's radius search when that is
// on), so both surfaces share their nodes. The difference is of the chosen
// record type, taken cell by cell where both hold data, in the chosen order,
// optionally per unit of time. The measured sites of both files are paired
// site by site (PairSites, within half a millimetre on the request's wafer,
// half a cell without one) against the surfaces of the chosen type; the
// paired sites become the difference's own sites, so its site figures are
// theirs.

struct CompareRequest {
    DataKind Data = DataKind::Fill;
    DifferenceOrder Order = DifferenceOrder::FirstMinusSecond;
    double RateTime = 0.0;  // > 0: the difference divided by it (a rate)
    WaferGeometry Wafer;    // where the tolerance of the site pairing is measured
};

// The second half, for a caller that holds the first source prepared already
// (the window): first is the first source's record of request.Data, and
// firstSettings the settings it was prepared with, the search radius as used,
// and firstRaw its Raw record (its measured sites). The second source is
// prepared into second, the paired sites written to sites. 1, or -1 after
// the first failing step's message.
int CompareWithSource(const ThkData& first, const ThkData& firstRaw, const ViewSettings& firstSettings,
                      const SourceInput& source, const CompareRequest& request, SurfaceFitter& fitter,
                      PreparedRecords& second, ThkData& difference, std::vector<PairedSite>& sites,
                      const MessageSink& messages);

// Both halves: the first source prepared with settings (its radius search as
// settings say), then CompareWithSource.
int CompareSources(const SourceInput& first, const SourceInput& second, const ViewSettings& settings,
                   const CompareRequest& request, SurfaceFitter& fitter, ThkData& difference,
                   std::vector<PairedSite>& sites, const MessageSink& messages);
