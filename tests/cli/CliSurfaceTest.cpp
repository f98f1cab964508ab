#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace {

class CliSurface : public CliTestBase {};

// A 49-site polar pattern on a 200 mm wafer, in mm: a dome and a tilt.
std::string DomeCsv() {
    std::string text = "Site,X,Y,Thickness\n";
    int n = 0;
    const auto add = [&](double x, double y) {
        const double r = std::hypot(x, y) / 100.0;
        text += std::to_string(++n) + ',' + std::to_string(x) + ',' + std::to_string(y) + ',' +
                std::to_string(10000.0 - 300.0 * r * r + 0.15 * x) + '\n';
    };
    add(0, 0);
    for (int ring = 1; ring <= 3; ++ring)
        for (int k = 0; k < 8 * ring; ++k) {
            const double a = 2.0 * 3.141592653589793 * (k + 0.5 * (ring % 2)) / (8 * ring);
            add(30.0 * ring * std::cos(a), 30.0 * ring * std::sin(a));
        }
    return text;
}

// The surface options add their sections after analyze's own lines, which
// stay as they are, and the JSON document holds the same figures.
TEST_F(CliSurface, AnalyzeAddsSectionsAfterItsOwnLines) {
    const std::string file = Write("dome.csv", DomeCsv());
    const std::vector<std::string> base = {"analyze", file, "--csv", "--wafer", "200", "--data", "fill"};
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string first;   // the first added line
        const char* how;     // residuals: leave-one-out or fit
        bool keepsOwnLines;  // false: the fill shown is another surface, or levelled
    };
    const Case cases[] = {
        {"spline residuals", {"--residuals"}, "Residuals\tleave-one-out\n", "leave-one-out", true},
        {"spline overshoot", {"--surface", "spline"}, "Surface\tspline\n", nullptr, true},
        {"thin-plate spline", {"--surface", "tps", "--residuals"}, "Surface\ttps\n", "leave-one-out", false},
        {"Zernike", {"--surface", "zernike:4", "--residuals"}, "Surface\tzernike:4\n", "fit", false},
        {"radius curve", {"--radius-scan", "40,80,20"}, "RadiusScan\n", nullptr, true},
        {"levelling", {"--level", "bow"}, "Levelling\tbow\tsites\n", nullptr, false},
    };
    std::vector<std::string> args = base;
    const CliRun plain = Run(base);
    ASSERT_EQ(plain.Status, 0) << plain.Err;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        args = base;
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun text = Run(args);
        ASSERT_EQ(text.Status, 0) << text.Err;
        const std::size_t own = text.Out.find(c.first);
        ASSERT_NE(own, std::string::npos) << text.Out;
        if (c.keepsOwnLines) {
            EXPECT_EQ(text.Out.substr(0, own), plain.Out);
        }
        args.push_back("--json");
        const CliRun json = Run(args);
        ASSERT_EQ(json.Status, 0) << json.Err;
        const nlohmann::json doc = nlohmann::json::parse(json.Out);
        if (c.how) {
            const nlohmann::json& r = doc.at("residuals");
            EXPECT_EQ(r.at("how"), c.how);
            EXPECT_EQ(r.at("sites").size(), 49u);
            EXPECT_NE(text.Out.find("ResidualCount\t" + std::to_string(r.at("count").get<int>()) + "\n"),
                      std::string::npos);
        }
        if (c.args[0] == "--radius-scan") EXPECT_EQ(doc.at("radius_scan").size(), 3u);
        if (c.args[0] == "--level") EXPECT_NEAR(doc.at("levelling").at("tilt_x").get<double>(), 0.15, 1e-9);
    }
}

TEST_F(CliSurface, RefusesWhatItCannotRun) {
    const std::string file = Write("dome.csv", DomeCsv());
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {{"--surface", "zernike:11"}, "--surface must be spline, tps or zernike:N with N from 1 to 10"},
        {{"--surface", "tps", "--data", "raw"}, "--surface tps is a fill: --data must be fill"},
        {{"--radius-scan", "80,40,10"},
         "--radius-scan must be FROM,TO,STEP with 0 < FROM <= TO, STEP > 0, at most 1000 radii"},
        {{"--level", "plane"}, "--level must be tilt or bow"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"analyze", file, "--csv"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = Run(args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err, "morvaplot-cli: " + c.error + "\nTry 'morvaplot-cli analyze --help'.\n");
    }
}

}  // namespace
