#include "session/ShownAnalysis.h"

#include <algorithm>

#include "analysis/AnalysisText.h"

ShownAnalysis::ShownAnalysis(const Session& session) : session_(session) {}

bool ShownAnalysis::Follow(const ThkData& record, const MapPlan& plan) {
    if (!plan.Full && followed_ == &record) return false;
    comparison_.End();
    followed_ = &record;
    plan_ = plan;
    return true;
}

const ThkData* ShownAnalysis::Shown() const {
    return comparison_.Active() ? comparison_.Difference() : followed_;
}

bool ShownAnalysis::HasData() const {
    return Shown() != nullptr && Shown()->Valid;
}

std::string ShownAnalysis::ShownName() const {
    return comparison_.Active() ? comparison_.ShownName() : DataKindName(plan_.Shown);
}

const ThkData* ShownAnalysis::Sites() const {
    return comparison_.Active() ? nullptr : &session_.Record(DataKind::Raw);
}

const ThkData* ShownAnalysis::Nodes() const {
    const bool gridded = plan_.Shown == DataKind::Grid || plan_.Shown == DataKind::Fill;
    return gridded && !comparison_.Active() ? &session_.Record(DataKind::Grid) : nullptr;
}

std::string ShownAnalysis::FileTitle() const {
    if (comparison_.Active()) return comparison_.Title();
    return sourceName_.empty() ? "(no file)" : sourceName_;
}

int ShownAnalysis::CompareWith(const SourceInput& second, const std::string& secondName,
                               DifferenceOrder order, double rateTime, const std::string& timeUnit,
                               const MessageSink& messages) {
    if (!CanCompare()) {
        messages.Show("There is no data to compare with.");
        return -1;
    }
    CompareRequest request;
    request.Data = plan_.Shown;
    request.Order = order;
    request.RateTime = rateTime;
    request.Wafer = wafer_;
    const Comparison::Names names{sourceName_.empty() ? "this" : sourceName_, secondName, timeUnit};
    return comparison_.Run(*followed_, session_.Record(DataKind::Raw), session_.Settings(), second, request,
                           names, messages);
}

bool ShownAnalysis::SetWafer(const WaferGeometry& wafer) {
    if (CheckWaferGeometry(wafer) != WaferFault::None) return false;
    wafer_ = wafer;
    return true;
}

double ShownAnalysis::SquareMiddle() const {
    return followed_ ? std::clamp(followed_->Size, 0, ThkMaxSize) / 2.0 : ThkMaxSize / 2.0;
}

AnalysisRequest ShownAnalysis::Request() const {
    AnalysisRequest request;
    request.Wafer = wafer_;
    request.Profile = ProfileKind::Diameters;
    request.HistogramBins = bins_;
    return request;
}

int ShownAnalysis::Analyze(const MessageSink& messages) {
    const ThkData* record = Shown();
    if (!record) return -1;
    AnalysisResult result;
    // While comparing, the sites are the paired sites the difference keeps.
    const ThkData* sites = comparison_.Active() ? comparison_.Difference() : Sites();
    if (AnalyzeRecord(*record, sites, Request(), result, messages) != 1) return -1;
    mask_.emplace(record->Size, wafer_);
    result_ = std::move(result);
    return 1;
}

std::string ShownAnalysis::StatisticsClipboardText() const {
    return StatisticsText(result_.Shown) + StatisticsText(SitesStatistics(), "Sites");
}

ShownAnalysis::Picture ShownAnalysis::ShownPicture(bool siteMarkers, const MessageSink& messages) const {
    Picture picture;
    picture.Record = Shown();
    picture.Sites = Sites();
    picture.Difference = comparison_.Active();
    picture.Draw = picture.Difference ? DrawKind::Colormap : plan_.Draw;
    picture.Ramp = plan_.Ramp;
    // The markers mark the cells a colour map's sampling cannot show.
    picture.SiteMarkers =
        siteMarkers && !picture.Difference && (plan_.Shown == DataKind::Raw || plan_.Shown == DataKind::Grid);
    picture.Wafer = wafer_;
    picture.FileName = FileTitle();
    picture.DataType = ShownName();
    AnalysisRequest figures;
    figures.Wafer = wafer_;
    AnalyzeRecord(*picture.Record, picture.Sites, figures, picture.Figures, messages);
    return picture;
}
