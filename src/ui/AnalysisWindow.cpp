#include "ui/AnalysisWindow.h"

#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <cmath>

#include "analysis/AnalysisText.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "analysis/RecordCsvText.h"
#include "colour/ScaleLabels.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "report/AnnotatedPicture.h"
#include "report/DivergingRamp.h"
#include "report/QtWholeFile.h"
#include "report/Report.h"
#include "report/StatisticsCells.h"
#include "ui/AnalysisCharts.h"
#include "ui/AnalysisColorBar.h"
#include "ui/AnalysisMapView.h"
#include "ui/Dialogs.h"
#include "ui/SettingsIni.h"
#include "ui/widgets/NamedZeroSpinBox.h"

namespace {

QString FaultText(WaferFault fault) {
    switch (fault) {
        case WaferFault::Diameter:
            return QStringLiteral("The diameter must lie between 0 and %1 mm.").arg(MaxWaferDiameterMm);
        case WaferFault::Edge:
            return QStringLiteral("The edge exclusion must not be negative.");
        case WaferFault::Centre:
            return QStringLiteral("The centre must lie within 0..500.");
        case WaferFault::None:
            break;
    }
    return {};
}

// The cells of a difference in the colours centred on zero, one pixel per
// cell as AnalysisCellImage lays them out; cells outside the mask or without
// data take back.
QImage DifferenceCellImage(const ThkData& record, Color back, const AnalysisMask& mask) {
    const int side = mask.Size() + 1;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(ColorToArgb(back)));
    const double limit = DivergingLimit(record);
    for (int x = 0; x < side; ++x) {
        const ColumnSpan run = mask.Column(x);
        for (int y = run.First; y <= run.Last; ++y)
            if (HasData(record.Value[x][y]))
                image.setPixel(x, y, ColorToArgb(DivergingColor(record.Value[x][y], limit)));
    }
    return image;
}

// The front end for the second file of a comparison: nothing is shown,
// messages go on to the window's own display.
class SilentFrontEnd : public SessionFrontEnd {
public:
    explicit SilentFrontEnd(const MessageSink& messages) : messages_(messages) {}
    void ShowMap(const ThkData&, const MapPlan&) override {}
    void ShowMessageText(const std::string& text) override { messages_.Show(text); }

private:
    const MessageSink& messages_;
};

QDoubleSpinBox* MakeSpin(double lo, double hi, int decimals, const QString& suffix, QWidget* parent) {
    auto* spin = new QDoubleSpinBox(parent);
    spin->setRange(lo, hi);
    spin->setDecimals(decimals);
    spin->setSuffix(suffix);
    spin->setKeyboardTracking(false);
    return spin;
}

// A number box whose lowest value shows as name.
QDoubleSpinBox* MakeNamedSpin(const QString& name, double lo, double hi, int decimals, const QString& unit,
                              QWidget* parent) {
    auto* spin = new NamedZeroSpinBox(name, QString(), parent);
    spin->setRange(lo, hi);
    spin->setDecimals(decimals);
    spin->SetUnit(unit);
    spin->setKeyboardTracking(false);
    return spin;
}

}  // namespace

AnalysisWindow::AnalysisWindow(const Session& session, const QString& settingsFolder, Dialogs& dialogs,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), dialogs_(dialogs) {
    settingsPath_ = QDir(settingsFolder).filePath(SettingsFileName());
    setWindowTitle(QStringLiteral("Morvaplot Analysis"));
    BuildControls();
    LoadWafer();
    ShowWaferInControls();
    resize(1240, 860);
}

AnalysisWindow::~AnalysisWindow() = default;

void AnalysisWindow::BuildControls() {
    // Wafer and view settings above the map.
    auto* settings = new QGridLayout;
    diameter_ =
        MakeNamedSpin(QStringLiteral("none"), 0.0, MaxWaferDiameterMm, 1, QStringLiteral(" mm"), this);
    edge_ = MakeSpin(0.0, MaxWaferDiameterMm, 1, QStringLiteral(" mm"), this);
    centreSet_ = new QCheckBox(QStringLiteral("Centre at"), this);
    centreSet_->setToolTip(QStringLiteral("Unticked: the middle of the Size square"));
    centreX_ = MakeSpin(0.0, ThkMaxSize, 2, QString(), this);
    centreY_ = MakeSpin(0.0, ThkMaxSize, 2, QString(), this);
    waferFault_ = new QLabel(this);
    waferFault_->setStyleSheet(QStringLiteral("QLabel { color: #c00000; }"));
    settings->addWidget(new QLabel(QStringLiteral("Wafer diameter:"), this), 0, 0);
    settings->addWidget(diameter_, 0, 1);
    settings->addWidget(new QLabel(QStringLiteral("Edge exclusion:"), this), 0, 2);
    settings->addWidget(edge_, 0, 3);
    settings->addWidget(centreSet_, 0, 4);
    settings->addWidget(new QLabel(QStringLiteral("X"), this), 0, 5);
    settings->addWidget(centreX_, 0, 6);
    settings->addWidget(new QLabel(QStringLiteral("Y"), this), 0, 7);
    settings->addWidget(centreY_, 0, 8);
    showSites_ = new QCheckBox(QStringLiteral("Raw sites"), this);
    showSites_->setChecked(true);
    showNodes_ = new QCheckBox(QStringLiteral("Grid nodes"), this);
    showNodes_->setChecked(true);
    bins_ = new QSpinBox(this);
    bins_->setRange(2, 256);
    bins_->setValue(32);
    bins_->setKeyboardTracking(false);
    resetView_ = new QPushButton(QStringLiteral("Whole map"), this);
    resetView_->setToolTip(QStringLiteral("Wheel: zoom; drag: pan; Shift+drag: line profile"));
    settings->addWidget(showSites_, 1, 0);
    settings->addWidget(showNodes_, 1, 1);
    settings->addWidget(new QLabel(QStringLiteral("Histogram bins:"), this), 1, 2);
    settings->addWidget(bins_, 1, 3);
    settings->addWidget(waferFault_, 1, 4, 1, 4);
    settings->addWidget(resetView_, 1, 8);
    saveImage_ = new QPushButton(QStringLiteral("Save Image"), this);
    auto* scales = new QMenu(saveImage_);
    for (int scale : {1, 2, 4})
        connect(scales->addAction(QStringLiteral("%1x...").arg(scale)), &QAction::triggered, this,
                [this, scale] { SaveImageClick(scale); });
    saveImage_->setMenu(scales);
    saveData_ = new QPushButton(QStringLiteral("Save Data..."), this);
    settings->addWidget(saveImage_, 0, 9);
    settings->addWidget(saveData_, 1, 9);
    // Compare with a second file.
    compare_ = new QPushButton(QStringLiteral("Compare..."), this);
    compare_->setToolTip(QStringLiteral("Load a second file and show the difference"));
    order_ = new QComboBox(this);
    order_->addItem(QStringLiteral("this - other"));
    order_->addItem(QStringLiteral("other - this"));
    time_ = MakeNamedSpin(QStringLiteral("no rate"), 0.0, 1e9, 3, QString(), this);
    timeUnit_ = new QComboBox(this);
    timeUnit_->addItem(QStringLiteral("s"));
    timeUnit_->addItem(QStringLiteral("min"));
    endCompare_ = new QPushButton(QStringLiteral("Back to the map"), this);
    endCompare_->setEnabled(false);
    compareState_ = new QLabel(this);
    settings->addWidget(compare_, 2, 0);
    settings->addWidget(order_, 2, 1);
    settings->addWidget(new QLabel(QStringLiteral("Time:"), this), 2, 2);
    settings->addWidget(time_, 2, 3);
    settings->addWidget(timeUnit_, 2, 4);
    settings->addWidget(compareState_, 2, 5, 1, 3);
    settings->addWidget(endCompare_, 2, 8);
    settings->setColumnStretch(10, 1);

    map_ = new AnalysisMapView(this);
    colorBar_ = new AnalysisColorBar(this);
    readout_ = new QLabel(QStringLiteral("X: ---  Y: ---  Value: ---"), this);
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* mapRow = new QHBoxLayout;
    mapRow->addWidget(map_, 1);
    mapRow->addWidget(colorBar_);
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(settings);
    leftLayout->addLayout(mapRow, 1);
    leftLayout->addWidget(readout_);

    // Figures and plots to the right.
    auto* figures = new QGroupBox(QStringLiteral("Statistics inside the wafer"), this);
    stats_ = new QTableWidget(StatisticRows, 2, figures);
    stats_->setHorizontalHeaderLabels({QStringLiteral("Raw"), QStringLiteral("Raw sites")});
    QStringList rows;
    for (const char* name : StatisticNames)
        rows << QString::fromLatin1(name);
    stats_->setVerticalHeaderLabels(rows);
    stats_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stats_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    stats_->verticalHeader()->setDefaultSectionSize(stats_->fontMetrics().height() + 4);
    stats_->setMinimumHeight((stats_->fontMetrics().height() + 4) * (StatisticRows + 1) + 6);
    for (int r = 0; r < StatisticRows; ++r)
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem(QStringLiteral("---"));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            stats_->setItem(r, c, item);
        }
    copyStats_ = new QPushButton(QStringLiteral("Copy"), figures);
    copyStats_->setToolTip(QStringLiteral("Copy the figures as tab-separated text"));
    auto* figuresLayout = new QVBoxLayout(figures);
    figuresLayout->addWidget(stats_);
    auto* copyRow = new QHBoxLayout;
    copyRow->addStretch(1);
    copyRow->addWidget(copyStats_);
    figuresLayout->addLayout(copyRow);
    charts_ = new AnalysisCharts(this);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(figures);
    rightLayout->addWidget(charts_, 1);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({720, 500});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(splitter);

    for (QDoubleSpinBox* spin : {diameter_, edge_, centreX_, centreY_})
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { WaferControlsChanged(); });
    connect(centreSet_, &QCheckBox::toggled, this, [this] { WaferControlsChanged(); });
    for (QCheckBox* box : {showSites_, showNodes_})
        connect(box, &QCheckBox::toggled, this, [this] { Refresh(); });
    connect(bins_, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(resetView_, &QPushButton::clicked, map_, &AnalysisMapView::ResetView);
    connect(saveData_, &QPushButton::clicked, this, &AnalysisWindow::SaveDataClick);
    connect(compare_, &QPushButton::clicked, this, &AnalysisWindow::CompareClick);
    connect(endCompare_, &QPushButton::clicked, this, &AnalysisWindow::EndComparison);
    connect(copyStats_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(StatisticsClipboardText()); });
    connect(map_, &AnalysisMapView::pointerMoved, this, &AnalysisWindow::ShowPointer);
    connect(map_, &AnalysisMapView::pointerLeft, this,
            [this] { readout_->setText(QStringLiteral("X: ---  Y: ---  Value: ---")); });
    connect(map_, &AnalysisMapView::lineDrawn, this, [this](QLineF line) {
        line_ = line;
        RefreshLineProfile();
        charts_->SelectTab(AnalysisCharts::LineProfile);
    });
}

void AnalysisWindow::MapShown(const ThkData& record, const MapPlan& plan, const MapStyle& style) {
    // A contour redraw leaves the record, its range and its colour map as
    // they were.
    if (!plan.Full && shown_ == &record) return;
    // A full drawing may bring new data, parameters or colours: the
    // difference no longer stands for what the main window shows.
    difference_.reset();
    endCompare_->setEnabled(false);
    compareState_->clear();
    shown_ = &record;
    plan_ = plan;
    style_ = style;
    stale_ = true;
    if (isVisible()) Refresh();
}

void AnalysisWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) Refresh();
}

void AnalysisWindow::Refresh() {
    stale_ = false;
    if (!shown_) return;
    const bool difference = difference_ != nullptr;
    const ThkData& record = *ShownRecord();
    const ThkData& raw = session_.Record(DataKind::Raw);
    mask_.emplace(record.Size, wafer_);
    const AnalysisMask& mask = *mask_;
    const WaferFrame& frame = mask.Frame();
    shownStats_ = CalcAreaStatistics(record, mask);
    // A difference has no measured sites of its own.
    if (difference)
        sitesStats_ = AreaStatistics{};
    else
        sitesStats_ = raw.Size == record.Size ? CalcAreaStatistics(raw, mask)
                                              : CalcAreaStatistics(raw, AnalysisMask(raw.Size, wafer_));
    ShowStatistics();

    // The colour maps always use the start-up ramp set, which the bar shows;
    // a contour drawing's set is its lines'.
    const RampSetKind ramp = plan_.Draw == DrawKind::Colormap ? plan_.Ramp : RampSetKind::Startup;
    AnalysisMapScene scene;
    scene.Cells = difference ? DifferenceCellImage(record, style_.BackColor, mask)
                             : AnalysisCellImage(record, style_, ramp, mask);
    scene.Back = QColor::fromRgb(ColorToArgb(style_.BackColor));
    scene.Frame = frame;
    if (frame.HasWafer) {
        scene.WaferRadiusUnits = wafer_.DiameterMm / 2 / frame.MmPerUnit;
        scene.KeptRadiusUnits = wafer_.EdgeExclusionMm > 0.0 && frame.KeptRadiusSqUnits >= 0.0
                                    ? std::sqrt(frame.KeptRadiusSqUnits)
                                    : -1.0;
    }
    if (showSites_->isChecked() && !difference) scene.Sites = MarkersOf(raw);
    const bool gridShown = plan_.Shown == DataKind::Grid || plan_.Shown == DataKind::Fill;
    if (showNodes_->isChecked() && gridShown && !difference)
        scene.Nodes = MarkersOf(session_.Record(DataKind::Grid));
    scene.Line = line_;
    map_->SetScene(std::move(scene));

    std::array<QString, 5> ticks;
    const std::array<std::string, 5> labels =
        difference ? DivergingScaleLabels(record) : ScaleLabels(record).Range;
    for (std::size_t i = 0; i < 5; ++i)
        ticks[i] = QString::fromStdString(labels[i]);
    if (difference)
        colorBar_->SetDiverging(ticks);
    else
        colorBar_->SetScale(style_.UseColormap, style_.Table, ticks);

    const bool mm = frame.HasWafer;
    charts_->ShowProfile(AnalysisCharts::XProfile, DiameterProfile(record, mask, ProfileAxis::X), mm);
    charts_->ShowProfile(AnalysisCharts::YProfile, DiameterProfile(record, mask, ProfileAxis::Y), mm);
    charts_->ShowRadial(RadialProfile(record, mask), mm);
    const ::Histogram histogram = CalcHistogram(record, mask, bins_->value());
    std::vector<QColor> colours;
    colours.reserve(histogram.Counts.size());
    const RampParameters& rampSet = RampSetOf(RampSetKind::Startup);
    for (std::size_t i = 0; i < histogram.Counts.size(); ++i) {
        const double middle = (histogram.Edges[i] + histogram.Edges[i + 1]) / 2;
        const auto position = static_cast<float>(ScalePosition(middle, record.Min, record.Max));
        const Color c = difference           ? DivergingColor(middle, DivergingLimit(record))
                        : style_.UseColormap ? GetRampColor(position, rampSet)
                                             : GetGradationColor(style_.Table, 1.0f - position);
        colours.push_back(QColor::fromRgb(ColorToArgb(c)));
    }
    charts_->ShowHistogram(histogram, colours, shownStats_);
    RefreshLineProfile();
}

void AnalysisWindow::RefreshLineProfile() {
    if (!shown_ || !mask_ || !line_) return;
    charts_->ShowProfile(
        AnalysisCharts::LineProfile,
        LineProfile(*ShownRecord(), *mask_, line_->x1(), line_->y1(), line_->x2(), line_->y2()),
        mask_->Frame().HasWafer);
    charts_->Chart(AnalysisCharts::LineProfile)
        ->setTitle(QStringLiteral("(%1, %2) to (%3, %4)")
                       .arg(line_->x1(), 0, 'f', 1)
                       .arg(line_->y1(), 0, 'f', 1)
                       .arg(line_->x2(), 0, 'f', 1)
                       .arg(line_->y2(), 0, 'f', 1));
}

void AnalysisWindow::ShowStatistics() {
    stats_->horizontalHeaderItem(0)->setText(ShownName());
    const auto shown = StatisticCells(shownStats_);
    const auto sites = StatisticCells(sitesStats_);
    for (int r = 0; r < StatisticRows; ++r) {
        stats_->item(r, 0)->setText(shown[static_cast<std::size_t>(r)]);
        stats_->item(r, 1)->setText(sites[static_cast<std::size_t>(r)]);
    }
}

QString AnalysisWindow::StatisticsClipboardText() const {
    return QString::fromStdString(StatisticsText(shownStats_) + StatisticsText(sitesStats_, "Sites"));
}

void AnalysisWindow::ShowPointer(QPointF units) {
    // The cell under the pointer: positions round to the nearest cell.
    const int x = static_cast<int>(std::floor(units.x() + 0.5));
    const int y = static_cast<int>(std::floor(units.y() + 0.5));
    if (!shown_ || !mask_ || x < 0 || y < 0 || x > mask_->Size() || y > mask_->Size()) {
        readout_->setText(QStringLiteral("X: ---  Y: ---  Value: ---"));
        return;
    }
    QString text = QStringLiteral("X: %1  Y: %2").arg(x).arg(y);
    const WaferFrame& frame = mask_->Frame();
    if (frame.HasWafer)
        text += QStringLiteral("  (%1 mm, %2 mm from the centre)")
                    .arg(MmFromCentreX(frame, x), 0, 'f', 2)
                    .arg(MmFromCentreY(frame, y), 0, 'f', 2);
    const double v = ShownRecord()->Value[x][y];
    QString value = HasData(v) ? StatisticNumber(v) : QStringLiteral("---");
    if (!mask_->Inside(x, y)) value = QStringLiteral("excluded");
    readout_->setText(text + QStringLiteral("  Value: ") + value);
}

bool AnalysisWindow::SetWafer(const WaferGeometry& geometry) {
    if (CheckWaferGeometry(geometry) != WaferFault::None) return false;
    wafer_ = geometry;
    ShowWaferInControls();
    SaveWafer();
    Refresh();
    return true;
}

void AnalysisWindow::WaferControlsChanged() {
    if (settingControls_) return;
    centreX_->setEnabled(centreSet_->isChecked());
    centreY_->setEnabled(centreSet_->isChecked());
    WaferGeometry g;
    g.DiameterMm = diameter_->value();
    g.EdgeExclusionMm = edge_->value();
    if (centreSet_->isChecked()) {
        g.CentreX = centreX_->value();
        g.CentreY = centreY_->value();
    }
    const WaferFault fault = CheckWaferGeometry(g);
    waferFault_->setText(FaultText(fault));
    if (fault == WaferFault::None) SetWafer(g);
}

void AnalysisWindow::ShowWaferInControls() {
    settingControls_ = true;
    diameter_->setValue(wafer_.DiameterMm);
    edge_->setValue(wafer_.EdgeExclusionMm);
    centreSet_->setChecked(wafer_.CentreX.has_value());
    // Unset, the boxes show the middle of the shown record's square.
    const double middle = shown_ ? std::clamp(shown_->Size, 0, ThkMaxSize) / 2.0 : ThkMaxSize / 2.0;
    centreX_->setValue(wafer_.CentreX.value_or(middle));
    centreY_->setValue(wafer_.CentreY.value_or(middle));
    centreX_->setEnabled(wafer_.CentreX.has_value());
    centreY_->setEnabled(wafer_.CentreX.has_value());
    waferFault_->clear();
    settingControls_ = false;
}

void AnalysisWindow::LoadWafer() {
    const IniSection file = ReadIniSection(settingsPath_, QStringLiteral("Wafer"));
    WaferGeometry g;
    g.DiameterMm = IniDouble(file.value(QStringLiteral("DiameterMm")), 0.0);
    g.EdgeExclusionMm = IniDouble(file.value(QStringLiteral("EdgeExclusionMm")), 0.0);
    if (IniBool(file.value(QStringLiteral("CentreSet")))) {
        g.CentreX = IniDouble(file.value(QStringLiteral("CentreX")), 250.0);
        g.CentreY = IniDouble(file.value(QStringLiteral("CentreY")), 250.0);
    }
    // A damaged file gives the default: no wafer.
    if (CheckWaferGeometry(g) == WaferFault::None) wafer_ = g;
}

void AnalysisWindow::SaveWafer() const {
    WriteIniSection(settingsPath_, QStringLiteral("Wafer"),
                    {{QStringLiteral("DiameterMm"), IniDoubleText(wafer_.DiameterMm)},
                     {QStringLiteral("EdgeExclusionMm"), IniDoubleText(wafer_.EdgeExclusionMm)},
                     {QStringLiteral("CentreSet"), IniBoolText(wafer_.CentreX.has_value())},
                     {QStringLiteral("CentreX"), IniDoubleText(wafer_.CentreX.value_or(0.0))},
                     {QStringLiteral("CentreY"), IniDoubleText(wafer_.CentreY.value_or(0.0))}});
}

const ThkData* AnalysisWindow::ShownRecord() const {
    return difference_ ? difference_.get() : shown_;
}

QString AnalysisWindow::ShownName() const {
    if (!difference_) return QString::fromLatin1(DataKindName(plan_.Shown));
    return compareTime_ > 0.0 ? QStringLiteral("Rate per ") + timeUnit_->currentText()
                              : QStringLiteral("Difference");
}

int AnalysisWindow::CompareWith(const QString& path, DifferenceOrder order, double time) {
    if (!shown_ || !shown_->Valid) {
        dialogs_.ShowMessage("There is no data to compare with.");
        return -1;
    }
    const DataKind kind = plan_.Shown;
    SilentFrontEnd frontEnd(dialogs_.Messages());
    Session second(frontEnd);
    second.Settings() = session_.Settings();
    // The same lattice and radius as the shown record: no radius search and
    // no automatic fill.
    second.Settings().RadOptimize = false;
    second.Settings().AutoFill = false;
    const std::string name = QFile::encodeName(path).toStdString();
    if (IsCsvFileName(name)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            dialogs_.ShowMessage("File open error. -> " + name);
            return -1;
        }
        const QByteArray bytes = file.readAll();
        const std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const std::optional<CsvImportOptions> options = dialogs_.ImportCsv(this, path, text);
        if (!options) return -1;
        if (second.Open([&](ThkData& raw, const MessageSink& messages) {
                return ImportCsvText(text, *options, raw, messages);
            }) != 1)
            return -1;
    } else if (second.OpenFile(name) != 1) {
        return -1;
    }
    if (kind != DataKind::Raw) second.Calc();
    if (kind == DataKind::Fill && second.Fill() != 1) return -1;
    auto difference = std::make_unique<ThkData>();
    ClearThkData(difference.get(), 1);
    if (DifferenceOfRecords(*shown_, second.Record(kind), order, time, *difference, dialogs_.Messages()) != 1)
        return -1;
    difference_ = std::move(difference);
    compareName_ = QFileInfo(path).fileName();
    compareTime_ = time;
    const QString first = sourceName_.isEmpty() ? QStringLiteral("this") : QFileInfo(sourceName_).fileName();
    compareState_->setText(order == DifferenceOrder::FirstMinusSecond
                               ? first + QStringLiteral(" - ") + compareName_
                               : compareName_ + QStringLiteral(" - ") + first);
    endCompare_->setEnabled(true);
    Refresh();
    return 1;
}

void AnalysisWindow::EndComparison() {
    difference_.reset();
    endCompare_->setEnabled(false);
    compareState_->clear();
    Refresh();
}

void AnalysisWindow::CompareClick() {
    const auto chosen =
        dialogs_.OpenFile(this, QStringLiteral("Thickness data (*.thk *.csv *.txt)"), QStringLiteral("thk"));
    if (!chosen) return;
    CompareWith(
        *chosen,
        order_->currentIndex() == 0 ? DifferenceOrder::FirstMinusSecond : DifferenceOrder::SecondMinusFirst,
        time_->value());
}

AnnotatedContent AnalysisWindow::ShownPicture() const {
    const bool difference = difference_ != nullptr;
    AnnotatedRequest request;
    request.Draw = difference ? DrawKind::Colormap : plan_.Draw;
    request.Ramp = plan_.Ramp;
    request.Style = style_;
    request.Difference = difference;
    request.Sites = !difference && showSites_->isChecked() &&
                    (plan_.Shown == DataKind::Raw || plan_.Shown == DataKind::Grid);
    request.Wafer = wafer_;
    const QString source =
        sourceName_.isEmpty() ? QStringLiteral("(no file)") : QFileInfo(sourceName_).fileName();
    request.FileName = difference ? compareState_->text() : source;
    request.DataType = ShownName();
    return MakeAnnotatedContent(*ShownRecord(), difference ? nullptr : &session_.Record(DataKind::Raw),
                                request);
}

int AnalysisWindow::SaveImage(const QString& path, int scale) {
    if (!shown_ || !ShownRecord()->Valid) {
        dialogs_.ShowMessage("There is no data to save.");
        return -1;
    }
    return WriteAnnotatedPicture(path, ShownPicture(), scale, dialogs_.Messages());
}

int AnalysisWindow::SaveData(const QString& path) {
    if (!shown_ || !ShownRecord()->Valid) {
        dialogs_.ShowMessage("There is no data to save.");
        return -1;
    }
    const ThkData& record = *ShownRecord();
    const std::string text = RecordCsvText(record, FrameOf(wafer_, record.Size));
    return WriteFileWhole(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())),
                          dialogs_.Messages());
}

void AnalysisWindow::SaveImageClick(int scale) {
    const auto chosen =
        dialogs_.SaveFile(this, QStringLiteral("PNG image (*.png);;SVG image (*.svg);;PDF document (*.pdf)"),
                          QStringLiteral("png"));
    if (chosen && SaveImage(*chosen, scale) == 1) dialogs_.ShowMessage("Saved the image.");
}

void AnalysisWindow::SaveDataClick() {
    const auto chosen = dialogs_.SaveFile(this, QStringLiteral("CSV table (*.csv)"), QStringLiteral("csv"));
    if (chosen && SaveData(*chosen) == 1) dialogs_.ShowMessage("Saved the data.");
}
