#include "ui/widgets/ShapeSwatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
QColor ToQColor(Color c) {
    return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}
}  // namespace

ShapeSwatch::ShapeSwatch(QWidget* parent) : QWidget(parent) {}

void ShapeSwatch::SetBrushColor(Color color) {
    brush_ = color;
    update();
}

void ShapeSwatch::SetBrushClear(bool clear) {
    clear_ = clear;
    update();
}

void ShapeSwatch::SetPen(Color color, int width) {
    pen_ = color;
    penWidth_ = width;
    update();
}

void ShapeSwatch::SetShape(Shape shape) {
    shape_ = shape;
    update();
}

void ShapeSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(ToQColor(pen_));
    pen.setWidth(penWidth_);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(clear_ ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_)));
    // Keep the whole pen inside the widget.
    const int inset = penWidth_ / 2;
    const QRect r = rect().adjusted(inset, inset, -inset - 1 + (penWidth_ % 2 == 0 ? 1 : 0),
                                    -inset - 1 + (penWidth_ % 2 == 0 ? 1 : 0));
    if (shape_ == Shape::Ellipse) {
        painter.drawEllipse(r);
    } else {
        painter.drawRect(r);
    }
}

void ShapeSwatch::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(this, event->button(), event->modifiers());
    QWidget::mousePressEvent(event);
}
