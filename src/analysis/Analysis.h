#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "analysis/WaferGeometry.h"
#include "core/Message.h"
#include "data/ThkData.h"

// The analysis of one record, as every front end asks for it: the figures of
// the record and of its measured sites inside the wafer, one profile and a
// histogram. A front end builds the request from its controls or arguments,
// the request is checked once against one table of limits, and the answer is
// returned whole.

// Diameters: both diameter profiles through the centre, X in Profile and Y
// in YProfile (a report page plots them together).
enum class ProfileKind { None, X, Y, Radial, Line, Diameters };

struct AnalysisRequest {
    WaferGeometry Wafer;
    ProfileKind Profile = ProfileKind::None;
    // The line of a Line profile, file units.
    double LineX0 = 0.0;
    double LineY0 = 0.0;
    double LineX1 = 0.0;
    double LineY1 = 0.0;
    int HistogramBins = 0;  // 0: no histogram
};

// The limits of a request, one place for every front end.
inline constexpr int MinHistogramBins = 1;
inline constexpr int MaxHistogramBins = 10000;

// The one message that says what is out of range in the request (the wafer
// diameter, the edge exclusion, the centre, the bins, a line end that is not
// finite), or an empty text when it can be run. The texts are the command
// line's usage texts, so a caller of any front end reads the same words:
//   "--wafer must be a number from 0 to 10000"
//   "--edge must be a number of 0 or more"
//   "--center must be X,Y with numbers from 0 to 500"
//   "--histogram must be an integer from 1 to 10000"
//   "--profile must be x, y, radial or X0,Y0,X1,Y1"
std::string CheckAnalysisRequest(const AnalysisRequest& request);

// The message of a wafer fault, as CheckAnalysisRequest gives it; empty for
// none.
std::string WaferFaultText(WaferFault fault);

// What a front end says when no data cell lies inside the wafer (a centre far
// off the data, an exclusion wider than the data): the figures are then no
// figures at all.
inline constexpr const char* EmptyAreaMessage = "There is no data inside the wafer.";

struct AnalysisResult {
    WaferFrame Frame;      // of the record's Size
    AreaStatistics Shown;  // the record's data cells inside the wafer
    // The measured sites inside the wafer, each at its measured position
    // (CalcSiteStatistics), when sites were given.
    std::optional<AreaStatistics> Sites;
    int MinSite = 0;  // the site numbers of the sites' extremes (0: none kept)
    int MaxSite = 0;
    std::vector<ProfilePoint> Profile;   // X, Y, Line, or the X diameter of Diameters
    std::vector<ProfilePoint> YProfile;  // the Y diameter of Diameters
    std::vector<RingStats> Rings;        // Radial
    std::optional<Histogram> Histo;
};

// Analyses record (and the sites, nullptr: none) as the request says. 1, or
// -1 after the check's message with result untouched.
int AnalyzeRecord(const ThkData& record, const ThkData* sites, const AnalysisRequest& request,
                  AnalysisResult& result, const MessageSink& messages);

// The same, the figures' values gathered in scratch (see CalcAreaStatistics),
// for a caller that analyses record after record.
int AnalyzeRecord(const ThkData& record, const ThkData* sites, const AnalysisRequest& request,
                  AnalysisResult& result, const MessageSink& messages, std::vector<double>& scratch);
