#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/Codes.h"
#include "core/Message.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"
#include "session/MapPlan.h"
#include "session/Prepare.h"

// What a front end may use at a moment: the rows of the main window's state
// table plus the draw type box and Copy ROI.
struct Availability {
    std::array<bool, 3> DataItems{};  // Raw, Grid, Fill items of the data type group
    bool Calc = false;
    bool Fill = false;
    bool CopyImage = false;
    bool CopyData = false;
    bool View3D = false;
    bool DrawType = false;  // only while Fill is shown
    bool CopyRoi = false;   // only while Fill is shown and an ROI is placed

    bool operator==(const Availability&) const = default;
};

// The window or the batch tool, as the flow sees it. Every hook but the map
// and the messages has a default that does nothing, so a front end
// implements only what it shows.
class SessionFrontEnd {
public:
    virtual ~SessionFrontEnd() = default;
    // Copies the controls into the settings before each step that reads them;
    // a front end without controls leaves the settings as they are.
    virtual void ReadSettings(ViewSettings&) {}
    // The flow enabled and selected a data type item itself (no user click).
    virtual void ShowSelectedData(DataKind) {}
    virtual void ShowAvailability(const Availability&) {}
    // The radius optimisation found a radius: the search radius label's text.
    virtual void ShowSearchRadius(const std::string&) {}
    // The data table lists the record's cells; nullptr empties it.
    virtual void ShowDataTable(const ThkData*) {}
    // Paint the map of record as the plan says.
    virtual void ShowMap(const ThkData& record, const MapPlan& plan) = 0;
    // A long computation (Calc, Fill) starts or ends.
    virtual void ShowBusy(bool) {}
    // A message of one of the session's operations (a failed load, Calc or
    // Fill), for the user to read.
    virtual void ShowMessageText(const std::string& text) = 0;
};

class SurfaceFitter;

// The viewer's data flow, shared by the window and the batch tool: the three
// records (Raw, Grid, Fill), the settings, and what a load, Calc, Fill and a
// change of data or draw type do, in which order, with which redraws. It
// reports failures to the front end's ShowMessageText and tells it what to
// show through its hooks. Each operation reads the settings from the front
// end where the window reads its controls. A session keeps its own surface fitter; two sessions share
// nothing and may run on two threads at once.
class Session {
public:
    explicit Session(SessionFrontEnd& frontEnd);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Load from a file: 1, or -1 after the reader's message with every record
    // and state as before the load. An empty name is refused with
    // "<OpenThkData> Filename is NULL.".
    int OpenFile(const std::string& fileName);
    // Load from any source (a .thk file, X/Y/Z text, a table), as OpenFile.
    int OpenSource(const SourceInput& source);

    // Load from any producer of Raw data (a file reader, pasted text, the
    // random data maker): lets produce fill a scratch record (1 for
    // success), its messages going to the sink it is given, which shows
    // them through the front end; only then clears the three records, takes the scratch record
    // as Raw, selects Raw, lists it, optimises the search radius when that is
    // on, and with Auto Fill runs Calc and Fill. A failed produce changes
    // nothing.
    int Open(const std::function<int(ThkData&, const MessageSink&)>& produce);

    // New Raw data from a generator that writes the three records itself
    // (the random data maker: records are Raw, Grid, Fill in a row) and
    // answers false when the user cancelled; then nothing changes. Its
    // messages go to the sink it is given, as for Open. Otherwise
    // as a load, but without a redraw after an Auto Fill.
    bool OpenGenerated(const std::function<bool(ThkData* records, const MessageSink&)>& make);

    // Calc: the Grid record from the Raw record by inverse-distance
    // weighting; selects Grid.
    void Calc();

    // Fill: 1 with Fill selected, or -1 after the fill's message with the
    // Fill record cleared and nothing else changed.
    int Fill();

    // The user picked a data type item or a draw type (the settings hold the
    // new choice once read).
    void DataTypeClick();
    void DrawTypeChange();

    // The central redraw: settles the display range of the shown record
    // (Raw Range: Grid and Fill take the Raw record's Min and Max; otherwise
    // the statistics are recomputed) and paints it.
    void RedrawAll();

    // Redraws the contour map of Fill when Fill is shown, whatever the draw
    // type (after the border count or Copy Colormap changed).
    void RedrawContour();

    // Back to the no-data state after a failed load.
    void ResetData();

    // Places or removes ROI i (0 or 1).
    void SetRoiShown(int i, bool shown);
    bool RoiShown(int i) const { return roiShown_.at(static_cast<std::size_t>(i)); }

    // The Copy Data text of the shown record, with the data type and pitch as
    // last read: the pitch is the step for Grid data, 1 otherwise.
    std::string CopyDataText() const;

    ThkData& Record(DataKind kind);
    const ThkData& Record(DataKind kind) const;
    ViewSettings& Settings() { return settings_; }
    const ViewSettings& Settings() const { return settings_; }
    const Availability& Enabled() const { return enabled_; }

private:
    void ReadSettings();
    // Selects, lists and optimises new Raw data and enables what it allows.
    void TakeNewRawData();
    void SelectDataType(DataKind kind);
    void UpdateCopyRoi();
    void ShowAvailability();

    SessionFrontEnd& frontEnd_;
    std::unique_ptr<PreparedRecords> records_;
    // The record a load reads into before it replaces Raw.
    std::unique_ptr<ThkData> scratch_;
    std::unique_ptr<SurfaceFitter> fitter_;
    // Every operation's messages go to the front end.
    MessageSink messages_;
    ViewSettings settings_;
    Availability enabled_;
    std::array<bool, 2> roiShown_{};
};
