#include "ui/PairedSitesTable.h"

#include <QHeaderView>

#include "report/StatisticsCells.h"

PairedSitesTable::PairedSitesTable(QWidget* parent) : QTableWidget(0, 7, parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    setMinimumHeight(120);
    hide();
}

void PairedSitesTable::Show(const std::vector<PairedSite>& sites, bool mm) {
    setHorizontalHeaderLabels({QStringLiteral("Site"), mm ? QStringLiteral("X (mm)") : QStringLiteral("X"),
                               mm ? QStringLiteral("Y (mm)") : QStringLiteral("Y"), QStringLiteral("First"),
                               QStringLiteral("Second"), QStringLiteral("Difference"), QString()});
    setRowCount(static_cast<int>(sites.size()));
    for (int r = 0; r < rowCount(); ++r) {
        const PairedSite& p = sites[static_cast<std::size_t>(r)];
        const QString cells[] = {QString::number(p.Site),
                                 QString::number(p.X, 'f', 2),
                                 QString::number(p.Y, 'f', 2),
                                 StatisticNumber(p.First),
                                 StatisticNumber(p.Second),
                                 StatisticNumber(p.Difference),
                                 p.Interpolated ? QStringLiteral("interpolated") : QString()};
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment((c == 6 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            setItem(r, c, item);
        }
    }
    setVisible(!sites.empty());
}
