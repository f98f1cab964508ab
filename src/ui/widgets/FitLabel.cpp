#include "ui/widgets/FitLabel.h"

#include <QFontMetrics>

FitLabel::FitLabel(const QString& text, int designPixelSize, QWidget* parent)
    : QLabel(text, parent), designPixelSize_(designPixelSize) {}

void FitLabel::SetFittedText(const QString& text) {
    setText(text);
    Fit();
}

void FitLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void FitLabel::Fit() {
    QFont f = font();
    const int room = contentsRect().width();
    int size = designPixelSize_;
    for (; size > 1; --size) {
        f.setPixelSize(size);
        if (QFontMetrics(f).horizontalAdvance(text()) <= room) break;
    }
    f.setPixelSize(size);
    if (f != font()) setFont(f);
}
