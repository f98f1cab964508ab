#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/LotFigures.h"

namespace {

SummaryRow Row(double mean, double uniformity, double maxMin, double sigma3) {
    SummaryRow row;
    row.Figures.Mean = mean;
    row.Figures.UniformityPct = uniformity;
    row.Figures.UniformityMaxMinPct = maxMin;
    row.Figures.Sigma3Pct = sigma3;
    return row;
}

// Means 10, 12 and 17: mean 13, squared deviations 9 + 1 + 16 = 26 over
// n - 1 = 2; the failed file counts nowhere.
TEST(LotFigures, TheMeansSpreadFromWaferToWafer) {
    SummaryRow failed = Row(1000, 50, 50, 50);
    failed.Error = "File read error.";
    const LotFigures lot = CalcLotFigures({Row(10, 1, 2, 3), failed, Row(12, 2, 3, 6), Row(17, 6, 7, 9)});
    EXPECT_EQ(lot.Files, 3);
    EXPECT_DOUBLE_EQ(lot.MeanOfMeans, 13.0);
    EXPECT_DOUBLE_EQ(lot.SigmaOfMeans, std::sqrt(13.0));
    EXPECT_EQ(lot.LowestMean, 10.0);
    EXPECT_EQ(lot.HighestMean, 17.0);
    EXPECT_EQ(lot.RangeOfMeans, 7.0);
    EXPECT_DOUBLE_EQ(lot.MeanUniformityPct, 3.0);
    EXPECT_DOUBLE_EQ(lot.MeanUniformityMaxMinPct, 4.0);
    EXPECT_DOUBLE_EQ(lot.MeanSigma3Pct, 6.0);
    EXPECT_EQ(CalcLotFigures({failed}).Files, 0);
}

FileSites Sites(std::vector<ThkPoint> points) {
    FileSites f;
    for (const ThkPoint& p : points)
        f.Cells.push_back({p.X, p.Y});
    f.Sites = std::move(points);
    return f;
}

// Two sites in three files, the last file listing them the other way round
// and 0.3 cells off: site 1 holds 10, 11, 15 (mean 12, sigma sqrt(7)), site
// 2 holds 20 in each (sigma 0). A site moved 0.6 cells away, or a missing
// one, leaves the lot without a site map.
TEST(LotFigures, EachSiteOverTheLot) {
    WaferFrame frame;  // no wafer: half a cell, positions in file units from 0
    const std::vector<FileSites> lot = {Sites({{5, 5, 10, 1}, {9, 5, 20, 2}}),
                                        Sites({{5, 5, 11, 1}, {9, 5, 20, 2}}),
                                        Sites({{9.3, 5, 20, 1}, {5, 5.3, 15, 2}})};
    const std::vector<LotSite> sites = CalcLotSites(lot, frame);
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[0].Site, 1);
    EXPECT_DOUBLE_EQ(sites[0].Mean, 12.0);
    EXPECT_DOUBLE_EQ(sites[0].Sigma, std::sqrt(7.0));
    EXPECT_DOUBLE_EQ(sites[1].Mean, 20.0);
    EXPECT_EQ(sites[1].Sigma, 0.0);

    std::vector<FileSites> moved = lot;
    moved[2] = Sites({{9.6, 5, 20, 1}, {5, 5, 15, 2}});
    EXPECT_TRUE(CalcLotSites(moved, frame).empty());
    moved[2] = Sites({{5, 5, 15, 1}});
    EXPECT_TRUE(CalcLotSites(moved, frame).empty());
}

}  // namespace
