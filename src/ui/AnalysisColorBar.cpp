#include "ui/AnalysisColorBar.h"

#include <QImage>
#include <QPainter>

#include "colour/DivergingRamp.h"

namespace {

constexpr int BarWidth = 16;
constexpr int TickLength = 5;

}  // namespace

AnalysisColorBar::AnalysisColorBar(QWidget* parent) : QWidget(parent) {
    setMinimumWidth(80);
    ticks_.fill(QStringLiteral("---.---"));
}

void AnalysisColorBar::SetScale(bool useRamp, const GradationTable& table,
                                const std::array<QString, 5>& ticks) {
    useRamp_ = useRamp;
    diverging_ = false;
    table_ = table;
    ticks_ = ticks;
    update();
}

void AnalysisColorBar::SetDiverging(const std::array<QString, 5>& ticks) {
    diverging_ = true;
    ticks_ = ticks;
    update();
}

void AnalysisColorBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int margin = fontMetrics().height() / 2 + 1;
    const int height = std::max(1, this->height() - 2 * margin);
    QImage bar(BarWidth, height, QImage::Format_RGB32);
    if (diverging_)
        DrawDivergingBar(bar);
    else
        DrawColorBar(bar, useRamp_, RampSetOf(RampSetKind::Startup), table_);
    painter.drawImage(2, margin, bar);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(2, margin, BarWidth - 1, height - 1);
    const int textLeft = 2 + BarWidth + TickLength + 2;
    const int textHeight = fontMetrics().height();
    for (int i = 0; i < 5; ++i) {
        // The tick of position i / 4 of the range: the row whose colour that
        // position has, counted from the bottom.
        const int y = margin + height - static_cast<int>(i * height / 4.0) - (i == 0 ? 1 : 0);
        painter.drawLine(2 + BarWidth, y, 2 + BarWidth + TickLength, y);
        painter.drawText(QRect(textLeft, y - textHeight / 2, width() - textLeft, textHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, ticks_[static_cast<std::size_t>(i)]);
    }
}
