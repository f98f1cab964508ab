#pragma once

#include <QColor>
#include <QString>
#include <memory>
#include <vector>

#include "analysis/Profile.h"

class QChart;
class QGraphicsScene;
class QPainter;
class QRectF;

// Profiles as Qt Charts line charts, built in one place so the analysis
// window and the report pages show them alike: a line per profile in its
// colour, the position along the bottom (mm when a wafer is set, otherwise
// file units), "Value" up the side, grid lines at round values.

// One profile of a chart: its points (position along the profile against
// value), its name in the legend and its colour.
struct ProfileLine {
    const std::vector<ProfilePoint>* Points = nullptr;
    QString Name;
    QColor Colour;
};

// The colours of the X and Y diameter profiles.
inline const QColor XProfileColour(32, 159, 223);
inline const QColor YProfileColour(230, 120, 20);

// Replaces everything chart shows by lines under title (empty: none). The
// axes span the points of every line, the values with a twentieth of their
// span above and below; the legend names the lines when there are several.
// Without points the chart shows its title alone. A chart shown with as many
// lines as before keeps its axes and lines and changes their points.
void ShowProfiles(QChart& chart, const QString& title, const std::vector<ProfileLine>& lines, bool mm);

// A profile chart painted onto pages: one chart in a graphics scene of its
// own, shown anew for every page, since making a chart costs more than
// drawing it. Needs a QApplication, as every graphics scene does.
class PageProfileChart {
public:
    PageProfileChart();
    ~PageProfileChart();
    PageProfileChart(const PageProfileChart&) = delete;
    PageProfileChart& operator=(const PageProfileChart&) = delete;

    // Paints the ShowProfiles chart of lines into target, in the painter's
    // units (points on a page).
    void Paint(QPainter& painter, const QRectF& target, const QString& title,
               const std::vector<ProfileLine>& lines, bool mm);

private:
    std::unique_ptr<QGraphicsScene> scene_;
    QChart* chart_ = nullptr;  // owned by the scene
};
