#include "data/XyzText.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>

#include "core/Message.h"
#include "core/TextFile.h"

namespace {

constexpr std::size_t kTokenCapacity = 63;

bool IsNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'e' || c == 'E';
}

// The leading integer of the token, as a C reader takes it: "12.5" is 12,
// "1e2" is 1, a token that does not begin with an integer is 0, and values
// beyond the int range saturate.
int TokenToInt(std::string_view token) {
    int value = 0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec == std::errc::result_out_of_range) return token.front() == '-' ? INT_MIN : INT_MAX;
    return result.ec == std::errc() ? value : 0;
}

// Decimal text to double, independent of the process locale, as a C reader
// takes it: reading stops where the number stops ("1.2.3" is 1.2, "1e" is 1)
// and a token that does not begin with a number is 0.
double TokenToDouble(std::string_view token) {
    double value = 0.0;
    const auto result =
        std::from_chars(token.data(), token.data() + token.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large becomes an infinity, too small a zero, each with the sign.
        const std::size_t e = token.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < token.size() && token[e + 1] == '-';
        const double magnitude = tiny ? 0.0 : HUGE_VAL;
        return token.front() == '-' ? -magnitude : magnitude;
    }
    return result.ec == std::errc() ? value : 0.0;
}

// The refused character as the user typed it: the whole UTF-8 sequence that
// starts at pos when it is complete, so the message names e.g. a typographic
// minus rather than a stray byte; otherwise the single byte.
std::string_view CharacterAt(const std::string& text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    if (pos + length > text.size()) length = 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0u) != 0x80u) length = 1;
    }
    return std::string_view(text).substr(pos, length);
}

void ShowDataError(const std::string& text, std::size_t pos, int line, const MessageSink& messages) {
    std::string message = "Data error. -> '";
    // A NUL byte would end the text wherever it is shown as a C string.
    if (text[pos] != '\0') message += CharacterAt(text, pos);
    message += "' Line: " + std::to_string(line);
    messages.Show(message);
}

}  // namespace

int ConvertXYZToThkData(const std::string& text, ThkData& record, const MessageSink& messages) {
    ClearThkData(&record, 1);
    double min = RunningMinStart;
    double max = StatInitMax;
    int line = 1;
    bool header = true;
    int field = 0;
    // Tokens are runs of number characters, so a token is always a slice of
    // the text that starts after the last TAB or line break.
    // A byte-order mark at the start of the text (an editor's, or a file's
    // copied whole) is not part of the first field.
    const std::size_t begin =
        std::string_view(text).starts_with(Utf8ByteOrderMark) ? Utf8ByteOrderMark.size() : 0;
    std::size_t tokenStart = begin;
    std::size_t tokenLength = 0;
    std::int32_t stored = 0;
    int size = 0;
    float coordinate[2] = {0.0f, 0.0f};
    // A line before the Size line that holds a number but no TAB: a Size
    // written without its TAB, as long as no line with a TAB follows it that
    // reads as a point.
    int lonelyNumberLine = 0;
    std::string lonelyNumber;

    // The end of a line: the header's end, a point, or a line to skip. 1, or
    // -1 after the message that stops the conversion.
    const auto endLine = [&](std::string_view token) {
        if (field > 0) {
            if (header) {
                // "100" then "1<TAB>2<TAB>3": the Size line lost its TAB, and
                // reading the point as the Size would lose the point.
                if (field == 2 && lonelyNumberLine > 0 && !token.empty()) {
                    messages.Show("The Size line must end with a TAB. -> '" + lonelyNumber +
                                  "' Line: " + std::to_string(lonelyNumberLine));
                    return -1;
                }
                header = false;
            } else if (field == 2) {
                const double z = TokenToDouble(token);
                // Grid and Fill round to float: a Z beyond its range (or
                // beyond a double's) would spread infinities.
                if (!std::isfinite(z) || std::fabs(z) > static_cast<double>(FLT_MAX)) {
                    messages.Show("Incorrect Z data.(" + std::string(token) +
                                  ") Line: " + std::to_string(line));
                    return -1;
                }
                record.Value[static_cast<int>(coordinate[0])][static_cast<int>(coordinate[1])] = z;
                ++stored;
                if (min > z) min = z;
                if (z > max) max = z;
            } else {
                // The point is skipped and the conversion goes on.
                messages.Show("Data count error.(Must be 'X','Y','Z') Line: " + std::to_string(line));
            }
        } else if (header && !token.empty() && lonelyNumberLine == 0) {
            lonelyNumberLine = line;
            lonelyNumber = std::string(token);
        }
        ++line;
        field = 0;
        return 1;
    };

    for (std::size_t i = begin; i < text.size(); ++i) {
        const char c = text[i];
        const std::string_view token(text.data() + tokenStart, tokenLength);
        if (c == '\t') {
            if (header) {
                if (field == 0) {
                    size = TokenToInt(token);
                    if (size < 1 || size > ThkMaxSize) {
                        messages.Show("Size data error.(with in 1<->" + std::to_string(ThkMaxSize) + ") -> " +
                                      std::string(token));
                        return -1;
                    }
                    record.Size = size;
                }
            } else if (field < 2) {
                const float v = static_cast<float>(TokenToDouble(token));
                if (v < 0.0f || v > static_cast<float>(size)) {
                    const std::string axis = field == 0 ? "X" : "Y";
                    messages.Show("Incorrect " + axis + " data.(" + axis + "<0 or " + axis + ">" +
                                  std::to_string(size) + ") Line: " + std::to_string(line));
                    return -1;
                }
                coordinate[field] = v;
            } else {
                messages.Show("Data count error. Line:" + std::to_string(line));
                return -1;
            }
            ++field;
            tokenStart = i + 1;
            tokenLength = 0;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (endLine(token) != 1) return -1;
            tokenStart = i + 1;
            tokenLength = 0;
        } else if (IsNumberCharacter(c)) {
            // Refused at the first character that does not fit the buffer,
            // never cut short into another number.
            if (tokenLength == kTokenCapacity) {
                ShowDataError(text, i, line, messages);
                return -1;
            }
            ++tokenLength;
        } else {
            ShowDataError(text, i, line, messages);
            return -1;
        }
    }

    // The last line is data whether or not a line break ends it.
    if (tokenStart < text.size() || field > 0) {
        if (endLine(std::string_view(text.data() + tokenStart, tokenLength)) != 1) return -1;
    }
    if (header) {
        messages.Show("Data error.( Too few data count. )");
        return -1;
    }
    record.Valid = true;
    record.Unit.clear();  // the pasted text names no unit
    record.PitchX = 1;
    record.PitchY = 1;
    record.Count = stored;
    StoreStatistics(record, min, max);
    CalcTextRatios(record);
    return stored;
}

int PasteXyzText(const std::string& text, ThkData& record, const MessageSink& messages) {
    if (text.empty()) {
        messages.Show("Data nothing on Clipboard.");
        return -1;
    }
    const int stored = ConvertXYZToThkData(text, record, messages);
    if (stored == 0) messages.Show("Data error.( Too few data count. )");
    return stored > 0 ? 1 : -1;
}

int ReadXyzFile(const std::string& path, ThkData& record, const MessageSink& messages) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        messages.Show("File open error. -> " + path);
        return -1;
    }
    text.resize(std::strlen(text.c_str()));
    return PasteXyzText(text, record, messages);
}
