#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "data/XyzText.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

using namespace std::string_literals;
using Messages = std::vector<std::string>;

class XyzTextTest : public ::testing::Test {
protected:
    // Converts the text into a record with stale pitches and a stale cell.
    Messages Convert(const std::string& text, int expected) {
        record_ = NewRecord(0, 7, 7);
        record_->Value[400][400] = 1.0;
        MessageRecorder recorder;
        EXPECT_EQ(ConvertXYZToThkData(text, *record_, recorder), expected);
        EXPECT_EQ(record_->Value[400][400], NoData);
        return recorder.Messages;
    }

    std::unique_ptr<ThkData> record_;
};

TEST_F(XyzTextTest, StatisticsOfMixedLineEnds) {
    // The line without a TAB is no header; "12.5" is Size 12; the later of two
    // values at (3, 4) wins in the grid while Count, Min and Max keep both.
    EXPECT_EQ(Convert("100\n12.5\t7\r12\t0\t1e2\r\n3.9\t4.2\t-2.5\n3\t4\t7.5\r0\t12\t5\n", 4), Messages{});
    const ThkData& r = *record_;
    EXPECT_TRUE(r.Valid);
    EXPECT_EQ(r.Size, 12);
    EXPECT_EQ(r.PitchX, 1);
    EXPECT_EQ(r.PitchY, 1);
    EXPECT_EQ(r.Count, 4);
    EXPECT_EQ(r.Value[12][0], 100.0);
    EXPECT_EQ(r.Value[3][4], 7.5);
    EXPECT_EQ(r.Value[0][12], 5.0);
    EXPECT_EQ(r.Min, -2.5);
    EXPECT_EQ(r.RangeMax, 100.0);
    EXPECT_EQ(r.Range, 102.5);
    EXPECT_EQ(r.Mean, 37.5);
    const double sigma = std::sqrt((62.5 * 62.5 + 30.0 * 30.0 + 32.5 * 32.5) / 4.0);
    EXPECT_DOUBLE_EQ(r.Sigma, sigma);
    EXPECT_DOUBLE_EQ(r.Ratio, 102.5 / 97.5);
    EXPECT_DOUBLE_EQ(r.UniformityPct, 102.5 / 75.0 * 100.0);
    EXPECT_DOUBLE_EQ(r.Sigma3Pct, sigma * 3.0 / 37.5 * 100.0);
}

TEST_F(XyzTextTest, MinimumAboveStartValueAndRecordWithoutValues) {
    EXPECT_EQ(Convert("500\t\n0\t0\t150000\n1\t0\t200000\n", 2), Messages{});
    EXPECT_EQ(record_->Min, 150000.0);
    EXPECT_EQ(record_->Max, 200000.0);
    EXPECT_EQ(Convert("500\t\n", 0), Messages{});
    EXPECT_TRUE(record_->Valid);
    EXPECT_EQ(record_->Count, 0);
    EXPECT_EQ(record_->Min, StatInitMin);
    EXPECT_EQ(record_->Max, StatInitMax);
}

struct Case {
    const char* name;
    std::string text;
    int result;
    Messages messages;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class XyzTextCases : public XyzTextTest, public ::testing::WithParamInterface<Case> {};

TEST_P(XyzTextCases, ReturnsAndShowsExactly) {
    EXPECT_EQ(Convert(GetParam().text, GetParam().result), GetParam().messages);
    EXPECT_EQ(record_->Valid, GetParam().result >= 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, XyzTextCases,
    ::testing::Values(
        Case{"OnePoint", "100\t\t\r\n0\t0\t5.5\r\n", 1, {}},
        // The last line is data without its line break; a Size that lost its
        // TAB is said, not read as the first point.
        Case{"MissingFinalLineBreak", "100\t\t\r\n0\t0\t5.5", 1, {}},
        Case{"SizeWithoutTab", "100\n1\t2\t3\n", -1, {"The Size line must end with a TAB. -> '100' Line: 1"}},
        Case{"XEqualToSize", "100\t\n100\t100\t1\n", 1, {}}, Case{"Size500", "500\t\n500\t0\t1\n", 1, {}},
        Case{"SizeZero", "0\t\n", -1, {"Size data error.(with in 1<->500) -> 0"}},
        Case{"Size501", "501\t\n", -1, {"Size data error.(with in 1<->500) -> 501"}},
        Case{"SizeShownAsTyped", "-0.5e1\t\n", -1, {"Size data error.(with in 1<->500) -> -0.5e1"}},
        Case{"SizeFractionTruncated",
             "12.5\t\n12\t0\t1\n13\t0\t1\n",
             -1,
             {"Incorrect X data.(X<0 or X>12) Line: 3"}},
        Case{"XAboveSize", "100\t\n100.5\t0\t1\n", -1, {"Incorrect X data.(X<0 or X>100) Line: 2"}},
        Case{"YNegative", "100\t\n0\t-1\t1\n", -1, {"Incorrect Y data.(Y<0 or Y>100) Line: 2"}},
        Case{"PlusSign", "100\t\n0\t0\t+5\n", -1, {"Data error. -> '+' Line: 2"}},
        Case{"Blank", "100\t\n0 \t0\t5\n", -1, {"Data error. -> ' ' Line: 2"}},
        Case{"TypographicMinus",
             "100\t\n0\t0\t\xE2\x88\x92"
             "5\n",
             -1,
             {"Data error. -> '\xE2\x88\x92' Line: 2"}},
        Case{"TwoFieldsSkipped",
             "100\t\n10\t20\n0\t0\t1\n",
             1,
             {"Data count error.(Must be 'X','Y','Z') Line: 2"}},
        Case{"FourthColumn", "100\t1\t2\n0\t0\t1\t\n", -1, {"Data count error. Line:2"}},
        Case{"NoTabAtAll", "100\n0\n", -1, {"Data error.( Too few data count. )"}},
        Case{"HeaderWithoutPoints", "100\t", 0, {}},
        // Every line break counts once, a CR LF pair too; lines without a TAB count.
        Case{"LfLines", "100\t\n0\t0\t1\n\n1\t1\t+5\n", -1, {"Data error. -> '+' Line: 4"}},
        Case{"CrLines", "100\t\r0\t0\t1\r\r1\t1\t+5\r", -1, {"Data error. -> '+' Line: 4"}},
        Case{"CrLfLines", "100\t\r\n0\t0\t1\r\n\r\n1\t1\t+5\r\n", -1, {"Data error. -> '+' Line: 4"}},
        Case{"TokenOf63", "100\t\n" + std::string(63, '0') + "\t0\t1\n", 1, {}},
        // Thicknesses no stage can hold: beyond a double, beyond a float.
        Case{"ZOverflowsDouble", "100\t\n0\t0\t1\n\n1\t1\t1e999\n", -1, {"Incorrect Z data.(1e999) Line: 4"}},
        Case{"ZBeyondFloat", "100\t\n0\t0\t-1e300\r\n", -1, {"Incorrect Z data.(-1e300) Line: 2"}},
        Case{"ZAtFloatMax", "100\t\n0\t0\t3.4028234e38\n", 1, {}},
        // A NUL byte would cut the message short wherever it is shown.
        Case{"NulByte", "100\t\n0\t\0\t1\n"s, -1, {"Data error. -> '' Line: 2"}},
        // Cut to 63 characters it would read as X = 0 and pass.
        Case{
            "TokenOf64", "100\t\n" + std::string(63, '0') + "5\t0\t1\n", -1, {"Data error. -> '5' Line: 2"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
