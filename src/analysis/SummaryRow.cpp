#include "analysis/SummaryRow.h"

#include "core/RoundTripNumber.h"

namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string SummaryCsv(const std::vector<SummaryRow>& rows) {
    std::string text;
    for (std::size_t i = 0; i < SummaryColumns.size(); ++i) {
        if (i > 0) text += ',';
        text += SummaryColumns[i];
    }
    text += '\n';
    for (const SummaryRow& row : rows) {
        text += CsvField(row.Name);
        if (row.Failed()) {
            // Every figure empty up to the seconds the file took.
            text += std::string(SummaryColumns.size() - 3, ',') + FormatG17(row.Seconds) + ',' +
                    CsvField(row.Error) + ',' + CsvField(row.Warnings) + '\n';
            continue;
        }
        const AreaStatistics& s = row.Figures;
        text += ',' + std::to_string(row.Size) + ',' + std::to_string(s.Count) + ',' +
                std::to_string(row.SiteCount);
        for (double v : {s.Mean, s.Min, s.Max, s.Range, s.Sigma, s.Sigma1Pct, s.Sigma3Pct, s.UniformityPct,
                         s.UniformityMaxMinPct})
            text += row.HasFigures() ? ',' + FormatG17(v) : std::string(",");
        text +=
            ',' + FormatG17(row.Radius) + ',' + FormatG17(row.Seconds) + ",," + CsvField(row.Warnings) + '\n';
    }
    return text;
}
