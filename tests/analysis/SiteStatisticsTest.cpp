#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/Analysis.h"
#include "data/CsvImport.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

// A 49-site polar pattern on a 200 mm wafer as a metrology export writes
// it: the centre, rings of 8, 16 and 24 sites at 32, 64 and 97 mm, positions
// with two decimals cut toward the centre, so the outer ring lies on the
// 3 mm exclusion circle or just inside it. Rounded to 1 mm cells, many outer
// sites land outside the circle; measured where they are, all 49 count.
TEST(SiteStatistics, EveryOuterSiteOnTheExclusionCircleCounts) {
    std::string table = "Site,X (mm),Y (mm),Thickness (nm)\n";
    std::vector<double> values;
    int site = 0;
    const auto add = [&](double x, double y) {
        const double z = 9700.0 + 0.01 * (x * x + y * y) + 0.5 * site;
        char line[96];
        std::snprintf(line, sizeof line, "%d,%.2f,%.2f,%.3f\n", ++site, std::trunc(x * 100) / 100,
                      std::trunc(y * 100) / 100, z);
        table += line;
        values.push_back(std::stod(std::string(line).substr(std::string(line).rfind(',') + 1)));
    };
    add(0, 0);
    const double pi = std::acos(-1.0);
    for (const auto& [count, radius] : {std::pair{8, 32.0}, {16, 64.0}, {24, 97.0}})
        for (int k = 0; k < count; ++k)
            add(radius * std::cos(2 * pi * k / count + 0.3), radius * std::sin(2 * pi * k / count + 0.3));

    CsvImportOptions options;
    options.Diameter = 200.0;
    auto raw = NewRecord(0, 1, 1);
    MessageRecorder messages;
    ASSERT_EQ(ImportCsvText(table, options, *raw, messages), 1) << messages.Messages.front();
    ASSERT_EQ(raw->Points.size(), 49u);
    ASSERT_TRUE(raw->PointsInMm);
    AnalysisRequest request;
    request.Wafer.DiameterMm = 200.0;
    request.Wafer.EdgeExclusionMm = 3.0;
    AnalysisResult result;
    ASSERT_EQ(AnalyzeRecord(*raw, raw.get(), request, result, messages), 1);
    ASSERT_TRUE(result.Sites.has_value());
    EXPECT_EQ(result.Sites->Count, 49);
    // The rounded cells alone lose outer sites: the fault this mends.
    EXPECT_LT(result.Shown.Count, 49);

    double mean = 0.0;
    for (double v : values)
        mean += v;
    mean /= 49.0;
    double squares = 0.0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    EXPECT_NEAR(result.Sites->Mean, mean, 1e-12 * mean);
    EXPECT_NEAR(result.Sites->Sigma, std::sqrt(squares / 48.0), 1e-9);
    EXPECT_EQ(result.MaxSite, 49);  // the last outer site carries the largest offset

    // Half a millimetre more exclusion drops the whole outer ring.
    request.Wafer.EdgeExclusionMm = 3.5;
    ASSERT_EQ(AnalyzeRecord(*raw, raw.get(), request, result, messages), 1);
    EXPECT_EQ(result.Sites->Count, 25);
}

}  // namespace
