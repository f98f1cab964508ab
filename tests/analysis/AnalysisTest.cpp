#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/Analysis.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

// Every front end asks through the same request: each out-of-range field is
// refused with one message, the command line's text, and nothing else runs.
TEST(AnalysisRequest, RefusedOnceWithTheMessageOfItsField) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        AnalysisRequest request;
        std::string message;  // empty: accepted
    };
    const auto with = [](auto change) {
        AnalysisRequest r;
        change(r);
        return r;
    };
    const std::vector<Case> cases = {
        {"defaults", {}, ""},
        {"diameter above 10000", with([](auto& r) { r.Wafer.DiameterMm = 10000.5; }),
         "--wafer must be a number from 0 to 10000"},
        {"negative edge", with([](auto& r) {
             r.Wafer.DiameterMm = 200;
             r.Wafer.EdgeExclusionMm = -1;
         }),
         "--edge must be a number of 0 or more"},
        {"centre beyond the area", with([](auto& r) {
             r.Wafer.DiameterMm = 200;
             r.Wafer.CentreX = 501;
             r.Wafer.CentreY = 0;
         }),
         "--center must be X,Y with numbers from 0 to 500"},
        {"no bins is no histogram", with([](auto& r) { r.HistogramBins = 0; }), ""},
        {"negative bins", with([](auto& r) { r.HistogramBins = -1; }),
         "--histogram must be an integer from 1 to 10000"},
        {"a billion bins", with([](auto& r) { r.HistogramBins = 1000000000; }),
         "--histogram must be an integer from 1 to 10000"},
        {"most bins", with([](auto& r) { r.HistogramBins = 10000; }), ""},
        {"line end not finite", with([inf](auto& r) {
             r.Profile = ProfileKind::Line;
             r.LineX1 = inf;
         }),
         "--profile must be x, y, radial or X0,Y0,X1,Y1"},
        // Far ends are clipped to the area before stepping: an answer at
        // once, never a loop whose step no longer changes a double.
        {"line end far beyond 2^53", with([](auto& r) {
             r.Profile = ProfileKind::Line;
             r.LineX0 = 1e16;
             r.LineX1 = 0;
             r.LineY1 = 1;
         }),
         ""},
    };
    auto record = NewRecord(20, 1, 1);
    record->Valid = true;
    for (int x = 0; x <= 20; ++x)
        for (int y = 0; y <= 20; ++y)
            record->Value[x][y] = 10.0 + x;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CheckAnalysisRequest(c.request), c.message);
        MessageRecorder messages;
        AnalysisResult result;
        result.Shown.Count = -7;
        const int answer = AnalyzeRecord(*record, record.get(), c.request, result, messages);
        if (c.message.empty()) {
            EXPECT_EQ(answer, 1);
            EXPECT_TRUE(messages.Messages.empty());
            EXPECT_EQ(result.Shown.Count, 21 * 21);
            EXPECT_LE(result.Profile.size(), 30u);
        } else {
            EXPECT_EQ(answer, -1);
            EXPECT_EQ(messages.Messages, std::vector<std::string>{c.message});
            EXPECT_EQ(result.Shown.Count, -7);  // untouched
        }
    }
}

}  // namespace
