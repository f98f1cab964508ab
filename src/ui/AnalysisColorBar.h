#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "colour/ColorScale.h"

// The colour bar beside the analysis map: the colours of the map from its
// minimum (bottom) to its maximum (top), as the main window's bar draws them,
// with a tick and the value at each quarter of the display range.
class AnalysisColorBar : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisColorBar(QWidget* parent = nullptr);

    // Ramp colours (the start-up set, as the colour maps use) when useRamp,
    // otherwise the table's gradation; ticks[0] is the bottom tick's text.
    void SetScale(bool useRamp, const GradationTable& table, const std::array<QString, 5>& ticks);
    // The colours of a difference, centred on zero.
    void SetDiverging(const std::array<QString, 5>& ticks);

    QSize sizeHint() const override { return {96, 400}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool useRamp_ = true;
    bool diverging_ = false;
    GradationTable table_ = ColormapPreset();
    std::array<QString, 5> ticks_;
};
