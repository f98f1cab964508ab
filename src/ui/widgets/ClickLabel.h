#pragma once

#include <QLabel>
#include <QMouseEvent>

// A label that carries a Tag (which parameter entry it edits) and reports
// double-clicks.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {}

    int Tag = 0;

signals:
    void doubleClicked(ClickLabel* label);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (isEnabled()) emit doubleClicked(this);
        QLabel::mouseDoubleClickEvent(event);
    }
};
