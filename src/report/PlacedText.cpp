#include "report/PlacedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <QString>

void DrawPlacedText(QPainter& painter, const QFontMetricsF& metrics, const QRectF& box, Qt::Alignment align,
                    const QString& text) {
    if (text.isEmpty()) return;
    double x = box.left();
    if (align & (Qt::AlignRight | Qt::AlignHCenter)) {
        const double width = metrics.horizontalAdvance(text);
        x = (align & Qt::AlignRight) ? box.right() - width : box.center().x() - width / 2.0;
    }
    // The line is ascent + descent high, as the box form stacks it.
    double baseline = box.top() + (box.height() - metrics.height()) / 2.0 + metrics.ascent();
    if (align & Qt::AlignTop)
        baseline = box.top() + metrics.ascent();
    else if (align & Qt::AlignBottom)
        baseline = box.bottom() - metrics.descent();
    painter.drawText(QPointF(x, baseline), text);
}
