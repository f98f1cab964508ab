#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Codes.h"
#include "core/Message.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"
#include "session/Source.h"

class SurfaceFitter;

// The steps from a source to the three records, each with its inputs as
// arguments and its answer returned: the radius search, Calc and Fill, and
// the whole way from a file to the record a caller wants. The window's
// Session runs the same steps one click at a time.

// A number label's text read as the window reads it: the decimal number
// filling the text (C locale), 0 when there is none.
double LabelNumber(const std::string& text);

// What the radius search found: the search radius label's text (one
// decimal) and the radius the window then reads back from that label.
struct FoundRadius {
    std::string Text;
    float Radius = 0.0f;
};

// The radius search over the Raw record with the settings' pitch and least
// data count; nothing after its message when no radius fits.
std::optional<FoundRadius> FindSearchRadius(const ThkData& raw, const ViewSettings& settings,
                                            const MessageSink& messages);

// Calc: the Grid record from the Raw record by inverse-distance weighting
// with the settings' power, search radius and pitch.
void CalcStep(const ThkData& raw, ThkData& grid, const ViewSettings& settings);

// Fill: the Fill record from the Grid record with the settings' spline
// degree. 1, or -1 after the fill's message with fill cleared.
int FillStep(SurfaceFitter& fitter, const ThkData& grid, ThkData& fill, const ViewSettings& settings,
             const MessageSink& messages);

// The display range of the record of kind shown, settled as every drawing
// settles it: with Raw Range, Grid and Fill take the Raw record's Min and
// Max; otherwise the record's statistics are computed again.
void SettleDisplayRange(ThkData& record, const ThkData& raw, DataKind shown, bool rawRange);

// The Raw, Grid and Fill records of one source, owned together, with the
// store their analysis gathers values in: a caller that keeps them from file
// to file allocates neither again.
class PreparedRecords {
public:
    PreparedRecords();               // three empty records
    ThkData& Record(DataKind kind);  // None is Raw
    const ThkData& Record(DataKind kind) const;
    // Raw, Grid and Fill in a row, for a producer that writes all three.
    ThkData* All() { return records_.get(); }
    // ClearThkData of all three.
    void Clear();
    std::vector<double>& AnalysisScratch() { return analysisScratch_; }

private:
    std::unique_ptr<ThkData[]> records_;
    std::vector<double> analysisScratch_;
};

// Load, then as far as upTo asks: the radius search when settings.RadOptimize
// (settings.SearchRad becomes the radius found, as the window's label does),
// Calc for Grid and Fill, Fill for Fill; each record's display range settled
// as the window's drawing after each step settles it. 1, or -1 after the
// first failing step's message (a failed radius search is not a failure: its
// message is shown and the radius stays).
int PrepareSource(const SourceInput& source, ViewSettings& settings, DataKind upTo, SurfaceFitter& fitter,
                  PreparedRecords& records, const MessageSink& messages);
