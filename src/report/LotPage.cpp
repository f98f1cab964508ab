#include "report/LotPage.h"

#include <QBarCategoryAxis>
#include <QBoxPlotSeries>
#include <QBoxSet>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "analysis/LotFigures.h"
#include "colour/ColorScale.h"
#include "core/NumberText.h"

namespace {

constexpr double PageWidth = 595.0;
constexpr double PageMargin = 36.0;
// The chart is laid out at twice its size in points, so its fonts keep their
// proportions on the page.
constexpr double ChartScale = 2.0;

QString Fixed(double value) {
    return QString::fromStdString(FormatFixed(value, 8, 3));
}

// Each analysed file's mean with its min-max bar (a box plot whose box is
// closed at the mean) on the left axis, its uniformity % on the right one.
void PaintTrend(QPainter& painter, const QRectF& target, const std::vector<ReportEntry>& entries) {
    QGraphicsScene scene;
    auto* chart = new QChart;
    scene.addItem(chart);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setTitle(QStringLiteral("Mean with min-max bar, and uniformity %, per file"));
    auto* boxes = new QBoxPlotSeries;
    boxes->setName(QStringLiteral("Mean (min-max)"));
    auto* uniformity = new QLineSeries;
    uniformity->setName(QStringLiteral("Uniformity %"));
    uniformity->setPen(QPen(QColor(230, 120, 20), 2.0));
    auto* dots = new QScatterSeries;
    dots->setMarkerSize(7);
    dots->setColor(QColor(230, 120, 20));
    QStringList categories;
    double low = 0, high = 0, uLow = 0, uHigh = 0;
    bool any = false;
    for (const ReportEntry& e : entries) {
        if (e.Failed()) continue;
        const AreaStatistics& s = e.Row.Figures;
        const double x = static_cast<double>(categories.size());
        categories << QString::number(categories.size() + 1);
        boxes->append(new QBoxSet(s.Min, s.Mean, s.Mean, s.Mean, s.Max));
        uniformity->append(x, s.UniformityPct);
        dots->append(x, s.UniformityPct);
        low = any ? std::min(low, s.Min) : s.Min;
        high = any ? std::max(high, s.Max) : s.Max;
        uLow = any ? std::min(uLow, s.UniformityPct) : s.UniformityPct;
        uHigh = any ? std::max(uHigh, s.UniformityPct) : s.UniformityPct;
        any = true;
    }
    chart->addSeries(boxes);
    chart->addSeries(uniformity);
    chart->addSeries(dots);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->markers(dots).value(0)->setVisible(false);
    auto* files = new QBarCategoryAxis;
    files->append(categories);
    files->setTitleText(QStringLiteral("File (order given)"));
    auto* values = new QValueAxis;
    values->setTitleText(QStringLiteral("Value"));
    auto* percent = new QValueAxis;
    percent->setTitleText(QStringLiteral("Uniformity %"));
    chart->addAxis(files, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    chart->addAxis(percent, Qt::AlignRight);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(boxes), static_cast<QAbstractSeries*>(uniformity),
          static_cast<QAbstractSeries*>(dots)})
        series->attachAxis(files);
    boxes->attachAxis(values);
    uniformity->attachAxis(percent);
    dots->attachAxis(percent);
    if (any) {
        const double pad = high > low ? (high - low) / 20.0 : std::max(1.0, std::abs(low) * 0.01);
        values->setRange(low - pad, high + pad);
        const double uPad = uHigh > uLow ? (uHigh - uLow) / 10.0 : std::max(0.1, uLow * 0.1);
        percent->setRange(std::max(0.0, uLow - uPad), uHigh + uPad);
    }
    values->applyNiceNumbers();
    percent->applyNiceNumbers();
    const QRectF layout(QPointF(0, 0), target.size() * ChartScale);
    chart->setGeometry(layout);
    scene.setSceneRect(layout);
    // No event loop runs while a report is written: the layout is settled by
    // hand, as the profile charts are.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    scene.render(&painter, target, layout);
}

// The lot's sites in the wafer frame (+Y up), coloured by their mean over the
// lot on the ordinary ramp, labelled with their sigma.
void PaintSiteMap(QPainter& painter, const QRectF& target, const std::vector<LotSite>& sites,
                  const WaferFrame& frame) {
    double reach = frame.HasWafer ? frame.Size / 2.0 * frame.MmPerUnit : 0.0;
    double low = sites[0].Mean, high = sites[0].Mean;
    for (const LotSite& s : sites) {
        reach = std::max(reach, std::hypot(s.X, s.Y));
        low = std::min(low, s.Mean);
        high = std::max(high, s.Mean);
    }
    if (!(reach > 0.0)) reach = 1.0;
    const double side = std::min(target.width(), target.height());
    const QPointF centre(target.left() + side / 2.0, target.top() + side / 2.0);
    const double scale = (side / 2.0 - 14.0) / reach;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::gray, 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, reach * scale, reach * scale);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(6);
    painter.setFont(font);
    const double r = 5.0;
    for (const LotSite& s : sites) {
        const QPointF at(centre.x() + s.X * scale, centre.y() - s.Y * scale);
        const float x = high > low ? static_cast<float>((s.Mean - low) / (high - low)) : 0.5f;
        const Color c = GetRampColor(x, StartupRampSet);
        painter.setPen(QPen(Qt::black, 0.4));
        painter.setBrush(QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)));
        painter.drawEllipse(at, r, r);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at.x() - 20, at.y() + r, 40, 8), Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdString(FormatFixed(s.Sigma, 5, 2)));
    }
    // The ramp beside the map: the lowest site mean at the bottom.
    const QRectF bar(target.left() + side + 12, target.top() + 14, 10, side - 28);
    for (int i = 0; i < static_cast<int>(bar.height()); ++i) {
        const Color c =
            GetRampColor(1.0f - static_cast<float>(i) / static_cast<float>(bar.height()), StartupRampSet);
        painter.fillRect(QRectF(bar.left(), bar.top() + i, bar.width(), 1.0),
                         QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)));
    }
    font.setPixelSize(8);
    painter.setFont(font);
    painter.drawText(QPointF(bar.right() + 4, bar.top() + 6), Fixed(high));
    painter.drawText(QPointF(bar.right() + 4, bar.bottom()), Fixed(low));
    painter.restore();
}

}  // namespace

void DrawLotPage(QPainter& painter, const std::vector<ReportEntry>& entries, const QString& title, int page,
                 int pages) {
    std::vector<SummaryRow> rows;
    std::vector<FileSites> sites;
    WaferFrame frame;
    for (const ReportEntry& e : entries) {
        rows.push_back(e.Row);
        if (e.Failed()) continue;
        if (sites.empty()) frame = e.Frame;
        sites.push_back(e.Sites);
    }
    const LotFigures lot = CalcLotFigures(rows);
    const std::vector<LotSite> lotSites = CalcLotSites(sites, frame);

    const double width = PageWidth - 2 * PageMargin;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(PageMargin, PageMargin, width, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     title + QStringLiteral(": the lot"));
    font.setPixelSize(9);
    painter.setFont(font);
    painter.drawText(QRectF(PageMargin, PageMargin, width, 20), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Lot %1 / %2").arg(page).arg(pages));
    font.setBold(false);
    font.setPixelSize(10);
    painter.setFont(font);
    const std::pair<QString, QString> lines[] = {
        {QStringLiteral("Files analysed"), QString::number(lot.Files)},
        {QStringLiteral("Mean of the means"), Fixed(lot.MeanOfMeans)},
        {QStringLiteral("Wafer-to-wafer sigma of the means (n-1)"), Fixed(lot.SigmaOfMeans)},
        {QStringLiteral("Range of the means (lowest - highest)"),
         Fixed(lot.RangeOfMeans) + QStringLiteral("  (") + Fixed(lot.LowestMean) + QStringLiteral(" - ") +
             Fixed(lot.HighestMean) + QStringLiteral(")")},
        {QStringLiteral("Mean within-wafer uniformity % (max-min)/(2 mean)"), Fixed(lot.MeanUniformityPct)},
        {QStringLiteral("Mean within-wafer uniformity % (max-min)/(max+min)"),
         Fixed(lot.MeanUniformityMaxMinPct)},
        {QStringLiteral("Mean within-wafer 3 sigma % (n-1)"), Fixed(lot.MeanSigma3Pct)},
    };
    double y = PageMargin + 28;
    for (const auto& [name, value] : lines) {
        painter.drawText(QRectF(PageMargin, y, 300, 14), Qt::AlignLeft | Qt::AlignVCenter, name);
        painter.drawText(QRectF(PageMargin + 300, y, width - 300, 14), Qt::AlignLeft | Qt::AlignVCenter,
                         value);
        y += 14;
    }
    y += 8;
    const double chartHeight = 300;
    PaintTrend(painter, QRectF(PageMargin, y, width, chartHeight), entries);
    y += chartHeight + 12;
    font.setBold(true);
    painter.setFont(font);
    if (lotSites.empty()) {
        painter.drawText(QRectF(PageMargin, y, width, 14), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("No site map: the files do not share their site positions."));
        return;
    }
    painter.drawText(QRectF(PageMargin, y, width, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Sites over the lot: colour the site's mean, label its sigma (n-1)"));
    PaintSiteMap(painter, QRectF(PageMargin + 60, y + 18, 300, 300), lotSites, frame);
}
