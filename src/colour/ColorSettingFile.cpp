#include "colour/ColorSettingFile.h"

#include <cstdio>

#include "core/Message.h"
#include "core/TextFile.h"

namespace {

// Longest key word kept by the reader (a 128-character buffer with its end mark).
constexpr std::size_t MaxKeyLength = 127;

int FailToDefault(GradationTable& table) {
    ShowMessage("Set default color setting.");
    table = ColormapPreset();
    return -1;
}

}  // namespace

int LoadColorSetting(const std::string& fileName, GradationTable& table) {
    std::string text;
    if (!ReadTextFile(fileName, text)) {
        ShowMessage("<LoadColorSetting> File open error.\n -> " + fileName);
        return -1;
    }
    return ReadColorSetting(text, table);
}

int ReadColorSetting(const std::string& text, GradationTable& table) {
    WordNumberReader reader(text, MaxKeyLength);
    int value = 0;
    if (!reader.NextInt(value) || value > GradationMaxColors) {
        ShowMessage("'Color Count' read error.");
        return FailToDefault(table);
    }
    const int count = value;

    std::array<Color, GradationMaxColors> colors = table.Colors;
    int read = 0;
    while (read < GradationMaxColors && reader.NextInt(value)) {
        colors[static_cast<std::size_t>(read)] = static_cast<Color>(value);
        ++read;
    }
    if (read < count) {
        ShowMessage("'Color Setting'-No." + std::to_string(read + 1) + " read error.");
        return FailToDefault(table);
    }
    if (count <= 0) return count;
    table.Count = count;
    table.Colors = colors;
    return count;
}

int SaveColorSetting(const std::string& fileName, const GradationTable& table) {
    std::string text;
    char line[64];
    std::snprintf(line, sizeof line, "ColorCount: %d\n", table.Count);
    text += line;
    for (int i = 0; i < GradationMaxColors; ++i) {
        std::snprintf(line, sizeof line, "Color%02d: %d\n", i + 1,
                      static_cast<int>(table.Colors[static_cast<std::size_t>(i)]));
        text += line;
    }
    switch (ReplaceFileContents(fileName, text)) {
        case WriteResult::Written:
            return 1;
        case WriteResult::OpenFailed:
            ShowMessage("<SaveColorSetting> File open error.\n -> " + fileName);
            return -1;
        case WriteResult::WriteFailed:
            break;
    }
    ShowMessage("<SaveColorSetting> File write error.\n -> " + fileName);
    return -1;
}
