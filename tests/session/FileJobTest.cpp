#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/Analysis.h"
#include "analysis/SummaryRow.h"
#include "calc/SurfaceFitter.h"
#include "session/FileJob.h"
#include "support/TempDir.h"

namespace {

using Names = std::vector<std::string>;

// Summary rows must be told apart: a file name alone where it is unique,
// otherwise as many folders as it takes; the same file twice is one name.
TEST(FileJob, RowsNamedByTheShortestDistinguishingPath) {
    struct Case {
        const char* what;
        Names paths;
        Names names;
    };
    const Case cases[] = {
        {"unique names", {"/data/a.thk", "b.thk"}, {"a.thk", "b.thk"}},
        {"same name in two lots",
         {"/d/lot1/w01.thk", "/d/lot2/w01.thk", "/d/lot2/w02.thk"},
         {"lot1/w01.thk", "lot2/w01.thk", "w02.thk"}},
        {"same folder name deeper", {"/x/lot/w.thk", "/y/lot/w.thk"}, {"x/lot/w.thk", "y/lot/w.thk"}},
        {"relative beside absolute", {"w.thk", "/lot/w.thk"}, {"w.thk", "lot/w.thk"}},
        {"the same file twice", {"lot/w.thk", "lot/w.thk"}, {"w.thk", "w.thk"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DistinguishingNames(c.paths), c.names);
    }
}

// The messages that did not stop a file stay in its row, one per line: a
// line without a thickness, then no data cell inside the wafer, whose row
// then has a count of 0 and no figures at all (not a mean of 0).
TEST(FileJob, RowKeepsItsWarningsAndAnEmptyAreaHasNoFigures) {
    TempDir temp;
    const SourceInput source = SourceOfFile(temp.Write("w.thk", "100\n10,10\n0,0,5,\n10,0,,\n0,10,7,\n"));
    FileJobRequest request;
    request.Data = DataKind::Raw;
    request.Settings.RadOptimize = false;
    request.Analysis.Wafer = WaferGeometry{100.0, 0.0, 90.0, 90.0};
    request.Analysis.Wafer.EdgeExclusionMm = 45.0;
    SurfaceFitter fitter;
    PreparedRecords records;
    const FileJobResult result = RunFileJob(source, "w.thk", request, fitter, records);
    ASSERT_FALSE(result.Row.Failed()) << result.Row.Error;
    EXPECT_EQ(result.Row.Figures.Count, 0);
    EXPECT_EQ(result.Row.Warnings,
              std::string("Z data missing in 1 line (cells left empty). First Line: 3\n") + EmptyAreaMessage);
    const std::string csv = SummaryCsv({result.Row});
    const std::string expected = "w.thk,100,0,0,,,,,,,,,,80,";  // no cell, no site, no figures
    EXPECT_EQ(csv.substr(csv.find('\n') + 1, expected.size()), expected);
}

}  // namespace
