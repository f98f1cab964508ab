#include "analysis/PairedSiteCsv.h"

#include "core/RoundTripNumber.h"

std::string PairedSiteCsv(const std::vector<PairedSite>& sites, bool inMm) {
    std::string text = inMm ? "site,x_mm,y_mm,first,second,difference,interpolated\n"
                            : "site,x,y,first,second,difference,interpolated\n";
    for (const PairedSite& s : sites) {
        text += std::to_string(s.Site);
        for (double v : {s.X, s.Y, s.First, s.Second, s.Difference}) {
            text += ',';
            AppendG17(text, v);
        }
        text += s.Interpolated ? ",1\n" : ",0\n";
    }
    return text;
}
