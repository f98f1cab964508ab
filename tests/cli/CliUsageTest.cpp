#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace {

class CliUsage : public CliTestBase {};

TEST_F(CliUsage, UsageErrorsExitTwoAndSayWhatIsWrong) {
    const std::string f = Write("f.thk", "20\n10,10\n0,0,1,\n");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{}, "missing command"},
        {{"frobnicate", f}, "unknown command 'frobnicate'"},
        {{"grid"}, "missing FILE argument"},
        {{"grid", f, f}, "unexpected argument '" + f + "'"},
        {{"stats", f, "--pitch", "20"}, "unknown option '--pitch' for stats"},
        {{"grid", f, "--order", "3"}, "unknown option '--order' for grid"},
        {{"grid", f, "--pitch"}, "--pitch needs a value"},
        {{"grid", f, "--pitch", "101"}, "--pitch must be an integer from 2 to 100"},
        {{"grid", f, "--pitch", "20.0"}, "--pitch must be an integer from 2 to 100"},
        {{"grid", f, "--radius", "1.9"}, "--radius must be a number from 2.0 to 200.0"},
        {{"grid", f, "--radius", "-5"}, "--radius must be a number from 2.0 to 200.0"},
        {{"grid", f, "--radius", "1e2"}, "--radius must be a number from 2.0 to 200.0"},
        {{"grid", f, "--power=100"}, "--power must be a number from 0.01 to 99.99"},
        {{"grid", f, "--min-count", "0"}, "--min-count must be an integer from 1 to 10"},
        {{"fill", f, "--order", "11"}, "--order must be an integer from 1 to 10"},
        {{"grid", f, "--radius", "50", "--optimize"}, "--radius and --optimize exclude each other"},
        {{"grid", f, "--optimize=yes"}, "--optimize takes no value"},
        {{"table", f, "--data", "smooth"}, "--data must be raw, grid or fill"},
        {{"image", f}, "image needs --out MAP.png"},
        {{"image", f, "--out", "m.png", "--draw", "lines"}, "--draw must be colormap or contour"},
        {{"image", f, "--out", "m.png", "--borders", "1"}, "--borders must be an integer from 2 to 50"},
        {{"contours", f, "--borders", "51"}, "--borders must be an integer from 2 to 50"},
        {{"roi", f, "--x", "10"}, "roi needs --x and --y"},
        {{"roi", f, "--x", "10", "--y", "501"}, "--y must be an integer from 0 to 500"},
        {{"roi", f, "--x", "1", "--y", "1", "--size", "0"}, "--size must be an integer from 1 to 100"},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.args);
        EXPECT_EQ(run.Status, 2) << c.message;
        EXPECT_EQ(run.Out, "") << c.message;
        EXPECT_EQ(run.Err.substr(0, run.Err.find('\n')), "morvaplot-cli: " + c.message);
    }
}

TEST_F(CliUsage, HelpNamesEveryOptionOfEveryCommand) {
    const std::vector<std::string> grid = {"--pitch", "--radius", "--optimize", "--min-count", "--power"};
    const std::vector<std::string> fill = {"--order"};
    struct Case {
        const char* command;
        std::vector<std::vector<std::string>> options;
    };
    const Case cases[] = {
        {"stats", {}},
        {"grid", {grid}},
        {"fill", {grid, fill}},
        {"table", {grid, fill, {"--data"}}},
        {"image",
         {grid,
          fill,
          {"--out", "--data", "--draw", "--gradation", "--no-raw-range", "--borders", "--copy-colormap"}}},
        {"contours", {grid, fill, {"--borders", "--no-raw-range"}}},
        {"roi", {grid, fill, {"--x", "--y", "--size", "--square", "--data"}}},
    };
    const CliRun general = Run({"--help"});
    EXPECT_EQ(general.Status, 0);
    for (const Case& c : cases) {
        EXPECT_NE(general.Out.find(std::string("  ") + c.command + " "), std::string::npos) << c.command;
        const CliRun run = Run({c.command, "--help"});
        EXPECT_EQ(run.Status, 0) << c.command;
        EXPECT_EQ(run.Err, "") << c.command;
        EXPECT_EQ(run.Out.rfind(std::string("Usage: morvaplot-cli ") + c.command, 0), 0u);
        for (const auto& group : c.options)
            for (const std::string& option : group)
                EXPECT_NE(run.Out.find(option), std::string::npos) << c.command << " " << option;
    }
}

}  // namespace
