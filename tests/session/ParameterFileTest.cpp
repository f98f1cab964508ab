#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "session/ParameterFile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

using Lines = std::vector<std::string>;

const char* const FirstRunText =
    "Min_Color: 0\nMax_Color: 16777215\nBack_Color: 0\nAutoFill: 0\nColormap: 1\nRawRange: 1\n"
    "MinDataCount: 1\nRadOptimize: 1\nCalcPitch: 20\nSearchRad: 80.0\nAverageWeight: 3.00\n"
    "CalcIteration: 1\nSpline_Order: 3\nROI1_Type: 0\nROI1_Size: 10\nROI1_FDigit: 2\nROI1_Color: 255\n"
    "ROI2_Type: 0\nROI2_Size: 10\nROI2_FDigit: 2\nROI2_Color: 16711680\nROI_Min_Show: 1\nROI_Max_Show: 1\n"
    "ROI_Mean_Show: 1\nBorderCount: 5\nCopyColormap: 0\n";

// The first-run text with line n (1-based) replaced.
std::string WithLine(int n, const std::string& line) {
    std::string text = FirstRunText;
    std::size_t start = 0;
    for (int i = 1; i < n; ++i)
        start = text.find('\n', start) + 1;
    const std::size_t end = text.find('\n', start);
    return text.substr(0, start) + line + text.substr(end);
}

std::string FirstLines(int n) {
    std::string text = FirstRunText;
    std::size_t end = 0;
    for (int i = 0; i < n; ++i)
        end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

TEST(ParameterFile, DesignedControlsGiveTheFirstRunFile) {
    EXPECT_EQ(ParameterFileText(ViewSettings{}), FirstRunText);
}

TEST(ParameterFile, ReadsByPositionWithEveryMessage) {
    TempDir temp;
    std::string translated;
    for (std::size_t at = 0; at < std::string(FirstRunText).size();) {
        const std::string text = FirstRunText;
        const std::size_t colon = text.find(':', at);
        const std::size_t end = text.find('\n', at);
        translated += std::string(200, 'k') + text.substr(colon + 1, end - colon - 1) + "\r\n";
        at = end + 1;
    }
    struct Case {
        const char* what;
        std::string text;
        int result;
        Lines messages;
        std::function<void(const ViewSettings&)> check;
    };
    const Case cases[] = {
        {"the first-run file",
         FirstRunText,
         1,
         {},
         [](const ViewSettings& s) { EXPECT_EQ(ParameterFileText(s), FirstRunText); }},
        {"key words of 200 characters and CR LF",
         translated,
         1,
         {},
         [](const ViewSettings& s) { EXPECT_EQ(ParameterFileText(s), FirstRunText); }},
        {"a switch is on for 1 only",
         WithLine(4, "AutoFill: 2"),
         1,
         {},
         [](const ViewSettings& s) { EXPECT_FALSE(s.AutoFill); }},
        {"a radius without decimals",
         WithLine(10, "SearchRad: 80"),
         1,
         {},
         [](const ViewSettings& s) { EXPECT_EQ(s.SearchRad, 80.0f); }},
        {"the weight power read as a float",
         WithLine(11, "AverageWeight: 2.55"),
         1,
         {},
         [](const ViewSettings& s) { EXPECT_EQ(s.AverageWeight, static_cast<double>(2.55f)); }},
        {"a colour missing",
         WithLine(2, "Max_Color: none"),
         -1,
         {"Parameter read error.(Color No.1)"},
         [](const ViewSettings& s) { EXPECT_EQ(s.MapBackColor, 0x000000u); }},
        {"cut after line 13",
         FirstLines(13),
         -1,
         {"Parameter read error.(ROI Setting No.0-0)"},
         [](const ViewSettings& s) { EXPECT_EQ(s.SplineOrder, 3); }},
        {"the second ROI's colour missing",
         FirstLines(20),
         -1,
         {"Parameter read error.(ROI Setting No.1-3)"},
         nullptr},
        {"a pitch that is no number",
         WithLine(9, "CalcPitch: x"),
         -1,
         {"Parameter read error.(Calc Pitch)"},
         nullptr},
        {"the last line missing",
         FirstLines(25),
         -1,
         {"Parameter read error.(Copy Colormap Flag)"},
         [](const ViewSettings& s) { EXPECT_EQ(s.BorderCount, 5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageRecorder messages;
        ViewSettings settings;
        settings.CalcPitch = 77;  // overwritten by every file that reaches line 9
        EXPECT_EQ(LoadParameterFile(temp.Write("setting.dat", c.text), settings, messages), c.result);
        EXPECT_EQ(messages.Messages, c.messages);
        if (c.check) c.check(settings);
    }
}

TEST(ParameterFile, ValuesOutsideTheirLimitsAreReadErrorsOfTheirLine) {
    // Both ends of every limited line; every line of the upper file differs
    // from the defaults, so a failure shows which lines were kept.
    ViewSettings lower;
    lower.CalcPitch = 2;
    lower.SearchRad = 2.0f;
    lower.AverageWeight = 0.01;  // reads as a float just below 0.01
    lower.SplineOrder = 1;
    lower.RoiSize = {1, 1};
    lower.RoiFDigit = {0, 0};
    lower.BorderCount = 2;
    ViewSettings upper;
    upper.MapMinColor = 0x010203;
    upper.MapMaxColor = 0x040506;
    upper.MapBackColor = 0x070809;
    upper.AutoFill = true;
    upper.UseColormap = false;
    upper.RawRange = false;
    upper.MinDataCount = 10;
    upper.RadOptimize = false;
    upper.CalcPitch = 100;
    upper.SearchRad = 500.0f;  // what the radius optimisation can leave in the label
    upper.AverageWeight = 99.99;
    upper.CalcIteration = 99;
    upper.SplineOrder = 10;
    upper.RoiType = {RoiShape::Square, RoiShape::Square};
    upper.RoiSize = {100, 100};
    upper.RoiFDigit = {5, 5};
    upper.RoiColor = {0x0A0B0C, 0x0D0E0F};
    upper.ShowRoiMin = upper.ShowRoiMax = upper.ShowRoiMean = false;
    upper.BorderCount = 50;
    upper.CopyColormap = true;
    const std::string lowerText = ParameterFileText(lower);
    const std::string upperText = ParameterFileText(upper);
    const std::string defaultText = FirstRunText;
    const auto lineStart = [](const std::string& text, int n) {
        std::size_t start = 0;
        for (int i = 0; i < n; ++i)
            start = text.find('\n', start) + 1;
        return start;
    };

    struct Case {
        const char* what;
        const std::string& base;
        int line;  // 1-based line of the base replaced; 0: none
        const char* replacement;
        const char* message;  // nullptr: the file loads
    };
    const Case cases[] = {
        {"the lower ends", lowerText, 0, "", nullptr},
        {"the upper ends", upperText, 0, "", nullptr},
        {"a minimum count of 11", upperText, 7, "MinDataCount: 11", "Min Data Count"},
        {"a negative pitch", upperText, 9, "CalcPitch: -20", "Calc Pitch"},
        {"a pitch of 1", upperText, 9, "CalcPitch: 1", "Calc Pitch"},
        {"a radius beyond any data", upperText, 10, "SearchRad: 500.1", "Search Rad"},
        {"a weight power of 0", upperText, 11, "AverageWeight: 0.00", "Average Weight"},
        {"100 iterations", upperText, 12, "CalcIteration: 100", "Calc Iteration"},
        {"a degree of 11", upperText, 13, "Spline_Order: 11", "Spline Order"},
        {"ROI1_Type 7", upperText, 14, "ROI1_Type: 7", "ROI Setting No.0-0"},
        {"ROI1_Type -1", upperText, 14, "ROI1_Type: -1", "ROI Setting No.0-0"},
        {"six fraction digits", upperText, 16, "ROI1_FDigit: 6", "ROI Setting No.0-2"},
        {"the second ROI's size 101", upperText, 19, "ROI2_Size: 101", "ROI Setting No.1-1"},
        {"one border", upperText, 25, "BorderCount: 1", "Border Count"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string& base = c.base;
        std::string text = base;
        if (c.line > 0) {
            const std::size_t start = lineStart(text, c.line - 1);
            text.replace(start, text.find('\n', start) - start, c.replacement);
        }
        MessageRecorder messages;
        ViewSettings read;
        EXPECT_EQ(ReadParameterText(text, read, messages), c.message ? -1 : 1);
        // Only the bad line takes its default; every other line is kept.
        EXPECT_EQ(messages.Messages, c.message ? Lines{std::string("Parameter read error.(") + c.message +
                                                       ": out of range, the default is used)"}
                                               : Lines{});
        std::string expected = base;
        if (c.line > 0) {
            const std::size_t at = lineStart(base, c.line - 1);
            const std::size_t from = lineStart(defaultText, c.line - 1);
            expected.replace(at, base.find('\n', at) - at,
                             defaultText.substr(from, defaultText.find('\n', from) - from));
        }
        EXPECT_EQ(ParameterFileText(read), expected);
    }
}

TEST(ParameterFile, SavedValuesReadBackAndFailuresSayWhy) {
    TempDir temp;
    ViewSettings saved;
    saved.MapBackColor = 0x123456;
    saved.AutoFill = true;
    saved.UseColormap = false;
    saved.CalcPitch = 7;
    saved.SearchRad = 30.3f;
    saved.AverageWeight = 2.5;
    saved.RoiType = {RoiShape::Square, RoiShape::Square};
    saved.RoiColor = {0x00FF00, 0x00FFFF};
    saved.ShowRoiMax = false;
    saved.BorderCount = 12;
    saved.CopyColormap = true;
    const std::string path = temp.PathOf("setting.dat");
    ASSERT_EQ(SaveParameterFile(path, saved, MessageRecorder()), 1);
    ViewSettings read;
    ASSERT_EQ(LoadParameterFile(path, read, MessageRecorder()), 1);
    EXPECT_EQ(ParameterFileText(read), ParameterFileText(saved));
    EXPECT_EQ(read.SearchRad, 30.3f);

    MessageRecorder messages;
    EXPECT_EQ(SaveParameterFile(temp.PathOf("no-such-folder/setting.dat"), saved, messages), -1);
    EXPECT_EQ(LoadParameterFile(temp.PathOf("absent.dat"), read, messages), -1);
    EXPECT_EQ(messages.Messages,
              (Lines{"<SaveParameter> File open error.", "<LoadParameter> File open error."}));
}

}  // namespace
