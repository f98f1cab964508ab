#pragma once

#include <QString>
#include <vector>

#include "report/Report.h"

class QPainter;

// The lot page of a report, after its summary: the lot's figures
// (CalcLotFigures of the entries' rows), a trend chart of each file's mean
// with its min-max bar and its uniformity %, in the order given, and, when
// the files share their site positions (CalcLotSites), a map of the lot's
// sites: each site's mean over the lot as a colour of the ordinary ramp over
// the sites' means, its sigma over the lot as the label. Laid out in points
// on an A4 page; needs a QApplication (the chart is a Qt Charts item).
void DrawLotPage(QPainter& painter, const std::vector<ReportEntry>& entries, const QString& title, int page,
                 int pages);
