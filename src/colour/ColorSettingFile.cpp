#include "colour/ColorSettingFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

#include "core/Message.h"

namespace {

// Longest key word kept by the reader (a 128-character buffer with its end mark).
constexpr std::size_t MaxKeyLength = 127;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads "%s %d" pairs from the text of the file: a whitespace-delimited word,
// then a decimal integer with optional sign, blanks and line breaks allowed
// before each.
class PairReader {
public:
    explicit PairReader(const std::string& text) : text_(text) {}

    // False when no complete pair can be read: end of text, a key word longer
    // than MaxKeyLength, or no integer (or one outside the int range) after it.
    bool Next(long& value) {
        SkipBlanks();
        const std::size_t keyStart = pos_;
        while (pos_ < text_.size() && !IsBlank(text_[pos_]))
            ++pos_;
        const std::size_t keyLength = pos_ - keyStart;
        if (keyLength == 0 || keyLength > MaxKeyLength) return false;
        SkipBlanks();
        std::size_t p = pos_;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) ++p;
        const std::size_t digitsStart = p;
        while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9')
            ++p;
        if (p == digitsStart) return false;
        const std::string number = text_.substr(pos_, p - pos_);
        errno = 0;
        const long v = std::strtol(number.c_str(), nullptr, 10);
        if (errno == ERANGE || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            return false;
        pos_ = p;
        value = v;
        return true;
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

int FailToDefault(GradationTable& table) {
    ShowMessage("Set default color setting.");
    table = ColormapPreset();
    return -1;
}

}  // namespace

int LoadColorSetting(const std::string& fileName, GradationTable& table) {
    std::string text;
    {
        std::ifstream in(fileName, std::ios::binary);
        if (!in) {
            ShowMessage("<LoadColorSetting> File open error.\n -> " + fileName);
            return -1;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    PairReader reader(text);
    long value = 0;
    if (!reader.Next(value) || value > GradationMaxColors) {
        ShowMessage("'Color Count' read error.");
        return FailToDefault(table);
    }
    const int count = static_cast<int>(value);

    std::array<Color, GradationMaxColors> colors = table.Colors;
    int read = 0;
    while (read < GradationMaxColors && reader.Next(value)) {
        colors[static_cast<std::size_t>(read)] = static_cast<Color>(static_cast<int>(value));
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
    const std::filesystem::path target(fileName);
    std::filesystem::path temporary = target;
    temporary += ".tmp";

    std::string text;
    char line[64];
    std::snprintf(line, sizeof line, "ColorCount: %d\n", table.Count);
    text += line;
    for (int i = 0; i < GradationMaxColors; ++i) {
        std::snprintf(line, sizeof line, "Color%02d: %d\n", i + 1,
                      static_cast<int>(table.Colors[static_cast<std::size_t>(i)]));
        text += line;
    }

    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
        ShowMessage("<SaveColorSetting> File open error.\n -> " + fileName);
        return -1;
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code error;
    if (!out) {
        std::filesystem::remove(temporary, error);
        ShowMessage("<SaveColorSetting> File write error.\n -> " + fileName);
        return -1;
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        ShowMessage("<SaveColorSetting> File write error.\n -> " + fileName);
        return -1;
    }
    return 1;
}
