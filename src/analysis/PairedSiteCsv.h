#pragma once

#include <string>
#include <vector>

#include "analysis/SitePairing.h"

// The sites of a comparison as CSV: "site,x_mm,y_mm,first,second,difference,
// interpolated" (x and y instead of x_mm and y_mm without a wafer, file units
// from the centre, +Y up), one line per site in PairSites' order; figures
// with 17 significant digits (C locale), interpolated 1 for a site whose
// partner value was read off the other file's surface, else 0.
std::string PairedSiteCsv(const std::vector<PairedSite>& sites, bool inMm);
