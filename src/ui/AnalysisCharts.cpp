#include "ui/AnalysisCharts.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "analysis/AnalysisText.h"
#include "report/ProfileChart.h"

namespace {

const char* const TabTitles[] = {"X profile", "Y profile", "Line profile", "Radial profile", "Histogram"};

void ClearChart(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

// An axis over lo..hi, widened a little when the two are equal so a flat
// profile still shows.
QValueAxis* AddAxis(QChart* chart, Qt::Alignment side, const QString& title, double lo, double hi) {
    if (!(hi > lo)) {
        const double pad = lo == 0.0 ? 1.0 : std::abs(lo) * 0.01;
        lo -= pad;
        hi += pad;
    }
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(lo, hi);
    axis->setLabelFormat(QStringLiteral("%.6g"));
    chart->addAxis(axis, side);
    return axis;
}

void Attach(QChart* chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

}  // namespace

AnalysisCharts::AnalysisCharts(QWidget* parent) : QWidget(parent) {
    tabs_ = new QTabWidget(this);
    for (int i = 0; i < TabCount; ++i) {
        auto* chart = new QChart;
        chart->legend()->hide();
        chart->setMargins(QMargins(4, 4, 4, 4));
        auto* view = new QChartView(chart);
        view->setRenderHint(QPainter::Antialiasing);
        views_[static_cast<std::size_t>(i)] = view;
        tabs_->addTab(view, QString::fromLatin1(TabTitles[i]));
    }
    Chart(LineProfile)->setTitle(QStringLiteral("Drag across the map with Shift held"));
    copy_ = new QPushButton(QStringLiteral("Copy values"), this);
    copy_->setToolTip(QStringLiteral("Copy the values of this plot as tab-separated text"));
    connect(copy_, &QPushButton::clicked, this, &AnalysisCharts::CopyCurrent);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);
}

QChart* AnalysisCharts::Chart(Tab tab) const {
    return views_[static_cast<std::size_t>(tab)]->chart();
}

void AnalysisCharts::SelectTab(Tab tab) {
    tabs_->setCurrentIndex(tab);
}

AnalysisCharts::Tab AnalysisCharts::CurrentTab() const {
    return static_cast<Tab>(tabs_->currentIndex());
}

void AnalysisCharts::CopyCurrent() const {
    QGuiApplication::clipboard()->setText(Text(CurrentTab()));
}

void AnalysisCharts::ShowProfile(Tab tab, const std::vector<ProfilePoint>& points, bool mm) {
    QChart* chart = Chart(tab);
    texts_[static_cast<std::size_t>(tab)] = QString::fromStdString(ProfileText(points));
    // The line profile keeps the title that names its line.
    ShowProfiles(
        *chart, tab == LineProfile ? chart->title() : QString(),
        {{&points, QString::fromLatin1(TabTitles[tab]), tab == YProfile ? YProfileColour : XProfileColour}},
        mm);
}

void AnalysisCharts::ShowRadial(const std::vector<RingStats>& rings, bool mm) {
    QChart* chart = Chart(Radial);
    ClearChart(chart);
    texts_[Radial] = QString::fromStdString(RadialProfileText(rings));
    chart->legend()->hide();
    std::array<QLineSeries*, 3> series{new QLineSeries, new QLineSeries, new QLineSeries};
    series[0]->setName(QStringLiteral("Mean"));
    series[1]->setName(QStringLiteral("Min"));
    series[2]->setName(QStringLiteral("Max"));
    double lo = 0.0;
    double hi = 0.0;
    bool any = false;
    for (const RingStats& r : rings) {
        if (r.Count == 0) continue;
        series[0]->append(r.Inner, r.Mean);
        series[1]->append(r.Inner, r.Min);
        series[2]->append(r.Inner, r.Max);
        lo = any ? std::min(lo, r.Min) : r.Min;
        hi = any ? std::max(hi, r.Max) : r.Max;
        any = true;
    }
    if (!any) {
        for (QLineSeries* s : series)
            delete s;
        return;
    }
    const QString unit = mm ? QStringLiteral("mm") : QStringLiteral("file units");
    QValueAxis* x = AddAxis(chart, Qt::AlignBottom, QStringLiteral("Radius (%1, rings of 1 %1)").arg(unit),
                            0.0, rings.back().Inner + 1.0);
    QValueAxis* y = AddAxis(chart, Qt::AlignLeft, QStringLiteral("Value"), lo, hi);
    const std::array<QColor, 3> colours{QColor(Qt::black), QColor(0, 90, 255), QColor(220, 30, 30)};
    for (std::size_t i = 0; i < 3; ++i) {
        series[i]->setPen(QPen(colours[i], i == 0 ? 2.0 : 1.0));
        Attach(chart, series[i], x, y);
    }
    chart->legend()->show();
    chart->legend()->setAlignment(Qt::AlignTop);
}

void AnalysisCharts::ShowHistogram(const ::Histogram& histogram, const std::vector<QColor>& binColors,
                                   const AreaStatistics& stats) {
    QChart* chart = Chart(Histogram);
    ClearChart(chart);
    texts_[Histogram] = QString::fromStdString(HistogramText(histogram));
    chart->legend()->hide();
    if (histogram.Total == 0 || histogram.Counts.empty()) return;
    const long top = *std::max_element(histogram.Counts.begin(), histogram.Counts.end());
    const double mean = stats.Mean;
    const double lo3 = mean - 3 * stats.Sigma;
    const double hi3 = mean + 3 * stats.Sigma;
    QValueAxis* x = AddAxis(chart, Qt::AlignBottom, QStringLiteral("Value"), std::min(histogram.Min, lo3),
                            std::max(histogram.Max, hi3));
    QValueAxis* y = AddAxis(chart, Qt::AlignLeft, QStringLiteral("Cells"), 0.0, top * 1.08);
    y->setLabelFormat(QStringLiteral("%d"));
    // One area per bin, so each bar takes the colour of its middle value.
    for (std::size_t i = 0; i < histogram.Counts.size(); ++i) {
        const double a = histogram.Edges[i];
        const double b =
            histogram.Edges[i + 1] > a ? histogram.Edges[i + 1] : a + (x->max() - x->min()) / 100;
        const double c = static_cast<double>(histogram.Counts[i]);
        auto* upper = new QLineSeries;
        upper->append(a, c);
        upper->append(b, c);
        auto* lower = new QLineSeries;
        lower->append(a, 0.0);
        lower->append(b, 0.0);
        auto* bar = new QAreaSeries(upper, lower);
        upper->setParent(bar);
        lower->setParent(bar);
        bar->setBrush(i < binColors.size() ? binColors[i] : QColor(Qt::gray));
        bar->setPen(QPen(QColor(40, 40, 40), 0.5));
        Attach(chart, bar, x, y);
        for (QLegendMarker* marker : chart->legend()->markers(bar))
            marker->setVisible(false);
    }
    const auto mark = [&](double at, const QString& name, Qt::PenStyle style) {
        auto* line = new QLineSeries;
        line->setName(name);
        line->append(at, 0.0);
        line->append(at, top * 1.08);
        line->setPen(QPen(Qt::black, style == Qt::SolidLine ? 2.0 : 1.5, style));
        Attach(chart, line, x, y);
    };
    mark(mean, QStringLiteral("Mean"), Qt::SolidLine);
    mark(lo3, QStringLiteral("-3 sigma"), Qt::DashLine);
    mark(hi3, QStringLiteral("+3 sigma"), Qt::DashLine);
    chart->legend()->show();
    chart->legend()->setAlignment(Qt::AlignTop);
}
