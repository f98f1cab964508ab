#pragma once

#include <QLabel>

// A label for numbers that must be read whole: a text wider than the label
// is drawn in a smaller pixel size (never larger than the design size) until
// it fits, instead of being clipped.
class FitLabel : public QLabel {
    Q_OBJECT
public:
    FitLabel(const QString& text, int designPixelSize, QWidget* parent = nullptr);
    void SetFittedText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Fit();

    int designPixelSize_;
};
