#include "analysis/LotFigures.h"

#include <algorithm>
#include <cmath>

#include "analysis/SitePairing.h"

namespace {

// Sample sigma (n - 1) about mean; 0 for fewer than two values.
double SampleSigma(const std::vector<double>& values, double mean) {
    if (values.size() < 2) return 0.0;
    double squares = 0.0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

double MeanOf(const std::vector<double>& values) {
    double sum = 0.0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

}  // namespace

LotFigures CalcLotFigures(const std::vector<SummaryRow>& rows) {
    std::vector<double> means, uniformity, maxMin, sigma3;
    for (const SummaryRow& row : rows) {
        if (row.Failed()) continue;
        means.push_back(row.Figures.Mean);
        uniformity.push_back(row.Figures.UniformityPct);
        maxMin.push_back(row.Figures.UniformityMaxMinPct);
        sigma3.push_back(row.Figures.Sigma3Pct);
    }
    LotFigures lot;
    if (means.empty()) return lot;
    lot.Files = static_cast<int>(means.size());
    lot.MeanOfMeans = MeanOf(means);
    lot.SigmaOfMeans = SampleSigma(means, lot.MeanOfMeans);
    const auto [low, high] = std::minmax_element(means.begin(), means.end());
    lot.LowestMean = *low;
    lot.HighestMean = *high;
    lot.RangeOfMeans = *high - *low;
    lot.MeanUniformityPct = MeanOf(uniformity);
    lot.MeanUniformityMaxMinPct = MeanOf(maxMin);
    lot.MeanSigma3Pct = MeanOf(sigma3);
    return lot;
}

std::vector<LotSite> CalcLotSites(const std::vector<FileSites>& files, const WaferFrame& frame) {
    if (files.empty() || files[0].Sites.empty()) return {};
    const FileSites& first = files[0];
    const std::size_t n = first.Sites.size();
    // values[i]: site i of the first file in every file, in file order.
    std::vector<std::vector<double>> values(n);
    for (const FileSites& file : files) {
        if (file.Sites.size() != n) return {};
        const std::vector<int> partner = MatchSites(first.Cells, file.Cells, SiteToleranceUnits(frame));
        for (std::size_t i = 0; i < n; ++i) {
            if (partner[i] < 0) return {};
            values[i].push_back(file.Sites[static_cast<std::size_t>(partner[i])].Z);
        }
    }
    std::vector<LotSite> sites(n);
    for (std::size_t i = 0; i < n; ++i) {
        LotSite& s = sites[i];
        s.Site = first.Sites[i].Site;
        s.Cell = first.Cells[i];
        s.X = MmFromCentreX(frame, s.Cell.X);
        s.Y = MmFromCentreY(frame, s.Cell.Y);
        s.Mean = MeanOf(values[i]);
        s.Sigma = SampleSigma(values[i], s.Mean);
    }
    return sites;
}
