#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour/DifferenceScale.h"
#include "support/RecordFactory.h"

namespace {

// A removal that keeps one sign is drawn on its own range; one that crosses
// zero on the colours centred on it; the user's choice wins either way.
TEST(DifferenceScale, SequentialForOneSignDivergingAcrossZero) {
    struct Case {
        std::string Label;
        std::vector<double> Values;
        DifferenceScale Scale;
        bool Diverging;
    };
    const std::vector<Case> cases = {
        {"all positive, auto", {2983.0, 3456.0}, DifferenceScale::Auto, false},
        {"all negative, auto", {-3456.0, -2983.0}, DifferenceScale::Auto, false},
        {"zero and above, auto", {0.0, 12.0}, DifferenceScale::Auto, false},
        {"both signs, auto", {-1.0, 12.0}, DifferenceScale::Auto, true},
        {"all positive, asked diverging", {2983.0, 3456.0}, DifferenceScale::Diverging, true},
        {"both signs, asked sequential", {-1.0, 12.0}, DifferenceScale::Sequential, false},
        {"no data, auto", {}, DifferenceScale::Auto, false},
    };
    for (const Case& c : cases) {
        auto record = NewRecord(10, 1, 1);
        record->Valid = true;
        for (std::size_t i = 0; i < c.Values.size(); ++i)
            record->Value[i][0] = c.Values[i];
        RecalcStatistics(*record);
        EXPECT_EQ(DrawsDiverging(*record, c.Scale), c.Diverging) << c.Label;
    }
}

}  // namespace
