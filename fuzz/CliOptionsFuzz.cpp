// morvaplot-cli's option parsing, with the input split into arguments at NUL
// bytes (the one byte no argument can hold).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "analysis/WaferGeometry.h"
#include "cli/CliOptions.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

double Number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (size > 0) args.push_back(current);

    CliOptions o;
    // Parsing answers through its result; it is given no sink to show a
    // message through.
    const ParseResult result = ParseCommandLine(args, o);
    switch (result.Status) {
        case ParseStatus::Help:
            FUZZ_REQUIRE(!result.Text.empty());
            return 0;
        case ParseStatus::Usage:
            FUZZ_REQUIRE(result.Text.rfind("morvaplot-cli: ", 0) == 0 && EndsWith(result.Text, "\n"));
            return 0;
        case ParseStatus::Run:
            break;
    }
    // A command runs only with every value in the range its option allows.
    FUZZ_REQUIRE(o.CalcPitch >= 2 && o.CalcPitch <= 100);
    FUZZ_REQUIRE(o.MinDataCount >= 1 && o.MinDataCount <= 10);
    FUZZ_REQUIRE(o.SplineOrder >= 1 && o.SplineOrder <= 10);
    FUZZ_REQUIRE(o.BorderCount >= 2 && o.BorderCount <= 50);
    const double radius = Number(o.SearchRadText);
    FUZZ_REQUIRE(radius >= 2.0 && radius <= 200.0);
    const double power = Number(o.AverageWeightText);
    FUZZ_REQUIRE(power >= 0.01 && power <= 99.99);
    FUZZ_REQUIRE(o.RoiX >= 0 && o.RoiX <= ThkMaxSize && o.RoiY >= 0 && o.RoiY <= ThkMaxSize);
    FUZZ_REQUIRE(o.RoiSize >= 1 && o.RoiSize <= 100);
    FUZZ_REQUIRE(o.Random.Size >= 10 && o.Random.Size <= ThkMaxSize);
    FUZZ_REQUIRE(o.Random.Count >= 1 && o.Random.Count <= 500);
    FUZZ_REQUIRE(o.Random.CheckRadius >= 1 && o.Random.CheckRadius <= 125);
    FUZZ_REQUIRE(o.Random.Base >= -9999.999 && o.Random.Base <= 9999.999);
    FUZZ_REQUIRE(o.Random.Width >= 0.001 && o.Random.Width <= MaxRandomWidth);
    if (o.Command == CliCommand::Image || o.Command == CliCommand::Random || o.Command == CliCommand::Diff)
        FUZZ_REQUIRE(!o.OutFile.empty());
    // The wafer passes the analysis layer's check; a diff names both files.
    FUZZ_REQUIRE(o.CsvOptions.Diameter >= 0.0 && o.CsvOptions.Diameter <= MaxWaferDiameterMm);
    FUZZ_REQUIRE(CheckWaferGeometry({o.CsvOptions.Diameter, o.EdgeMm, o.CentreX, o.CentreY}) ==
                 WaferFault::None);
    FUZZ_REQUIRE(o.HistogramBins >= 0 && o.HistogramBins <= 10000);
    FUZZ_REQUIRE(o.RateTime >= 0.0 && std::isfinite(o.RateTime));
    FUZZ_REQUIRE(!(o.Xyz && o.Csv));
    return 0;
}
