#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "analysis/AnalysisMask.h"
#include "analysis/AreaStatistics.h"
#include "cli/CliRunner.h"
#include "cli/CliSamples.h"
#include "core/NumberText.h"

namespace {

class CliReport : public CliTestBase {
protected:
    // A poppler tool's output for the file; empty when it fails.
    static std::string ToolOutput(const std::string& tool, const std::string& pdf) {
        std::string text;
        std::FILE* pipe = ::popen(
            (tool + " '" + pdf + "' " + (tool == "pdftotext" ? "- " : "") + "2>/dev/null").c_str(), "r");
        if (pipe == nullptr) return text;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        return ::pclose(pipe) == 0 ? text : std::string();
    }
};

// Three files, one broken, with no display: a summary page and a page per
// file, the good files' fill figures as the window's flow gives them, the
// broken file's message in its row, on its page and on stderr, and exit
// status 1. An output folder that does not exist stops the report before any
// work, with nothing written.
TEST_F(CliReport, PagesSummaryAndFailuresOfManyFiles) {
    const std::string a = Write("a.thk", DomeThk(100, 10, false));
    const std::string b = Write("b.thk", DomeThk(100, 10, false, 900.0));
    const std::string bad = Write("bad.thk", "100\n10,10\n10,abc,500,\n");
    const std::string pdf = PathOf("r.pdf");
    const std::string csv = PathOf("s.csv");
    const CliRun run = Run({"report", a, bad, b, "--data", "fill", "--out", pdf, "--summary", csv});
    EXPECT_EQ(run.Status, 1) << run.Err;
    const std::string rows = Slurp(csv);
    // A failed row: its figures empty, then the seconds it took, its message
    // and no warnings.
    const std::string badRow = "\nbad.thk,,,,,,,,,,,,,,";
    ASSERT_NE(rows.find(badRow), std::string::npos) << rows;
    const std::size_t start = rows.find(',', rows.find(badRow) + badRow.size()) + 1;
    const std::size_t end = rows.find('\n', start);
    ASSERT_EQ(rows[end - 1], ',') << rows;
    const std::string message = rows.substr(start, end - 1 - start);
    ASSERT_FALSE(message.empty());
    EXPECT_NE(run.Err.find(bad + ": " + message), std::string::npos) << run.Err;

    const std::string info = ToolOutput("pdfinfo", pdf);
    const std::size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_EQ(std::stoi(info.substr(pages + 6)), 5);
    const std::string text = ToolOutput("pdftotext", pdf);
    for (const std::string& s : {std::string("a.thk"), std::string("b.thk"), std::string("bad.thk"), message})
        EXPECT_NE(text.find(s), std::string::npos) << s;

    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 4);
    EXPECT_EQ(rows.rfind("name,size,count,site_count,mean,min,max,range,sigma_n1,sigma1_pct_n1,sigma3_pct_n1,"
                         "uniformity_mean_pct,uniformity_maxmin_pct,radius,seconds,error,warnings\n",
                         0),
              0u);
    for (const std::string& file : {a, b}) {
        FlowRun flow(file);
        const AreaStatistics s =
            CalcAreaStatistics(flow.Fill(), AnalysisMask(flow.Fill().Size, WaferGeometry{}));
        char row[120];
        std::snprintf(row, sizeof row, "%s,100,%ld,121,%.17g,%.17g,%.17g,",
                      file.substr(file.rfind('/') + 1).c_str(), s.Count, s.Mean, s.Min, s.Max);
        EXPECT_NE(rows.find(row), std::string::npos) << row;
        EXPECT_NE(text.find(FormatFixed(s.Mean, 8, 3)), std::string::npos);
    }

    const CliRun missing = Run({"report", a, "--out", PathOf("none/r.pdf"), "--summary", PathOf("t.csv")});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("File write error. -> " + PathOf("none/r.pdf")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(PathOf("none")));
    EXPECT_FALSE(std::filesystem::exists(PathOf("t.csv")));
}

}  // namespace
