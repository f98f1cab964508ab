#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
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

#include "report/StatisticsCells.h"
#include "ui/AnalysisCharts.h"
#include "ui/AnalysisColorBar.h"
#include "ui/AnalysisMapView.h"
#include "ui/AnalysisWindow.h"
#include "ui/PairedSitesTable.h"
#include "ui/widgets/NamedZeroSpinBox.h"

// The analysis window's controls: the wafer and view settings, Compare and
// the Save buttons above the map, the figures and the plots beside it, and
// what each control's signal runs.

namespace {

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
    bins_->setValue(analysis_.HistogramBins());
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
    for (int r = 0; r < StatisticRows; ++r)
        stats_->verticalHeaderItem(r)->setToolTip(QString::fromLatin1(StatisticFormulas[r]));
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
    // While comparing: the sites paired site by site, the figures' "Sites".
    pairedSites_ = new PairedSitesTable(figures);
    figuresLayout->addWidget(pairedSites_);
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
}

void AnalysisWindow::ConnectControls() {
    for (QDoubleSpinBox* spin : {diameter_, edge_, centreX_, centreY_})
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { WaferControlsChanged(); });
    connect(centreSet_, &QCheckBox::toggled, this, [this] { WaferControlsChanged(); });
    for (QCheckBox* box : {showSites_, showNodes_})
        connect(box, &QCheckBox::toggled, this, [this] { Refresh(); });
    connect(bins_, &QSpinBox::valueChanged, this, [this](int bins) {
        analysis_.SetHistogramBins(bins);
        Refresh();
    });
    connect(resetView_, &QPushButton::clicked, map_, &AnalysisMapView::ResetView);
    connect(saveData_, &QPushButton::clicked, this, &AnalysisWindow::SaveDataClick);
    connect(compare_, &QPushButton::clicked, this, &AnalysisWindow::CompareClick);
    connect(endCompare_, &QPushButton::clicked, this, &AnalysisWindow::EndComparison);
    connect(copyStats_, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(analysis_.StatisticsClipboardText()));
    });
    connect(map_, &AnalysisMapView::pointerMoved, this, &AnalysisWindow::ShowPointer);
    connect(map_, &AnalysisMapView::pointerLeft, this,
            [this] { readout_->setText(QStringLiteral("X: ---  Y: ---  Value: ---")); });
    connect(map_, &AnalysisMapView::lineDrawn, this, [this](QLineF line) {
        line_ = line;
        RefreshLineProfile();
        charts_->SelectTab(AnalysisCharts::LineProfile);
    });
}
