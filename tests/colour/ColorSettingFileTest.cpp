#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "colour/ColorSettingFile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string DefaultFileText =
    "ColorCount: 7\nColor01: 255\nColor02: 4227327\nColor03: 65535\nColor04: 65280\n"
    "Color05: 16776960\nColor06: 16711680\nColor07: 16711808\nColor08: 16744703\n"
    "Color09: 16777215\nColor10: 0\n";

class ColorSettingFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& content, const std::string& name = "colorset.dat") {
        return temp_.Write(name, content);
    }

    // A table that differs from the preset everywhere, to see what a load keeps.
    static GradationTable Marked() {
        GradationTable t;
        t.Count = 4;
        for (int i = 0; i < GradationMaxColors; ++i)
            t.Colors[static_cast<size_t>(i)] = 100 + i;
        return t;
    }

    TempDir temp_;
    const fs::path& dir_ = temp_.Root();
};

TEST_F(ColorSettingFileTest, DefaultTableSavesElevenLinesAndReadsBack) {
    const std::string path = (dir_ / "colorset.dat").string();
    MessageRecorder recorder;
    ASSERT_EQ(SaveColorSetting(path, ColormapPreset(), recorder), 1);
    EXPECT_EQ(ReadWholeFile(path), DefaultFileText);
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    GradationTable table = Marked();
    EXPECT_EQ(LoadColorSetting(path, table, recorder), 7);
    EXPECT_EQ(table.Count, 7);
    EXPECT_EQ(table.Colors, ColormapPreset().Colors);
    EXPECT_TRUE(recorder.Messages.empty());
}

TEST_F(ColorSettingFileTest, CountBelowTenStillReadsAllTenColours) {
    GradationTable table = Marked();
    std::string text = "ColorCount: 3\n";
    for (int i = 1; i <= 10; ++i)
        text += "Color" + std::to_string(i) + ": " + std::to_string(i * 11) + "\n";
    text += "Color11: 999\n";  // past the tenth: ignored
    EXPECT_EQ(LoadColorSetting(Write(text), table, MessageRecorder()), 3);
    EXPECT_EQ(table.Count, 3);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(table.Colors[static_cast<size_t>(i)], (i + 1) * 11u);

    // Only count colours are required; the entries past them keep their values.
    table = Marked();
    EXPECT_EQ(LoadColorSetting(Write("any 2\nx 5\ny -1\n"), table, MessageRecorder()), 2);
    EXPECT_EQ(table.Colors[0], 5u);
    EXPECT_EQ(table.Colors[1], 0xFFFFFFFFu);
    EXPECT_EQ(table.Colors[2], 102u);

    // One colour is a valid, one-colour scale.
    EXPECT_EQ(LoadColorSetting(Write("ColorCount: 1\nColor01: 65280\n"), table, MessageRecorder()), 1);
    EXPECT_EQ(table.Count, 1);
}

TEST_F(ColorSettingFileTest, FailuresShowTheirMessagesAndSetTheDefault) {
    const std::string tooLongKey(128, 'k');
    struct Case {
        const char* what;
        std::string content;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"empty file", "", {"'Color Count' read error.", "Set default color setting."}},
        {"count not a number",
         "ColorCount: seven\n",
         {"'Color Count' read error.", "Set default color setting."}},
        {"count above the ten entries",
         "ColorCount: 11\n" + DefaultFileText.substr(14),
         {"'Color Count' read error.", "Set default color setting."}},
        {"five of seven colours",
         "ColorCount: 7\nC1: 1\nC2: 2\nC3: 3\nC4: 4\nC5: 5\n",
         {"'Color Setting'-No.6 read error.", "Set default color setting."}},
        {"colour that is not a number",
         "ColorCount: 2\nColor01: 3\nColor02: red\n",
         {"'Color Setting'-No.2 read error.", "Set default color setting."}},
        {"key word longer than 127 characters",
         "ColorCount: 2\n" + tooLongKey + " 5\nC2: 6\n",
         {"'Color Setting'-No.1 read error.", "Set default color setting."}},
    };
    for (const Case& c : cases) {
        GradationTable table = Marked();
        MessageRecorder recorder;
        EXPECT_EQ(LoadColorSetting(Write(c.content), table, recorder), -1) << c.what;
        EXPECT_EQ(recorder.Messages, c.messages) << c.what;
        EXPECT_EQ(table.Count, 7) << c.what;
        EXPECT_EQ(table.Colors, ColormapPreset().Colors) << c.what;
    }
}

TEST_F(ColorSettingFileTest, CountOfZeroOrLessIsReturnedWithoutMessageOrChange) {
    const std::pair<const char*, int> cases[] = {{"ColorCount: 0\nColor01: 1\n", 0},
                                                 {"ColorCount: -3\n", -3}};
    for (const auto& [content, count] : cases) {
        GradationTable table = Marked();
        MessageRecorder recorder;
        EXPECT_EQ(LoadColorSetting(Write(content), table, recorder), count);
        EXPECT_TRUE(recorder.Messages.empty());
        EXPECT_EQ(table.Count, Marked().Count);
        EXPECT_EQ(table.Colors, Marked().Colors);
    }
}

TEST_F(ColorSettingFileTest, MissingFileLeavesTableUnchanged) {
    const std::string path = (dir_ / "absent.dat").string();
    GradationTable table = Marked();
    MessageRecorder recorder;
    EXPECT_EQ(LoadColorSetting(path, table, recorder), -1);
    EXPECT_EQ(recorder.Messages,
              std::vector<std::string>{"<LoadColorSetting> File open error.\n -> " + path});
    EXPECT_EQ(table.Colors, Marked().Colors);
}

TEST_F(ColorSettingFileTest, SaveReplacesWholeFileOrLeavesItAlone) {
    const std::string path = Write(std::string(5000, 'x'));
    GradationTable mono = ColormapPreset();
    ApplyMonoPreset(mono);
    MessageRecorder recorder;
    ASSERT_EQ(SaveColorSetting(path, mono, recorder), 1);
    const std::string saved = ReadWholeFile(path);
    EXPECT_EQ(saved.substr(0, 43), "ColorCount: 2\nColor01: 16777215\nColor02: 0\n");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 11);

    // A folder that does not exist: the open message, nothing written.
    const std::string nowhere = (dir_ / "no-such-dir" / "c.dat").string();
    EXPECT_EQ(SaveColorSetting(nowhere, mono, recorder), -1);
    EXPECT_EQ(recorder.Messages,
              std::vector<std::string>{"<SaveColorSetting> File open error.\n -> " + nowhere});

    // A folder of that name cannot be opened for writing: the open message,
    // the folder as it was.
    const fs::path folder = dir_ / "taken.dat";
    fs::create_directories(folder / "inside");
    recorder.Messages.clear();
    EXPECT_EQ(SaveColorSetting(folder.string(), mono, recorder), -1);
    EXPECT_EQ(recorder.Messages,
              std::vector<std::string>{"<SaveColorSetting> File open error.\n -> " + folder.string()});
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
}

}  // namespace
