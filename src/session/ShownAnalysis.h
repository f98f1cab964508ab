#pragma once

#include <optional>
#include <string>
#include <utility>

#include "analysis/Analysis.h"
#include "analysis/AnalysisMask.h"
#include "analysis/AreaStatistics.h"
#include "analysis/RecordDifference.h"
#include "analysis/WaferGeometry.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "data/ThkData.h"
#include "session/Comparison.h"
#include "session/MapPlan.h"
#include "session/Session.h"
#include "session/Source.h"

// What the analysis window shows and analyses, apart from its controls: the
// record the main window last drew, followed through its drawings, or while
// comparing the difference of that record and a second source; the wafer and
// the histogram's bins the analysis is asked for; the analysis of the shown
// record and the texts taken from it. The window maps its controls onto this
// and shows the results; the main window's records are only read.
class ShownAnalysis {
public:
    // session: the main window's flow. Its Raw record gives the measured
    // sites, its Grid record the nodes, its settings the parameters a second
    // source is prepared with.
    explicit ShownAnalysis(const Session& session);

    // The main window drew record as plan says. False when that changes
    // nothing here: a contour redraw of the record followed leaves the
    // record, its range and its colours as they were. Otherwise the record is
    // followed and a comparison ends, since a full drawing may bring new
    // data, parameters or colours.
    bool Follow(const ThkData& record, const MapPlan& plan);
    // The record the main window drew last; nullptr before its first drawing.
    const ThkData* Followed() const { return followed_; }
    const MapPlan& Plan() const { return plan_; }

    // The record shown: the difference while comparing, otherwise the one
    // followed; nullptr before the main window's first drawing.
    const ThkData* Shown() const;
    // Whether a Valid record is shown (to be saved).
    bool HasData() const;
    // The heading of its figures: the data type's name ("Fill"),
    // "Difference", or "Rate per <unit>".
    std::string ShownName() const;
    // The measured sites beside the shown record: the Raw record; none for
    // a difference, which has no sites of its own.
    const ThkData* Sites() const;
    // The calculated nodes: the Grid record while Grid or Fill data are
    // followed; none for Raw data or a difference.
    const ThkData* Nodes() const;

    // The name of the file the main window shows, as the user reads it
    // (empty: data without a file).
    void SetSourceName(std::string name) { sourceName_ = std::move(name); }
    // The file line of a picture: the comparison's title while comparing,
    // else the file's name or "(no file)".
    std::string FileTitle() const;

    // Compares the followed record with second as Comparison::Run does, for
    // the data type the main window shows; the first file is named by the
    // source name ("this" without one), the second by secondName. 1, or -1
    // after a message: "There is no data to compare with." when no Valid
    // record is followed, or the failing step's (a comparison that stood
    // still stands).
    int CompareWith(const SourceInput& second, const std::string& secondName, DifferenceOrder order,
                    double rateTime, const std::string& timeUnit, const MessageSink& messages);
    // Whether a Valid record is followed, to compare with.
    bool CanCompare() const { return followed_ != nullptr && followed_->Valid; }
    void EndComparison() { comparison_.End(); }
    bool Comparing() const { return comparison_.Active(); }
    const Comparison& Compared() const { return comparison_; }

    const WaferGeometry& Wafer() const { return wafer_; }
    // Takes a geometry that passes CheckWaferGeometry; false, with nothing
    // changed, otherwise.
    bool SetWafer(const WaferGeometry& wafer);
    // Where an unset wafer centre lies: the middle of the followed record's
    // square (Size / 2, file units), of the largest square before any.
    double SquareMiddle() const;

    // The bins of the histogram (32 at first).
    int HistogramBins() const { return bins_; }
    void SetHistogramBins(int bins) { bins_ = bins; }

    // The request of the window's analysis: the wafer, both diameter
    // profiles and the histogram.
    AnalysisRequest Request() const;
    // Analyses the shown record with its sites as Request() asks: 1; -1
    // after the check's message, or with nothing shown, with the last
    // result kept.
    int Analyze(const MessageSink& messages);
    const AnalysisResult& Result() const { return result_; }
    // The mask of the last analysis: the shown record's Size under the
    // wafer; nullptr before the first.
    const AnalysisMask* Mask() const { return mask_ ? &*mask_ : nullptr; }
    // The figures of the sites in the last analysis; all empty without sites.
    AreaStatistics SitesStatistics() const { return result_.Sites.value_or(AreaStatistics{}); }
    // What Copy puts on the clipboard: the shown record's figures, then the
    // sites' with the prefix "Sites", as "name<TAB>value" lines.
    std::string StatisticsClipboardText() const;

    // What a picture of the shown record is made from, besides its colours:
    // the record and its sites, the drawing and the ramp set, the title's
    // names, and its figures under the wafer.
    struct Picture {
        const ThkData* Record = nullptr;
        const ThkData* Sites = nullptr;
        DrawKind Draw = DrawKind::Colormap;
        RampSetKind Ramp = RampSetKind::Startup;
        bool Difference = false;  // the diverging colours centred on zero
        bool SiteMarkers = false;
        WaferGeometry Wafer;
        std::string FileName;
        std::string DataType;
        AnalysisResult Figures;
    };
    // The picture of the shown record (HasData() must hold); siteMarkers:
    // the user asks for the sites' markers, which a colour map of Raw or
    // Grid data then carries.
    Picture ShownPicture(bool siteMarkers, const MessageSink& messages) const;

private:
    const Session& session_;
    const ThkData* followed_ = nullptr;
    MapPlan plan_;
    Comparison comparison_;
    std::string sourceName_;
    WaferGeometry wafer_;
    int bins_ = 32;
    std::optional<AnalysisMask> mask_;
    AnalysisResult result_;
};
