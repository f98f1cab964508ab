#include "ui/AnalysisWindow.h"

#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <array>
#include <cmath>

#include "analysis/Analysis.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "analysis/RecordCsvText.h"
#include "colour/DifferenceScale.h"
#include "colour/DivergingRamp.h"
#include "colour/ScaleLabels.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "report/AnnotatedPicture.h"
#include "report/QtWholeFile.h"
#include "report/StatisticsCells.h"
#include "ui/AnalysisCharts.h"
#include "ui/AnalysisColorBar.h"
#include "ui/AnalysisMapView.h"
#include "ui/Dialogs.h"
#include "ui/PairedSitesTable.h"
#include "ui/SettingsIni.h"

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

}  // namespace

AnalysisWindow::AnalysisWindow(const Session& session, const QString& settingsFolder, Dialogs& dialogs,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), analysis_(session), dialogs_(dialogs) {
    settingsPath_ = QDir(settingsFolder).filePath(SettingsFileName());
    setWindowTitle(QStringLiteral("Morvaplot Analysis"));
    BuildControls();
    ConnectControls();
    LoadWafer();
    ShowWaferInControls();
    resize(1240, 860);
}

AnalysisWindow::~AnalysisWindow() = default;

void AnalysisWindow::MapShown(const ThkData& record, const MapPlan& plan, const MapStyle& style) {
    if (!analysis_.Follow(record, plan)) return;
    ShowComparison();
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
    if (analysis_.Analyze(dialogs_.Messages()) != 1) return;
    const bool difference = analysis_.Comparing();
    const ThkData& record = *analysis_.Shown();
    // A difference that keeps one sign is drawn on its own range with the
    // ordinary ramp, so an uneven removal shows; one that crosses zero on
    // the colours centred on zero.
    const bool diverging = difference && DrawsDiverging(record, DifferenceScale::Auto);
    const AnalysisResult& result = analysis_.Result();
    const AnalysisMask& mask = *analysis_.Mask();
    const WaferFrame& frame = mask.Frame();
    const MapPlan& plan = analysis_.Plan();
    ShowStatistics();

    // The colour maps always use the start-up ramp set, which the bar shows;
    // a contour drawing's set is its lines'.
    const RampSetKind ramp = plan.Draw == DrawKind::Colormap ? plan.Ramp : RampSetKind::Startup;
    AnalysisMapScene scene;
    scene.Cells = diverging
                      ? DifferenceCellImage(record, style_.BackColor, mask)
                      : AnalysisCellImage(record, style_, difference ? RampSetKind::Startup : ramp, mask);
    scene.Back = QColor::fromRgb(ColorToArgb(style_.BackColor));
    scene.Frame = frame;
    if (frame.HasWafer) {
        scene.WaferRadiusUnits = Wafer().DiameterMm / 2 / frame.MmPerUnit;
        scene.KeptRadiusUnits = Wafer().EdgeExclusionMm > 0.0 && frame.KeptRadiusSqUnits >= 0.0
                                    ? std::sqrt(frame.KeptRadiusSqUnits)
                                    : -1.0;
    }
    if (showSites_->isChecked() && analysis_.Sites()) scene.Sites = MarkersOf(*analysis_.Sites());
    if (showNodes_->isChecked() && analysis_.Nodes()) scene.Nodes = MarkersOf(*analysis_.Nodes());
    scene.Line = line_;
    map_->SetScene(std::move(scene));

    std::array<QString, 5> ticks;
    const std::array<std::string, 5> labels =
        diverging ? DivergingScaleLabels(record) : ScaleLabels(record).Range;
    for (std::size_t i = 0; i < 5; ++i)
        ticks[i] = QString::fromStdString(labels[i]);
    if (diverging)
        colorBar_->SetDiverging(ticks);
    else
        colorBar_->SetScale(style_.UseColormap, style_.Table, ticks);

    const bool mm = frame.HasWafer;
    charts_->ShowProfile(AnalysisCharts::XProfile, result.Profile, mm);
    charts_->ShowProfile(AnalysisCharts::YProfile, result.YProfile, mm);
    charts_->ShowRadial(RadialProfile(record, mask), mm);
    const ::Histogram histogram = result.Histo.value_or(::Histogram{});
    std::vector<QColor> colours;
    colours.reserve(histogram.Counts.size());
    const RampParameters& rampSet = RampSetOf(RampSetKind::Startup);
    for (std::size_t i = 0; i < histogram.Counts.size(); ++i) {
        const double middle = (histogram.Edges[i] + histogram.Edges[i + 1]) / 2;
        const auto position = static_cast<float>(ScalePosition(middle, record.Min, record.Max));
        const Color c = diverging            ? DivergingColor(middle, DivergingLimit(record))
                        : style_.UseColormap ? GetRampColor(position, rampSet)
                                             : GetGradationColor(style_.Table, 1.0f - position);
        colours.push_back(QColor::fromRgb(ColorToArgb(c)));
    }
    charts_->ShowHistogram(histogram, colours, result.Shown);
    RefreshLineProfile();
}

void AnalysisWindow::RefreshLineProfile() {
    const AnalysisMask* mask = analysis_.Mask();
    if (!ShownRecord() || !mask || !line_) return;
    charts_->ShowProfile(
        AnalysisCharts::LineProfile,
        LineProfile(*ShownRecord(), *mask, line_->x1(), line_->y1(), line_->x2(), line_->y2()),
        mask->Frame().HasWafer);
    charts_->Chart(AnalysisCharts::LineProfile)
        ->setTitle(QStringLiteral("(%1, %2) to (%3, %4)")
                       .arg(line_->x1(), 0, 'f', 1)
                       .arg(line_->y1(), 0, 'f', 1)
                       .arg(line_->x2(), 0, 'f', 1)
                       .arg(line_->y2(), 0, 'f', 1));
}

void AnalysisWindow::ShowStatistics() {
    stats_->horizontalHeaderItem(0)->setText(QString::fromStdString(analysis_.ShownName()));
    const auto shown = StatisticCells(analysis_.Result().Shown);
    const auto sites = StatisticCells(analysis_.SitesStatistics());
    for (int r = 0; r < StatisticRows; ++r) {
        stats_->item(r, 0)->setText(shown[static_cast<std::size_t>(r)]);
        stats_->item(r, 1)->setText(sites[static_cast<std::size_t>(r)]);
    }
}

void AnalysisWindow::ShowPointer(QPointF units) {
    // The cell under the pointer: positions round to the nearest cell.
    const int x = static_cast<int>(std::floor(units.x() + 0.5));
    const int y = static_cast<int>(std::floor(units.y() + 0.5));
    const AnalysisMask* mask = analysis_.Mask();
    if (!ShownRecord() || !mask || x < 0 || y < 0 || x > mask->Size() || y > mask->Size()) {
        readout_->setText(QStringLiteral("X: ---  Y: ---  Value: ---"));
        return;
    }
    QString text = QStringLiteral("X: %1  Y: %2").arg(x).arg(y);
    const WaferFrame& frame = mask->Frame();
    if (frame.HasWafer)
        text += QStringLiteral("  (%1 mm, %2 mm from the centre)")
                    .arg(MmFromCentreX(frame, x), 0, 'f', 2)
                    .arg(MmFromCentreY(frame, y), 0, 'f', 2);
    const double v = ShownRecord()->Value[x][y];
    QString value = HasData(v) ? StatisticNumber(v) : QStringLiteral("---");
    if (!mask->Inside(x, y)) value = QStringLiteral("excluded");
    readout_->setText(text + QStringLiteral("  Value: ") + value);
}

bool AnalysisWindow::SetWafer(const WaferGeometry& geometry) {
    if (!analysis_.SetWafer(geometry)) return false;
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
    const WaferGeometry& wafer = Wafer();
    diameter_->setValue(wafer.DiameterMm);
    edge_->setValue(wafer.EdgeExclusionMm);
    centreSet_->setChecked(wafer.CentreX.has_value());
    // Unset, the boxes show the middle of the shown record's square.
    centreX_->setValue(wafer.CentreX.value_or(analysis_.SquareMiddle()));
    centreY_->setValue(wafer.CentreY.value_or(analysis_.SquareMiddle()));
    centreX_->setEnabled(wafer.CentreX.has_value());
    centreY_->setEnabled(wafer.CentreX.has_value());
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
    analysis_.SetWafer(g);
}

void AnalysisWindow::SaveWafer() const {
    const WaferGeometry& wafer = Wafer();
    WriteIniSection(settingsPath_, QStringLiteral("Wafer"),
                    {{QStringLiteral("DiameterMm"), IniDoubleText(wafer.DiameterMm)},
                     {QStringLiteral("EdgeExclusionMm"), IniDoubleText(wafer.EdgeExclusionMm)},
                     {QStringLiteral("CentreSet"), IniBoolText(wafer.CentreX.has_value())},
                     {QStringLiteral("CentreX"), IniDoubleText(wafer.CentreX.value_or(0.0))},
                     {QStringLiteral("CentreY"), IniDoubleText(wafer.CentreY.value_or(0.0))}});
}

void AnalysisWindow::SetSourceName(const QString& path) {
    analysis_.SetSourceName(path.isEmpty() ? std::string() : QFileInfo(path).fileName().toStdString());
}

int AnalysisWindow::CompareWith(const QString& path, DifferenceOrder order, double time) {
    SourceInput source;
    // With nothing to compare with, the comparison says so before any file
    // is read or a table's import asked for.
    if (analysis_.CanCompare() && AskSource(dialogs_, this, path, source) != 1) return -1;
    if (analysis_.CompareWith(source, QFileInfo(path).fileName().toStdString(), order, time,
                              timeUnit_->currentText().toStdString(), dialogs_.Messages()) != 1)
        return -1;
    ShowComparison();
    Refresh();
    return 1;
}

void AnalysisWindow::EndComparison() {
    analysis_.EndComparison();
    ShowComparison();
    Refresh();
}

void AnalysisWindow::ShowComparison() {
    endCompare_->setEnabled(analysis_.Comparing());
    compareState_->setText(QString::fromStdString(analysis_.Compared().Title()));
    pairedSites_->Show(analysis_.Comparing() ? analysis_.Compared().Sites() : std::vector<PairedSite>{},
                       Wafer().DiameterMm > 0.0);
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
    const ShownAnalysis::Picture shown = analysis_.ShownPicture(showSites_->isChecked(), dialogs_.Messages());
    AnnotatedRequest request;
    request.Draw = shown.Draw;
    request.Ramp = shown.Ramp;
    request.Style = style_;
    request.Difference = shown.Difference;
    request.Sites = shown.SiteMarkers;
    request.Wafer = shown.Wafer;
    request.FileName = QString::fromStdString(shown.FileName);
    request.DataType = QString::fromStdString(shown.DataType);
    return MakeAnnotatedContent(*shown.Record, shown.Sites, shown.Figures, request);
}

int AnalysisWindow::SaveImage(const QString& path, int scale) {
    if (!analysis_.HasData()) {
        dialogs_.ShowMessage("There is no data to save.");
        return -1;
    }
    return WriteAnnotatedPicture(path, ShownPicture(), scale, dialogs_.Messages());
}

int AnalysisWindow::SaveData(const QString& path) {
    if (!analysis_.HasData()) {
        dialogs_.ShowMessage("There is no data to save.");
        return -1;
    }
    const ThkData& record = *ShownRecord();
    const std::string text = RecordCsvText(record, FrameOf(Wafer(), record.Size));
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
