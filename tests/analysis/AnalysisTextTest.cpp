#include <gtest/gtest.h>

#include <vector>

#include "analysis/AnalysisText.h"

namespace {

TEST(AnalysisText, ExactTexts) {
    AreaStatistics s;
    s.Count = 3;
    s.Mean = 0.1;
    s.Min = -2.5;
    s.MinX = 0;
    s.MinY = 12;
    s.Max = 1e21;
    s.MaxX = 500;
    s.MaxY = 7;
    s.Range = 1.0 / 3.0;
    s.Sigma = 0.0;
    s.Sigma1Pct = 100.0;
    s.Sigma3Pct = 1e-7;
    s.UniformityPct = 123456789012345678.0;
    s.UniformityMaxMinPct = 0.5;
    const std::string values =
        "\t3\n|Mean\t0.10000000000000001\n|Min\t-2.5\n|MinX\t0\n|MinY\t12\n|Max\t1e+21\n|MaxX\t500\n|"
        "MaxY\t7\n"
        "|Range\t0.33333333333333331\n|SigmaN1\t0\n|Sigma1PctN1\t100\n|Sigma3PctN1\t9.9999999999999995e-08\n"
        "|UniformityMeanPct\t1.2345678901234568e+17\n|UniformityMaxMinPct\t0.5\n";
    std::string expected = "Count" + values;
    std::string sites = "SitesCount" + values;
    for (std::size_t at; (at = expected.find('|')) != std::string::npos;)
        expected.erase(at, 1);
    for (std::size_t at; (at = sites.find('|')) != std::string::npos;)
        sites.replace(at, 1, "Sites");
    EXPECT_EQ(StatisticsText(s), expected);
    EXPECT_EQ(StatisticsText(s, "Sites"), sites);

    const std::vector<ProfilePoint> points = {{-0.5, 1000.25, 0, 0}, {2.0, 0.1, 0, 0}};
    EXPECT_EQ(ProfileText(points), "-0.5\t1000.25\n2\t0.10000000000000001\n");

    const std::vector<RingStats> rings = {
        {0.0, 1, 5.0, 5.0, 5.0}, {1.0, 0, 0.0, 0.0, 0.0}, {2.0, 2, 1.5, 1.0, 2.0}};
    EXPECT_EQ(RadialProfileText(rings), "0\t5\t5\t5\n2\t1.5\t1\t2\n");

    Histogram h;
    h.Edges = {0.0, 0.5, 1.0};
    h.Counts = {4, 0};
    EXPECT_EQ(HistogramText(h), "0\t0.5\t4\n0.5\t1\t0\n");
}

}  // namespace
