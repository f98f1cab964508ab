#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>

#include "data/ThkReader.h"
#include "data/ThkReaderPaths.h"
#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"
#include "support/TempDir.h"

namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

class ThkReaderTest : public ::testing::Test {
protected:
    void SetUp() override { record_ = NewRecord(); }

    std::string Write(const std::string& content, const std::string& name = "data.thk") {
        return temp_.Write(name, content);
    }

    // Reads the content and returns the messages shown.
    std::vector<std::string> Read(const std::string& content, int expected) {
        MessageRecorder recorder;
        EXPECT_EQ(ReadThkFile(Write(content), *record_, recorder), expected);
        return recorder.Messages;
    }

    TempDir temp_;
    const fs::path& dir_ = temp_.Root();
    std::unique_ptr<ThkData> record_;
};

using Messages = std::vector<std::string>;

TEST_F(ThkReaderTest, ReadsValuesAndStatistics) {
    EXPECT_EQ(Read("20\n10,10\n0,0,101.5,\n10,20,99.75,\n20,20,+1.5e2,\n", 1), Messages{});
    const ThkData& r = *record_;
    EXPECT_TRUE(r.Valid);
    EXPECT_EQ(r.Size, 20);
    EXPECT_EQ(r.PitchX, 10);
    EXPECT_EQ(r.PitchY, 10);
    EXPECT_EQ(r.Count, 3);
    EXPECT_EQ(r.Value[0][0], 101.5);
    EXPECT_EQ(r.Value[10][20], 99.75);
    EXPECT_EQ(r.Value[20][20], 150.0);
    EXPECT_EQ(r.Value[20][10], NoData);
    EXPECT_EQ(r.Min, 99.75);
    EXPECT_EQ(r.Max, 150.0);
    EXPECT_EQ(r.RangeMin, 99.75);
    EXPECT_EQ(r.RangeMax, 150.0);
    EXPECT_EQ(r.Range, 50.25);
    const double mean = (101.5 + 99.75 + 150.0) / 3.0;
    EXPECT_DOUBLE_EQ(r.Mean, mean);
    const double ss =
        (101.5 - mean) * (101.5 - mean) + (99.75 - mean) * (99.75 - mean) + (150.0 - mean) * (150.0 - mean);
    EXPECT_DOUBLE_EQ(r.Sigma, std::sqrt(ss / 4.0));
    EXPECT_DOUBLE_EQ(r.Ratio, 50.25 / 249.75);
    EXPECT_DOUBLE_EQ(r.UniformityPct, 50.25 / (mean * 2) * 100);
    EXPECT_DOUBLE_EQ(r.Sigma3Pct, r.Sigma * 3 / mean * 100);
}

TEST_F(ThkReaderTest, HeaderToleratesBlanksAndLineBreaks) {
    EXPECT_EQ(Read("  \n\n 100\n 20, 20\r\n0,0,1,\r\n\n\n20,0,2,\n", 1), Messages{});
    EXPECT_EQ(record_->Size, 100);
    EXPECT_EQ(record_->PitchY, 20);
    EXPECT_EQ(record_->Count, 2);
}

TEST_F(ThkReaderTest, LenientFieldRules) {
    // Empty fields read as 0; a surplus field without comma is dropped; the
    // integer part of X decides the cell; X = 500 is fine even beyond Size.
    EXPECT_EQ(Read("100\n10,10\n,,5.0,\n10,20,99.5,7\n10.7,30,-2.5,\n500,0,3,\n", 1), Messages{});
    EXPECT_EQ(record_->Value[0][0], 5.0);
    EXPECT_EQ(record_->Value[10][20], 99.5);
    EXPECT_EQ(record_->Value[10][30], -2.5);
    EXPECT_EQ(record_->Value[500][0], 3.0);
    EXPECT_EQ(record_->Count, 4);
}

TEST_F(ThkReaderTest, ThicknessTokensReadAsACReaderWould) {
    // Reading stops where the number stops; a token that is no number reads 0.
    EXPECT_EQ(Read("100\n10,10\n0,0,1.5e,\n0,10,+-5,\n0,20,-,\n0,30,.5,\n0,40,1.2.3,\n0,50,-2.5E-1,\n", 1),
              Messages{});
    EXPECT_EQ(record_->Value[0][0], 1.5);
    EXPECT_EQ(record_->Value[0][10], 0.0);
    EXPECT_EQ(record_->Value[0][20], 0.0);
    EXPECT_EQ(record_->Value[0][30], 0.5);
    EXPECT_EQ(record_->Value[0][40], 1.2);
    EXPECT_EQ(record_->Value[0][50], -0.25);
}

TEST_F(ThkReaderTest, RepeatedPositionCountsTwiceButGridKeepsLater) {
    EXPECT_EQ(Read("20\n10,10\n10,10,5,\n10,10,1,\n0,0,3,\n", 1), Messages{});
    EXPECT_EQ(record_->Value[10][10], 1.0);
    EXPECT_EQ(record_->Count, 3);
    EXPECT_EQ(record_->Min, 1.0);
    EXPECT_EQ(record_->Max, 5.0);
    EXPECT_DOUBLE_EQ(record_->Mean, 2.0);
}

TEST_F(ThkReaderTest, EmptyValueIsCountedButReadsEmpty) {
    EXPECT_EQ(Read("20\n10,10\n0,0,-99999,\n10,10,4,\n", 1), Messages{});
    EXPECT_EQ(record_->Count, 2);
    EXPECT_EQ(record_->Min, -99999.0);
    EXPECT_EQ(record_->Mean, 4.0);
}

// A missing thickness is no zero: the cell keeps what it held (empty here,
// the earlier value of a repeated position), the line is not counted, and
// one message after the load counts such lines and names the first. Empty X
// and Y fields still read as 0.
TEST_F(ThkReaderTest, MissingZLeavesTheCellEmptyAndSaysSoOnce) {
    EXPECT_EQ(Read("100\n10,10\n0,0,5,\n20,30,,\n10,10,4,\n0,0,,\n,10,6,\n", 1),
              Messages{"Z data missing in 2 lines (cells left empty). First Line: 3"});
    EXPECT_EQ(record_->Value[20][30], NoData);
    EXPECT_EQ(record_->Value[0][0], 5.0);
    EXPECT_EQ(record_->Value[0][10], 6.0);
    EXPECT_EQ(record_->Count, 3);
    EXPECT_EQ(record_->Min, 4.0);
    EXPECT_DOUBLE_EQ(record_->Mean, 5.0);
    EXPECT_EQ(Read("100\n10,10\n20,30,,\n0,0,1,\n", 1),
              Messages{"Z data missing in 1 line (cells left empty). First Line: 2"});
}

struct Failure {
    const char* name;
    std::string content;
    const char* message;
};
void PrintTo(const Failure& f, std::ostream* os) {
    *os << f.name;
}

class ThkReaderFailures : public ThkReaderTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(ThkReaderFailures, ShowsOneExactMessage) {
    EXPECT_EQ(Read(GetParam().content, -1), Messages{GetParam().message});
    EXPECT_FALSE(record_->Valid);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ThkReaderFailures,
    ::testing::Values(
        Failure{"SizeZero", "0\n10,10\n", "Size data error.(<=0 or >500) -> 0"},
        Failure{"Size501", "501\n10,10\n", "Size data error.(<=0 or >500) -> 501"},
        Failure{"SizeNegative", "-3\n10,10\n", "Size data error.(<=0 or >500) -> -3"},
        Failure{"SizeNotANumber", "size\n10,10\n", "Size data error.(<=0 or >500) -> 0"},
        Failure{"EmptyFile", "", "Size data error.(<=0 or >500) -> 0"},
        Failure{"PitchZero", "100\n0,10\n", "X/Y Pitch data error. X:0 Y:10"},
        Failure{"PitchAboveSize", "100\n10,101\n", "X/Y Pitch data error. X:10 Y:101"},
        // A pitch equal to Size passes the header; the data line is then checked against it.
        Failure{"PitchXEqualsSize", "100\n100,10\n50,0,1,\n",
                "X coord is not multiple of X-Pitch. -> 50 X-Pitch= 100"},
        Failure{"PitchYEqualsSize", "100\n10,100\n0,50,1,\n",
                "Y coord is not multiple of Y-Pitch. -> 50 Y-Pitch= 100"},
        Failure{"PitchNotANumber", "100\npitch\n", "X/Y Pitch data error. X:0 Y:0"},
        Failure{"PitchBlankBeforeComma", "100\n10 ,10\n", "X/Y Pitch data error. X:10 Y:0"},
        Failure{"NoDataLines", "100\n10,10\n", "Data count is zero."},
        Failure{"OnlyMissingZ", "100\n10,10\n0,0,,\n", "Data count is zero."},
        Failure{"NoTrailingComma", "100\n10,10\n10,20,99.5\n20,20,1\n", "Data count is zero."},
        Failure{"FourthComma", "100\n10,10\n0,0,1,\n10,20,99.5,7,\n", "Data count error. Line: 3"},
        Failure{"BlankAfterComma", "100\n10,10\n0, 0,1,\n", "Incorrect data. -> ' (20)' Line: 2"},
        Failure{"BlankAfterPitch", "100\n10,10 \n0,0,1,\n", "Incorrect data. -> ' (20)' Line: 2"},
        Failure{"TabInLine", "100\n10,10\n0,0,1,\n0,\t10,1,\n", "Incorrect data. -> '\t(09)' Line: 3"},
        Failure{"MinusInX", "100\n10,10\n-10,0,1,\n", "Incorrect data. -> '-(2D)' Line: 2"},
        Failure{"ExponentInY", "100\n10,10\n0,1e1,1,\n", "Incorrect data. -> 'e(65)' Line: 2"},
        Failure{"LetterInZ", "100\n10,10\n0,0,1A,\n", "Incorrect data. -> 'A(41)' Line: 2"},
        Failure{"LoneCarriageReturn", "100\n10,10\n0,0,1,\r0,10,1,\n", "Incorrect data. -> '\r(0D)' Line: 2"},
        Failure{"HighByte", "100\n10,10\n0,0,1\xE3,\n", "Incorrect data. -> '\xE3(E3)' Line: 2"},
        Failure{"XNotMultiple", "100\n10,10\n15,0,1,\n",
                "X coord is not multiple of X-Pitch. -> 15 X-Pitch= 10"},
        Failure{"YNotMultiple", "100\n10,5\n10,12.9,1,\n",
                "Y coord is not multiple of Y-Pitch. -> 12 Y-Pitch= 5"},
        Failure{"XAbove500", "100\n10,10\n0,0,1,\n500.5,0,1,\n", "Incorrect X data.(X<0 or Y>500) Line: 3"},
        Failure{"YAbove500", "100\n10,10\n0,510,1,\n", "Incorrect Y data.(Y<0 or Y>510) Line: 2"},
        // Blank lines and lines without a comma do not advance the line number.
        Failure{"LineNumbersSkipBlankLines", "100\n10,10\n\n0,0,1,\n\n\n7\n0,0,1,x\n",
                "Incorrect data. -> 'x(78)' Line: 3"},
        // The first violation in file order wins.
        Failure{"FirstErrorWins", "100\n10,10\n15,0,1,\n0,0,A,\n",
                "X coord is not multiple of X-Pitch. -> 15 X-Pitch= 10"},
        // A NUL byte is named by its code alone: it would cut the message short.
        Failure{"NulByte", "100\n10,10\n0,0,1,\n0,\0,1,\n"s, "Incorrect data. -> '(00)' Line: 3"},
        // Thicknesses no stage can hold: beyond a double, beyond a float.
        Failure{"ZOverflowsDouble", "100\n10,10\n0,0,1,\n\n0,10,1e999,\n",
                "Incorrect Z data.(1e999) Line: 3"},
        Failure{"ZBeyondFloat", "100\n10,10\n0,0,-1e300,\n", "Incorrect Z data.(-1e300) Line: 2"},
        Failure{"ZJustBeyondFloat", "100\n10,10\n0,0,3.4028235e38,\n",
                "Incorrect Z data.(3.4028235e38) Line: 2"},
        // The only content a file of blank lines has is no Size.
        Failure{"OnlyBlankLines", std::string(50000, '\n') + "\r\n  \n",
                "Size data error.(<=0 or >500) -> 0"},
        // A 10 MB line without a break is read as it streams, not held.
        Failure{"TenMegabyteLine",
                "500\n1,1\n" +
                    [] {
                        std::string line;
                        for (int i = 0; i < 10 * 1024 * 1024 / 6; ++i)
                            line += "0,0,1,";
                        return line;
                    }(),
                "Data count error. Line: 2"}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

TEST_F(ThkReaderTest, MissingFileAndDirectoryAreOpenErrorsAndAReadErrorIsNoRecord) {
    MessageRecorder recorder;
    const std::string missing = (dir_ / "missing.thk").string();
    EXPECT_EQ(ReadThkFile(missing, *record_, recorder), -1);
    EXPECT_EQ(ReadThkFile(dir_.string(), *record_, recorder), -1);
    // Opens, but the first read fails (EIO): never read as an empty file.
    EXPECT_EQ(ReadThkFile("/proc/self/mem", *record_, recorder), -1);
    EXPECT_EQ(recorder.Messages,
              (Messages{"File open error. -> " + missing, "File open error. -> " + dir_.string(),
                        "File read error. -> /proc/self/mem"}));
}

TEST_F(ThkReaderTest, ZAtTheFloatLimitsIsKept) {
    EXPECT_EQ(Read("100\n10,10\n0,0,3.4028234e38,\n0,10,-3.4028234e38,\n", 1), Messages{});
    EXPECT_EQ(record_->Max, 3.4028234e38);
    EXPECT_EQ(record_->Min, -3.4028234e38);
    EXPECT_TRUE(std::isfinite(record_->Sigma));
}

TEST_F(ThkReaderTest, OverlongTokenIsRefusedNotOverflowed) {
    const std::string digits63 = "1." + std::string(61, '1');
    EXPECT_EQ(Read("100\n10,10\n0,0," + digits63 + ",\n", 1), Messages{});
    EXPECT_EQ(Read("100\n10,10\n0,0," + digits63 + "7,\n", -1),
              Messages{"Incorrect data. -> '7(37)' Line: 2"});
    // A huge coordinate is reported with its integer part, not undefined behaviour.
    const std::string big = "1" + std::string(45, '0');
    const auto messages = Read("100\n10,10\n" + big + ",0,1,\n", -1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Incorrect X data.(X<0 or Y>", 0), 0u);
}

TEST_F(ThkReaderTest, LargeFileStreamsEveryLine) {
    std::string content = "500\n1,1\n";
    content.reserve(8u << 20);
    char line[64];
    for (int x = 0; x <= 500; ++x) {
        for (int y = 0; y <= 500; ++y) {
            std::snprintf(line, sizeof line, "%d,%d,%.3f,\n", x, y, 100.0 + 0.001 * (x + y));
            content += line;
        }
    }
    EXPECT_EQ(Read(content, 1), Messages{});
    EXPECT_EQ(record_->Count, 501 * 501);
    EXPECT_EQ(record_->Value[500][500], 101.0);
    EXPECT_EQ(record_->Min, 100.0);
}

// --- The plain-line reading against the character scanner ---------------------------------------

struct Outcome {
    int result = 0;
    Messages messages;
    std::unique_ptr<ThkData> record = NewRecord();
};

Outcome ReadInBlocks(const std::string& content, std::size_t blockSize, bool plainLines) {
    Outcome out;
    MessageRecorder recorder;
    out.result = ReadThkTextInBlocks(content, *out.record, blockSize, plainLines, recorder);
    out.messages = recorder.Messages;
    return out;
}

// Same result, messages and every bit of the record.
::testing::AssertionResult SameOutcome(const Outcome& a, const Outcome& b) {
    if (a.result != b.result)
        return ::testing::AssertionFailure() << "result " << a.result << " vs " << b.result;
    if (a.messages != b.messages)
        return ::testing::AssertionFailure() << "messages '" << ::testing::PrintToString(a.messages)
                                             << "' vs '" << ::testing::PrintToString(b.messages) << "'";
    const ThkData& x = *a.record;
    const ThkData& y = *b.record;
#define MORVAPLOT_SAME_BITS(field) \
    if (std::memcmp(&x.field, &y.field, sizeof x.field) != 0) return ::testing::AssertionFailure() << #field;
    MORVAPLOT_SAME_BITS(Valid)
    MORVAPLOT_SAME_BITS(Count)
    MORVAPLOT_SAME_BITS(Size)
    MORVAPLOT_SAME_BITS(PitchX)
    MORVAPLOT_SAME_BITS(PitchY)
    MORVAPLOT_SAME_BITS(Value)
    MORVAPLOT_SAME_BITS(Min)
    MORVAPLOT_SAME_BITS(Max)
    MORVAPLOT_SAME_BITS(RangeMin)
    MORVAPLOT_SAME_BITS(RangeMax)
    MORVAPLOT_SAME_BITS(Range)
    MORVAPLOT_SAME_BITS(Mean)
    MORVAPLOT_SAME_BITS(Sigma)
    MORVAPLOT_SAME_BITS(Ratio)
    MORVAPLOT_SAME_BITS(UniformityPct)
    MORVAPLOT_SAME_BITS(Sigma1Pct)
    MORVAPLOT_SAME_BITS(Sigma3Pct)
#undef MORVAPLOT_SAME_BITS
    return ::testing::AssertionSuccess();
}

// The content read by the scanner alone, and with plain lines in one block
// and in small blocks that cut the lines at every position.
void ExpectPlainLinesMatchScanner(const std::string& content, std::size_t largestCut) {
    const Outcome scanner = ReadInBlocks(content, content.size(), false);
    EXPECT_TRUE(SameOutcome(ReadInBlocks(content, content.size(), true), scanner)) << "one block";
    for (std::size_t block = 1; block <= largestCut; ++block)
        EXPECT_TRUE(SameOutcome(ReadInBlocks(content, block, true), scanner)) << "blocks of " << block;
}

TEST(ThkReaderPlainLines, GiveTheScannersRecordAndMessages) {
    const std::string h = "500\n1,1\n";
    const std::string h10 = "100\n10,10\n";
    const std::string plain = "0,0,1000.0000,\n0,1,999.9999,\n1,0,1000.0125,\n";
    const struct {
        const char* name;
        std::string content;
    } files[] = {
        {"PlainLines", h + plain},
        {"CrLfLinesAndHeader", "500\r\n1,1\r\n0,0,1.5,\r\n\r\n0,1,2.5,\r\n\n1,1,-3,\r\n"},
        {"NoLineFeedAtTheEnd", h + plain + "2,2,7.25,"},
        {"CarriageReturnAtTheEnd", h + plain + "2,2,7.25,\r"},
        {"LoneCarriageReturn", h + plain + "2,2,7.25,\r2,3,1,\n"},
        {"CarriageReturnTwice", h + plain + "2,2,7.25,\r\r\n"},
        {"BlankCarriageReturnLine", h + plain + "\r\r\n2,2,1,\n"},
        {"SignsAndZeros",
         h + "0,0,-0,\n0,1,0,\n0,2,-0.0,\n0,3,+5,\n0,4,+.5,\n0,5,-.5,\n0,6,007.50,\n0,7,1.,\n"},
        {"NegativeZeroFirst", h + "0,0,-0,\n0,1,0,\n"},
        {"SignsThatAreNoNumber", h + "0,0,+-5,\n0,1,-,\n0,2,+,\n0,3,--1,\n0,4,5-3,\n0,5,.,\n0,6,-.,\n"},
        {"EmptyAndDotCoordinates", h10 + ",,5,\n.,.,1,\n10.,.0,2,\n0,0,,\n"},
        {"DecimalCoordinates", h10 + "10.7,20.99,1,\n009.9999,0,2,\n499.9999999,0,3,\n"},
        {"CoordinateRoundsTo500", h + "499.99999999,500.00000001,4,\n"},
        {"CoordinateBeyond500", h + plain + "500.5,0,1,\n"},
        {"CoordinateNotAMultiple", h10 + "10,10,1,\n0,15,1,\n"},
        {"DigitsNearTheExactLimit",
         h + "0,0,9007199254740992,\n0,1,9007199254740993,\n0,2,900719925474099.3,\n0,3,0.9007199254740993,\n"
             "0,4,1234567890123456789,\n0,5,12345678901234567890,\n0,6,.1234567890123456789,\n"
             "0,7,0.00000000000000000001,\n0,8,0000000000000000000000001.5,\n0,9,-0.30000000000000004,\n"
             // 2^64 + 5 and 2^65: digits that would wrap a 64-bit integer.
             "0,10,18446744073709551621,\n0,11,36893488147419103232,\n"},
        {"TokenLengthLimit",
         h + "0,0,1." + std::string(61, '1') + ",\n0,1,1." + std::string(62, '1') + ",\n"},
        {"Exponents", h + "0,0,1e5,\n0,1,1.5E-3,\n0,2,1e,\n0,3,-2.5e+2,\n0,4,1e999,\n"},
        {"ZBeyondFloat", h + plain + "0,5,-1e300,\n"},
        {"SurplusFieldAndFourthComma", h + "0,0,1,7\n0,1,2,7.5\n0,2,3,x\n0,3,4,5,\n"},
        {"BlankAndCommaFreeLinesKeepTheLineNumber", h + "\n\n0,0,1,\n7\n\n0,1,2,\n0, 2,3,\n"},
        {"TabAndSpace", h + plain + "0,2,3 ,\n"},
        {"ErrorInTheFirstLine", h + "x" + plain},
        {"ErrorInTheLastLine", h + plain + "0,4,3,\n0,5,3A,\n"},
        {"PitchYFollowedByComma", "500\n1,1,0,1,\n0,0,2,\n"},
        {"HeaderWithoutLineFeed", "500\n1,1"},
        {"NulAndHighBytes", h + plain + "0,2,\xE3,\n0,3,"s + '\0' + ",\n"},
        {"NoDataLines", h + "\n\r\n\n"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        ExpectPlainLinesMatchScanner(file.content, 20);
    }
}

// Random files of plain lines among tricky pieces, read in random blocks.
TEST(ThkReaderPlainLines, MatchTheScannerOnRandomFiles) {
    std::mt19937 random(20240611);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // clang-format off
    const char* const pieces[] = {"0", "5", "9", "00", ".", ",", ",", ",", "\n", "\n", "\r\n", "\r", "-", "+",
                                  "e", "E", " ", "x", "1.25", "499", "500", "501", "10", "-0.", "1e", "7.",
                                  ".5", ",\n", "9007199254740993"};
    // clang-format on
    for (int n = 0; n < 200; ++n) {
        const int pitch = 1 + pick(3) * pick(4);
        char header[32];
        std::snprintf(header, sizeof header, "500\n%d,%d\n", pitch, pitch);
        std::string content = header;
        for (int line = 0; line < 20; ++line) {
            if (pick(4) == 0) {
                for (int k = pick(8); k > 0; --k)
                    content += pieces[pick(static_cast<int>(std::size(pieces)))];
                continue;
            }
            char text[80];
            std::snprintf(text, sizeof text, "%d,%d,%.*f,%s", pitch * pick(501 / pitch + 1),
                          pitch * pick(501 / pitch + 1), pick(7),
                          (static_cast<double>(random()) - 2147483648.0) / 1e3, pick(8) == 0 ? "\r\n" : "\n");
            content += text;
        }
        SCOPED_TRACE(content);
        const Outcome scanner = ReadInBlocks(content, content.size(), false);
        EXPECT_TRUE(SameOutcome(ReadInBlocks(content, content.size(), true), scanner));
        EXPECT_TRUE(
            SameOutcome(ReadInBlocks(content, 1 + static_cast<std::size_t>(pick(40)), true), scanner));
    }
}

}  // namespace
