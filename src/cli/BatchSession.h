#pragma once

#include <memory>
#include <string>

#include "data/ThkData.h"

// The main window's data flow without the window: the three records, the
// parameter label texts and the sequence of load, Calc, Fill, data-type and
// draw-type changes with the redraws each of them triggers, so that the
// records' display ranges and the installed ramp set end up exactly as in the
// window after the same clicks. Pictures are painted elsewhere (MapPicture);
// an intermediate colour-map redraw leaves nothing behind but its picture, so
// here a redraw only settles the display range and, for a contour drawing,
// installs the drawing ramp set that the drawing leaves installed.
//
// A fresh session installs the start-up ramp set and the border count, as the
// window's creation does; the process-wide colour-scale state is shared, so
// only one session should be in use at a time.

struct SessionSettings {
    int CalcPitch = 20;
    std::string SearchRadText = "80.0";
    std::string AverageWeightText = "3.00";
    int SplineOrder = 3;
    int MinDataCount = 1;
    bool RadOptimize = true;
    bool RawRange = true;
    int BorderCount = 5;
};

class BatchSession {
public:
    explicit BatchSession(const SessionSettings& settings);
    ~BatchSession();
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // The window's load of a file: clears the three records, reads the Raw
    // record, selects Raw (a redraw, which recomputes the Raw statistics from
    // its cells), optimises the search radius when that is on (the radius
    // label takes the result with one decimal; a failure has shown its
    // message and leaves the label alone) and redraws. 1, or -1 after the
    // reader's message with every record cleared.
    int Load(const std::string& fileName);

    // Calc: the Grid record from the Raw record with the parameters as the
    // window parses them from its labels; selects Grid and redraws.
    void Calc();

    // Fill: 1 with Fill selected and redrawn, or -1 after the fill's message
    // with the Fill record cleared and nothing else changed.
    int Fill();

    // A click on another data type or draw type, with the redraw it triggers
    // (the draw type box redraws only while Grid or Fill is shown).
    void SelectDataType(int dataType);
    void SelectDrawType(int drawType);

    // The central redraw's effect on the state: the display range of the
    // shown record by the Raw Range rule (Min/Max copied from Raw for Grid and
    // Fill while Raw Range is on, otherwise the statistics recomputed), and
    // the drawing ramp set when the contour map is drawn.
    void RedrawAll();

    int DataType() const { return dataType_; }
    int DrawType() const { return drawType_; }
    bool RawRange() const { return settings_.RawRange; }
    // The record of the shown data type (Raw when nothing is selected).
    ThkData& ShownRecord();
    ThkData& Record(int dataType);

    // The search radius label text and its value as the window reads it.
    const std::string& SearchRadText() const { return settings_.SearchRadText; }
    float SearchRad() const;
    double AverageWeight() const;
    int CalcPitch() const { return settings_.CalcPitch; }

private:
    SessionSettings settings_;
    std::unique_ptr<ThkData[]> records_;
    int dataType_ = -1;
    int drawType_ = 0;
};
