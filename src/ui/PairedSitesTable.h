#pragma once

#include <QTableWidget>
#include <vector>

#include "analysis/SitePairing.h"

// The sites a comparison paired, one row each: site number, position (mm
// from the wafer centre, +Y up, or file units without a wafer), the first
// and second file's values and their difference; a site whose partner value
// was read off the other file's surface is marked interpolated.
class PairedSitesTable : public QTableWidget {
public:
    explicit PairedSitesTable(QWidget* parent = nullptr);
    // Shows sites; an empty list hides the table.
    void Show(const std::vector<PairedSite>& sites, bool mm);
};
