#include "report/ProfilePlot.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "report/PlacedText.h"

namespace {

// Type sizes and spacing in the painter's units (points on a page).
constexpr double TitleSize = 9.0;
constexpr double LabelSize = 7.0;
constexpr double Gap = 3.0;
constexpr double TickLength = 3.0;
// The line leaves out a point that lies within this distance of the straight
// line through the points kept around it: 0.05 pt (18 micrometres) is less
// than a dot of a 1200-dpi printer, and a smooth profile keeps a small share of
// its 501 points, each of which costs a PDF page as much as a glyph.
constexpr double LineTolerance = 0.05;

const QColor GridColour(222, 222, 222);
const QColor FrameColour(110, 110, 110);
const QColor LabelColour(60, 60, 60);

QFont PlotFont(double size, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(size));
    font.setBold(bold);
    return font;
}

// A tick's label with the decimals of its axis; a value that rounds to zero
// reads "0", never "-0".
QString TickText(double value, int decimals) {
    const QString text = QString::number(value, 'f', decimals);
    const bool zero = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('-') || c == QLatin1Char('0') || c == QLatin1Char('.');
    });
    return zero ? QString::number(0.0, 'f', decimals) : text;
}

// Douglas-Peucker: keeps the points that lie more than tolerance from the
// chord of their span.
void KeepFarPoints(const QPolygonF& all, qsizetype first, qsizetype last, double tolerance,
                   std::vector<bool>& keep) {
    if (last <= first + 1) return;
    const QPointF a = all[first];
    const QPointF d = all[last] - a;
    const double length = std::hypot(d.x(), d.y());
    double worst = -1.0;
    qsizetype at = first;
    for (qsizetype i = first + 1; i < last; ++i) {
        const QPointF v = all[i] - a;
        const double distance =
            length > 0.0 ? std::abs(d.x() * v.y() - d.y() * v.x()) / length : std::hypot(v.x(), v.y());
        if (distance > worst) {
            worst = distance;
            at = i;
        }
    }
    if (worst <= tolerance) return;
    keep[static_cast<std::size_t>(at)] = true;
    KeepFarPoints(all, first, at, tolerance, keep);
    KeepFarPoints(all, at, last, tolerance, keep);
}

QPolygonF SimplifiedLine(const QPolygonF& all, double tolerance) {
    if (all.size() < 3) return all;
    std::vector<bool> keep(static_cast<std::size_t>(all.size()), false);
    keep.front() = keep.back() = true;
    KeepFarPoints(all, 0, all.size() - 1, tolerance, keep);
    QPolygonF line;
    for (qsizetype i = 0; i < all.size(); ++i)
        if (keep[static_cast<std::size_t>(i)]) line << all[i];
    return line;
}

}  // namespace

AxisTickSet AxisTicks(double lo, double hi, int count) {
    AxisTickSet ticks;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo) || count < 1) return ticks;
    const double raw = (hi - lo) / count;
    if (!std::isfinite(raw) || raw <= 0.0) return ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double scaled = raw / power;
    const double step = (scaled < 1.5 ? 1.0 : scaled < 3.0 ? 2.0 : scaled < 7.0 ? 5.0 : 10.0) * power;
    // Whole multiples of the step; the slack keeps an end that is itself a
    // multiple but computes a hair beside it.
    const double first = std::ceil(lo / step - 1e-9);
    const double last = std::floor(hi / step + 1e-9);
    for (double k = first; k <= last; k += 1.0)
        ticks.Values.push_back(k * step);
    ticks.Decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    return ticks;
}

void PaintProfilePlot(QPainter& painter, const QRectF& target, const QString& title,
                      const std::vector<PlotLine>& lines, bool mm, PlacedFonts& fonts) {
    painter.save();
    const QFont titleFont = PlotFont(TitleSize, true);
    const QFont labelFont = PlotFont(LabelSize, false);
    const QFont axisFont = PlotFont(LabelSize, true);
    PlacedFont& titleText = fonts.Get(titleFont);
    PlacedFont& labelText = fonts.Get(labelFont);
    const QFontMetricsF& titleMetrics = titleText.Metrics();
    const QFontMetricsF& labelMetrics = labelText.Metrics();

    // The ranges: every position, and the values with a twentieth of their
    // span above and below so no line runs along the frame.
    bool any = false;
    double x0 = 0.0, x1 = 0.0, low = 0.0, high = 0.0;
    for (const PlotLine& line : lines)
        for (const ProfilePoint& p : *line.Points) {
            x0 = any ? std::min(x0, p.Position) : p.Position;
            x1 = any ? std::max(x1, p.Position) : p.Position;
            low = any ? std::min(low, p.Value) : p.Value;
            high = any ? std::max(high, p.Value) : p.Value;
            any = true;
        }
    if (!(x1 > x0)) x1 = x0 + 1.0;
    const double span = high - low;
    const double pad = span > 0.0 ? span / 20.0 : (low == 0.0 ? 1.0 : std::abs(low) * 0.01);
    const double lo = low - pad;
    const double hi = high + pad;
    const AxisTickSet xTicks = any ? AxisTicks(x0, x1, 6) : AxisTickSet{};
    const AxisTickSet yTicks = any ? AxisTicks(lo, hi, 5) : AxisTickSet{};
    QStringList yLabels;
    double yLabelWidth = 0.0;
    for (double v : yTicks.Values) {
        yLabels << TickText(v, yTicks.Decimals);
        yLabelWidth = std::max(yLabelWidth, labelText.Layout(yLabels.back()).Advance);
    }

    const double lineHeight = labelMetrics.height();
    const QRectF plot(QPointF(target.left() + lineHeight + Gap + yLabelWidth + TickLength + Gap,
                              target.top() + titleMetrics.height() + Gap),
                      QPointF(target.right() - 12.0, target.bottom() - 2.0 * lineHeight - TickLength - Gap));
    auto toX = [&](double position) { return plot.left() + (position - x0) / (x1 - x0) * plot.width(); };
    auto toY = [&](double value) { return plot.bottom() - (value - lo) / (hi - lo) * plot.height(); };

    painter.setPen(Qt::black);
    painter.setFont(titleFont);
    DrawPlacedText(painter, titleText, QRectF(plot.left(), target.top(), plot.width(), titleMetrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, title);

    // The legend, right-aligned on the title's line: a stroke in each line's
    // colour before its name.
    painter.setFont(labelFont);
    double legendRight = plot.right();
    const double legendY = target.top() + titleMetrics.height() / 2.0;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const double width = labelText.Layout(line->Name).Advance;
        painter.setPen(Qt::black);
        DrawPlacedText(painter, labelText, QRectF(legendRight - width, target.top(), width, titleMetrics.height()),
                       Qt::AlignRight | Qt::AlignVCenter, line->Name);
        painter.setPen(QPen(line->Colour, 1.5));
        painter.drawLine(QPointF(legendRight - width - Gap - 14.0, legendY),
                         QPointF(legendRight - width - Gap, legendY));
        legendRight -= width + Gap + 14.0 + 3.0 * Gap;
    }

    // Grid lines, then the frame and its tick marks over them; each set is
    // one path.
    QList<QLineF> grid;
    QList<QLineF> marks;
    for (double v : xTicks.Values) {
        grid << QLineF(toX(v), plot.top(), toX(v), plot.bottom());
        marks << QLineF(toX(v), plot.bottom(), toX(v), plot.bottom() + TickLength);
    }
    for (double v : yTicks.Values) {
        grid << QLineF(plot.left(), toY(v), plot.right(), toY(v));
        marks << QLineF(plot.left() - TickLength, toY(v), plot.left(), toY(v));
    }
    painter.setPen(QPen(GridColour, 0.5));
    painter.drawLines(grid);
    painter.setPen(QPen(FrameColour, 0.75));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.drawLines(marks);

    painter.setPen(LabelColour);
    for (double v : xTicks.Values)
        DrawPlacedText(painter, labelText, QRectF(toX(v) - 40.0, plot.bottom() + TickLength, 80.0, lineHeight),
                       Qt::AlignCenter, TickText(v, xTicks.Decimals));
    for (qsizetype i = 0; i < yLabels.size(); ++i) {
        const double y = toY(yTicks.Values[static_cast<std::size_t>(i)]);
        DrawPlacedText(painter, labelText,
                       QRectF(plot.left() - TickLength - Gap - yLabelWidth, y - lineHeight / 2.0, yLabelWidth,
                              lineHeight),
                       Qt::AlignRight | Qt::AlignVCenter, yLabels[i]);
    }

    painter.setPen(Qt::black);
    painter.setFont(axisFont);
    PlacedFont& axisText = fonts.Get(axisFont);
    DrawPlacedText(painter, axisText,
                   QRectF(plot.left(), plot.bottom() + TickLength + lineHeight, plot.width(), lineHeight),
                   Qt::AlignCenter, mm ? QStringLiteral("Position (mm)") : QStringLiteral("Position (file units)"));
    painter.save();
    painter.translate(target.left(), plot.center().y());
    painter.rotate(-90.0);
    DrawPlacedText(painter, axisText, QRectF(-plot.height() / 2.0, 0.0, plot.height(), lineHeight),
                   Qt::AlignCenter, QStringLiteral("Value"));
    painter.restore();

    for (const PlotLine& line : lines) {
        if (line.Points->empty()) continue;
        QPolygonF all;
        all.reserve(static_cast<qsizetype>(line.Points->size()));
        for (const ProfilePoint& p : *line.Points)
            all << QPointF(toX(p.Position), toY(p.Value));
        QPen pen(line.Colour, 1.0);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.drawPolyline(SimplifiedLine(all, LineTolerance));
    }
    painter.restore();
}
