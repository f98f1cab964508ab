#pragma once

#include "analysis/AnalysisMask.h"
#include "analysis/AreaStatistics.h"
#include "data/ThkData.h"

// The figures of the measured sites inside the wafer, each site where it was
// measured: a site at 97.0 mm from the centre of a 200 mm wafer with a 3 mm
// exclusion is inside, even when the cell it was rounded to lies 97.27 mm
// out. The sites are the record's Points when its producer kept them (every
// one, a repeat at one cell included, in file order), otherwise its data
// cells. Mean and Sigma as AreaStatistics takes them (sum in order, sample
// sigma); MinX/MinY and MaxX/MaxY name the cell the extreme site was rounded
// to (the first extreme in file order), MinSite/MaxSite its site number.
struct SiteStatistics {
    AreaStatistics Figures;
    int MinSite = 0;  // 0: no site, or sites without numbers (data cells)
    int MaxSite = 0;
};

SiteStatistics CalcSiteStatistics(const ThkData& record, const AnalysisMask& mask);
