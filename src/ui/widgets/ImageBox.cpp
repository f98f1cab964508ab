#include "ui/widgets/ImageBox.h"

#include <QMouseEvent>
#include <QPainter>

ImageBox::ImageBox(int width, int height, QWidget* parent)
    : QWidget(parent), picture_(width, height, QImage::Format_RGB32) {
    picture_.fill(Qt::white);
    setFixedSize(width, height);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageBox::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void ImageBox::SetOverlay(const QImage& overlay) {
    if (overlay_.isNull() && overlay.isNull()) return;
    overlay_ = overlay;
    update();
}

void ImageBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
    if (!overlay_.isNull()) painter.drawImage(0, 0, overlay_);
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void ImageBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMove(event->modifiers(), p.x(), p.y());
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void ImageBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The window system sends the second press of a quick pair as a double
    // click only; a user who clicks twice means two presses.
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), event->modifiers(), p.x(), p.y());
    emit doubleClicked();
}
