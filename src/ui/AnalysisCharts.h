#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"

class QChart;
class QChartView;
class QTabWidget;
class QPushButton;

// The plots of the analysis window, one tab each: the X and Y diameter
// profiles, the line profile, the radial profile and the histogram. Each
// keeps the text of the values it shows; Copy puts the current tab's text
// on the clipboard.
class AnalysisCharts : public QWidget {
    Q_OBJECT
public:
    enum Tab { XProfile, YProfile, LineProfile, Radial, Histogram, TabCount };

    explicit AnalysisCharts(QWidget* parent = nullptr);

    // mm: positions are mm from the centre (a wafer is set), else file units.
    void ShowProfile(Tab tab, const std::vector<ProfilePoint>& points, bool mm);
    void ShowRadial(const std::vector<RingStats>& rings, bool mm);
    // binColors: one colour per bin; stats: the mean and sigma marked.
    void ShowHistogram(const ::Histogram& histogram, const std::vector<QColor>& binColors,
                       const AreaStatistics& stats);

    void SelectTab(Tab tab);
    Tab CurrentTab() const;
    const QString& Text(Tab tab) const { return texts_[static_cast<std::size_t>(tab)]; }
    QChart* Chart(Tab tab) const;
    void CopyCurrent() const;

private:
    QTabWidget* tabs_ = nullptr;
    QPushButton* copy_ = nullptr;
    std::array<QChartView*, TabCount> views_{};
    std::array<QString, TabCount> texts_;
};
