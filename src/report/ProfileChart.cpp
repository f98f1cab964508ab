#include "report/ProfileChart.h"

#include <QChart>
#include <QCoreApplication>
#include <QFont>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A page's chart is laid out at this many times its size in points, so its
// type keeps the proportions it has in the window (labels of about 13 px
// come out at about 6.5 pt).
constexpr double PageLayoutScale = 2.0;

// A tick interval of 1, 2 or 5 times a power of ten that cuts span into
// about count parts.
double RoundInterval(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double scaled = raw / power;
    return (scaled < 1.5 ? 1.0 : scaled < 3.0 ? 2.0 : scaled < 7.0 ? 5.0 : 10.0) * power;
}

// The axis over lo..hi (hi > lo) with its ticks at whole multiples of a round
// interval.
void SetAxis(QValueAxis& axis, const QString& title, double lo, double hi, int count) {
    axis.setTitleText(title);
    axis.setRange(lo, hi);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0.0);
    axis.setTickInterval(RoundInterval(hi - lo, count));
    axis.setLabelFormat(QStringLiteral("%.6g"));
}

void ClearChart(QChart& chart) {
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
}

// The axes and lines of a profile chart.
struct ChartParts {
    QValueAxis* X = nullptr;
    QValueAxis* Y = nullptr;
    std::vector<QLineSeries*> Lines;
};

// The chart's two value axes and count line series, made anew unless it has
// them already: a chart shown again keeps its items, which cost more to make
// than to move.
ChartParts PartsOf(QChart& chart, std::size_t count) {
    ChartParts parts;
    parts.X = qobject_cast<QValueAxis*>(chart.axes(Qt::Horizontal).value(0));
    parts.Y = qobject_cast<QValueAxis*>(chart.axes(Qt::Vertical).value(0));
    for (QAbstractSeries* series : chart.series())
        if (auto* line = qobject_cast<QLineSeries*>(series)) parts.Lines.push_back(line);
    if (parts.X && parts.Y && chart.axes().size() == 2 && parts.Lines.size() == count &&
        chart.series().size() == static_cast<qsizetype>(count))
        return parts;
    ClearChart(chart);
    parts = ChartParts{new QValueAxis, new QValueAxis, {}};
    chart.addAxis(parts.X, Qt::AlignBottom);
    chart.addAxis(parts.Y, Qt::AlignLeft);
    for (std::size_t i = 0; i < count; ++i) {
        auto* line = new QLineSeries;
        chart.addSeries(line);
        line->attachAxis(parts.X);
        line->attachAxis(parts.Y);
        parts.Lines.push_back(line);
    }
    return parts;
}

}  // namespace

void ShowProfiles(QChart& chart, const QString& title, const std::vector<ProfileLine>& lines, bool mm) {
    chart.setTitle(title);
    QFont titleFont = chart.titleFont();
    titleFont.setBold(true);
    chart.setTitleFont(titleFont);
    chart.legend()->setVisible(lines.size() > 1);
    chart.legend()->setAlignment(Qt::AlignTop);

    bool any = false;
    double first = 0.0, last = 0.0, low = 0.0, high = 0.0;
    for (const ProfileLine& line : lines)
        for (const ProfilePoint& p : *line.Points) {
            first = any ? std::min(first, p.Position) : p.Position;
            last = any ? std::max(last, p.Position) : p.Position;
            low = any ? std::min(low, p.Value) : p.Value;
            high = any ? std::max(high, p.Value) : p.Value;
            any = true;
        }
    if (!any) {
        ClearChart(chart);
        return;
    }
    if (!(last > first)) last = first + 1.0;
    // A flat profile gets a band of 1 % of its value (or 1 about zero).
    const double span = high - low;
    const double pad = span > 0.0 ? span / 20.0 : (low == 0.0 ? 1.0 : std::abs(low) * 0.01);

    const ChartParts parts = PartsOf(chart, lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        QList<QPointF> xy;
        xy.reserve(static_cast<qsizetype>(lines[i].Points->size()));
        for (const ProfilePoint& p : *lines[i].Points)
            xy.append(QPointF(p.Position, p.Value));
        QLineSeries& line = *parts.Lines[i];
        line.setName(lines[i].Name);
        line.setPen(QPen(lines[i].Colour, 2.0));
        line.replace(xy);
    }
    SetAxis(*parts.X, mm ? QStringLiteral("Position (mm)") : QStringLiteral("Position (file units)"), first,
            last, 6);
    SetAxis(*parts.Y, QStringLiteral("Value"), low - pad, high + pad, 5);
}

PageProfileChart::PageProfileChart() : scene_(std::make_unique<QGraphicsScene>()) {
    chart_ = new QChart;
    scene_->addItem(chart_);
    scene_->setItemIndexMethod(QGraphicsScene::NoIndex);  // the items change with every page
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->setBackgroundRoundness(0);
}

PageProfileChart::~PageProfileChart() = default;

void PageProfileChart::Paint(QPainter& painter, const QRectF& target, const QString& title,
                             const std::vector<ProfileLine>& lines, bool mm) {
    ShowProfiles(*chart_, title, lines, mm);
    // The chart deletes the items of the axes and lines it replaced, and lays
    // itself out, on posted events, which no event loop delivers while a
    // report is written: items left over would be drawn on every later page.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QRectF layout(QPointF(0, 0), target.size() * PageLayoutScale);
    if (chart_->geometry() != layout) {
        chart_->setGeometry(layout);
        scene_->setSceneRect(layout);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    scene_->render(&painter, target, layout);
}
