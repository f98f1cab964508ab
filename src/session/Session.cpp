#include "session/Session.h"

#include <optional>
#include <vector>

#include "calc/SurfaceFitter.h"
#include "core/Message.h"
#include "data/DataTableText.h"

namespace {

// Shows the front end busy while a long computation runs. The messages the
// computation shows to Messages() are held until End has turned the busy
// indication off, so no message box ever waits for OK under a busy cursor.
class BusyScope {
public:
    BusyScope(SessionFrontEnd& frontEnd, const MessageSink& after)
        : frontEnd_(frontEnd),
          after_(after),
          hold_([this](const std::string& text) { held_.push_back(text); }) {
        frontEnd_.ShowBusy(true);
    }
    ~BusyScope() {
        // Reached without End only by an exception: the held texts go with it.
        if (!ended_) frontEnd_.ShowBusy(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    const MessageSink& Messages() const { return hold_; }

    void End() {
        ended_ = true;
        frontEnd_.ShowBusy(false);
        for (const std::string& text : held_)
            after_.Show(text);
    }

private:
    SessionFrontEnd& frontEnd_;
    const MessageSink& after_;
    std::vector<std::string> held_;
    MessageSink hold_;
    bool ended_ = false;
};

}  // namespace

// A new record is already empty (every cell NoData, the statistics at their
// start values), as ClearThkData leaves it.
Session::Session(SessionFrontEnd& frontEnd)
    : frontEnd_(frontEnd),
      records_(std::make_unique<PreparedRecords>()),
      scratch_(std::make_unique<ThkData>()),
      fitter_(std::make_unique<SurfaceFitter>()),
      messages_([&frontEnd](const std::string& text) { frontEnd.ShowMessageText(text); }) {}

Session::~Session() = default;

ThkData& Session::Record(DataKind kind) {
    return records_->Record(kind);
}

const ThkData& Session::Record(DataKind kind) const {
    return records_->Record(kind);
}

void Session::ReadSettings() {
    frontEnd_.ReadSettings(settings_);
}

void Session::ShowAvailability() {
    frontEnd_.ShowAvailability(enabled_);
}

int Session::OpenFile(const std::string& fileName) {
    return OpenSource(SourceInput{fileName});
}

int Session::OpenSource(const SourceInput& source) {
    return Open(
        [&source](ThkData& raw, const MessageSink& messages) { return ReadSource(source, raw, messages); });
}

int Session::Open(const std::function<int(ThkData&, const MessageSink&)>& produce) {
    ReadSettings();
    // The data are read into a scratch record that starts as a cleared Raw
    // record would, and replace the records only when the whole read worked:
    // a failed load shows its message and leaves every record as it was.
    ThkData& scratch = *scratch_;
    CopyThkData(Record(DataKind::Raw), scratch);
    ClearThkData(&scratch, 1);
    if (produce(scratch, messages_) != 1) return -1;
    records_->Clear();
    CopyThkData(scratch, Record(DataKind::Raw));
    TakeNewRawData();
    if (settings_.AutoFill) {
        Calc();
        Fill();
    }
    RedrawAll();
    return 1;
}

bool Session::OpenGenerated(const std::function<bool(ThkData* records, const MessageSink&)>& make) {
    ReadSettings();
    if (!make(records_->All(), messages_)) return false;
    TakeNewRawData();
    // Calc and Fill redraw; nothing is redrawn after them.
    if (settings_.AutoFill) {
        Calc();
        Fill();
    } else {
        RedrawAll();
    }
    return true;
}

void Session::TakeNewRawData() {
    ThkData& raw = Record(DataKind::Raw);
    SelectDataType(DataKind::Raw);
    frontEnd_.ShowDataTable(&raw);
    if (settings_.RadOptimize) {
        // A failed search has shown its message; the label keeps its radius.
        if (const std::optional<FoundRadius> found = FindSearchRadius(raw, settings_, messages_)) {
            settings_.SearchRad = found->Radius;
            frontEnd_.ShowSearchRadius(found->Text);
        }
    }
    enabled_.Calc = true;
    enabled_.CopyImage = true;
    enabled_.CopyData = true;
    ShowAvailability();
}

void Session::Calc() {
    ReadSettings();
    BusyScope busy(frontEnd_, messages_);
    CalcStep(Record(DataKind::Raw), Record(DataKind::Grid), settings_);
    busy.End();
    SelectDataType(DataKind::Grid);
    enabled_.Fill = true;
    ShowAvailability();
    frontEnd_.ShowDataTable(&Record(DataKind::Grid));
    RedrawAll();
}

int Session::Fill() {
    ReadSettings();
    // RunFill writes every cell of the record, or clears it when it fails.
    ThkData& fill = Record(DataKind::Fill);
    BusyScope busy(frontEnd_, messages_);
    const int result = FillStep(*fitter_, Record(DataKind::Grid), fill, settings_, busy.Messages());
    busy.End();
    if (result != 1) return -1;
    SelectDataType(DataKind::Fill);
    enabled_.View3D = true;
    ShowAvailability();
    RedrawAll();
    return 1;
}

void Session::SelectDataType(DataKind kind) {
    // The group raises its click only when the selection changes.
    const bool changed = settings_.DataType != kind;
    settings_.DataType = kind;
    enabled_.DataItems[static_cast<std::size_t>(IndexOf(kind))] = true;
    frontEnd_.ShowSelectedData(kind);
    ShowAvailability();
    if (changed) DataTypeClick();
}

void Session::DataTypeClick() {
    ReadSettings();
    UpdateCopyRoi();
    enabled_.DrawType = settings_.DataType == DataKind::Fill;
    ShowAvailability();
    RedrawAll();
}

void Session::DrawTypeChange() {
    ReadSettings();
    if (settings_.DataType == DataKind::Grid || settings_.DataType == DataKind::Fill) RedrawAll();
}

void Session::RedrawAll() {
    ReadSettings();
    const MapPlan plan = PlanMap(settings_);
    ThkData& record = Record(plan.Shown);
    SettleDisplayRange(record, Record(DataKind::Raw), plan.Shown, settings_.RawRange);
    frontEnd_.ShowMap(record, plan);
}

void Session::RedrawContour() {
    ReadSettings();
    if (settings_.DataType != DataKind::Fill) return;
    frontEnd_.ShowMap(Record(DataKind::Fill),
                      MapPlan{DataKind::Fill, DrawKind::Contour, RampSetKind::Drawing, false});
}

void Session::ResetData() {
    frontEnd_.ShowDataTable(nullptr);
    enabled_.DataItems = {};
    records_->Clear();
    enabled_.Calc = false;
    enabled_.Fill = false;
    enabled_.CopyImage = false;
    enabled_.CopyData = false;
    enabled_.View3D = false;
    ShowAvailability();
    RedrawAll();
}

void Session::SetRoiShown(int i, bool shown) {
    roiShown_.at(static_cast<std::size_t>(i)) = shown;
    UpdateCopyRoi();
    ShowAvailability();
}

void Session::UpdateCopyRoi() {
    enabled_.CopyRoi = settings_.DataType == DataKind::Fill && (roiShown_[0] || roiShown_[1]);
}

std::string Session::CopyDataText() const {
    const int step = settings_.DataType == DataKind::Grid ? settings_.CalcPitch : 1;
    return BuildThkDataText(Record(settings_.DataType), step);
}
