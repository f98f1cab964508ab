#include "cli/OptionRows.h"

#include <charconv>
#include <cmath>

namespace {

// "MIN,MAX": two decimal numbers, the first below the second.
bool ParseRange(const std::string& text, CliOptions& o) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    double low = 0.0, high = 0.0;
    const char* end = text.data() + text.size();
    const auto a = std::from_chars(text.data(), text.data() + comma, low);
    const auto b = std::from_chars(text.data() + comma + 1, end, high);
    if (a.ec != std::errc() || a.ptr != text.data() + comma || b.ec != std::errc() || b.ptr != end)
        return false;
    if (!std::isfinite(low) || !std::isfinite(high) || !(low < high)) return false;
    o.RangeMin = low;
    o.RangeMax = high;
    o.Range = true;
    return true;
}

}  // namespace

namespace cli_table {

std::vector<Section> DiffSections() {
    using C = CliCommand;
    return {
        {Only(C::Image, C::Report, C::Diff),
         {{"--range", "MIN,MAX", "fixed colour scale", "must be MIN,MAX with MIN below MAX", ParseRange}}},
        {Only(C::Report),
         {{"--shared-range", "", "one colour scale for every page", "",
           [](const std::string&, CliOptions& o) { return (o.SharedRange = true); }}}},
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
