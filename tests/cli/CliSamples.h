#pragma once

// The window's flow on a file, run in-process through the same session the
// window runs, to compare the tool's output with.

#include <string>
#include <vector>

#include "colour/ColorScale.h"
#include "session/Session.h"
#include "support/SampleFiles.h"

// Load, then Calc and Fill as the buttons run them, with the window's
// default settings unless given.
class FlowRun final : public SessionFrontEnd {
public:
    explicit FlowRun(const std::string& path, const ViewSettings& settings = ViewSettings{}) {
        Flow.Settings() = settings;
        if (Flow.OpenFile(path) != 1) return;
        Flow.Calc();
        FillResult = Flow.Fill();
    }

    ThkData& Raw() { return Flow.Record(DataKind::Raw); }
    ThkData& Grid() { return Flow.Record(DataKind::Grid); }
    ThkData& Fill() { return Flow.Record(DataKind::Fill); }
    float Radius() const { return Flow.Settings().SearchRad; }

    void ShowMap(const ThkData&, const MapPlan&) override {}
    void ShowMessageText(const std::string& text) override { Messages.push_back(text); }

    std::vector<std::string> Messages;
    Session Flow{*this};
    int FillResult = 0;
};
