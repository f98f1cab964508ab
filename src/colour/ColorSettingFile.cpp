#include "colour/ColorSettingFile.h"

#include <cstdio>

#include "core/Message.h"
#include "core/TextFile.h"
#include "core/WholeFile.h"

namespace {

// Longest key word kept by the reader (a 128-character buffer with its end mark).
constexpr std::size_t MaxKeyLength = 127;

int FailToDefault(GradationTable& table, const MessageSink& messages) {
    messages.Show("Set default color setting.");
    table = ColormapPreset();
    return -1;
}

}  // namespace

int LoadColorSetting(const std::string& fileName, GradationTable& table, const MessageSink& messages) {
    std::string text;
    if (!ReadTextFile(fileName, text)) {
        messages.Show("<LoadColorSetting> File open error.\n -> " + fileName);
        return -1;
    }
    return ReadColorSetting(text, table, messages);
}

int ReadColorSetting(const std::string& text, GradationTable& table, const MessageSink& messages) {
    WordNumberReader reader(text, MaxKeyLength);
    int value = 0;
    if (!reader.NextInt(value) || value > GradationMaxColors) {
        messages.Show("'Color Count' read error.");
        return FailToDefault(table, messages);
    }
    const int count = value;

    std::array<Color, GradationMaxColors> colors = table.Colors;
    int read = 0;
    while (read < GradationMaxColors && reader.NextInt(value)) {
        colors[static_cast<std::size_t>(read)] = static_cast<Color>(value);
        ++read;
    }
    if (read < count) {
        messages.Show("'Color Setting'-No." + std::to_string(read + 1) + " read error.");
        return FailToDefault(table, messages);
    }
    if (count <= 0) return count;
    table.Count = count;
    table.Colors = colors;
    return count;
}

int SaveColorSetting(const std::string& fileName, const GradationTable& table, const MessageSink& messages) {
    std::string text;
    char line[64];
    std::snprintf(line, sizeof line, "ColorCount: %d\n", table.Count);
    text += line;
    for (int i = 0; i < GradationMaxColors; ++i) {
        std::snprintf(line, sizeof line, "Color%02d: %d\n", i + 1,
                      static_cast<int>(table.Colors[static_cast<std::size_t>(i)]));
        text += line;
    }
    switch (WriteFileWhole(fileName, text).Result) {
        case WriteResult::Written:
            return 1;
        case WriteResult::OpenFailed:
            messages.Show("<SaveColorSetting> File open error.\n -> " + fileName);
            return -1;
        case WriteResult::WriteFailed:
            break;
    }
    messages.Show("<SaveColorSetting> File write error.\n -> " + fileName);
    return -1;
}
