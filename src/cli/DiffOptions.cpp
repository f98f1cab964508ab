#include "cli/OptionRows.h"

namespace cli_table {

std::vector<Section> DiffSections() {
    using C = CliCommand;
    return {
        {Only(C::Diff),
         {{"--sites-out", "SITES.csv", "the sites paired site by site, as CSV", "must name a file",
           [](const std::string& t, CliOptions& o) { return !(o.SitesFile = t).empty(); }},
          {"--scale", "WORD", "auto (default), diverging or sequential colours",
           "must be auto, diverging or sequential",
           [](const std::string& t, CliOptions& o) {
               if (t == "auto")
                   o.Scale = DifferenceScale::Auto;
               else if (t == "diverging")
                   o.Scale = DifferenceScale::Diverging;
               else if (t == "sequential")
                   o.Scale = DifferenceScale::Sequential;
               else
                   return false;
               return true;
           }}}},
    };
}

}  // namespace cli_table
