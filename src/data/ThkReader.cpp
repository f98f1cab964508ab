#include "data/ThkReader.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/Message.h"

namespace {

constexpr int kTokenCapacity = 63;
constexpr int kEnd = -1;

// Byte source over a C stream with its own buffer and one character of
// push-back; carriage returns are delivered as they are (the scanner decides).
class ByteStream {
public:
    explicit ByteStream(std::FILE* file) : file_(file) {}

    int Get() {
        if (pushed_ != kNone) {
            const int c = pushed_;
            pushed_ = kNone;
            return c;
        }
        if (pos_ == len_) {
            len_ = std::fread(buffer_, 1, sizeof buffer_, file_);
            pos_ = 0;
            if (len_ == 0) return kEnd;
        }
        return static_cast<unsigned char>(buffer_[pos_++]);
    }

    void Unget(int c) { pushed_ = c; }

private:
    static constexpr int kNone = -2;
    std::FILE* file_;
    char buffer_[1 << 16];
    size_t pos_ = 0;
    size_t len_ = 0;
    int pushed_ = kNone;
};

bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal integer after optional blanks and line breaks, with an optional
// sign. A line that does not begin with an integer reads as 0, which the
// range checks then report. Values beyond the int range saturate.
int ReadInteger(ByteStream& in) {
    int c = in.Get();
    while (IsBlank(c))
        c = in.Get();
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = in.Get();
    }
    long long value = 0;
    bool any = false;
    while (c >= '0' && c <= '9') {
        any = true;
        if (value <= INT_MAX) value = value * 10 + (c - '0');
        c = in.Get();
    }
    in.Unget(c);
    if (!any) return 0;
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Text of the integer part of a coordinate, truncated toward zero.
std::string IntegerPartText(float v) {
    if (std::fabs(v) < 2147483648.0f) return std::to_string(static_cast<int>(v));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", std::trunc(static_cast<double>(v)));
    return buf;
}

// Decimal text to double, independent of the process locale. An empty or
// unreadable token is 0; reading stops at the first character that does not
// continue the number ("1.2.3" is 1.2, "1e" is 1).
double TokenToDouble(const char* begin, const char* end) {
    if (begin != end && *begin == '+') {
        ++begin;
        // Only one sign may lead: "+-5" reads as 0, as a C reader gives.
        if (begin != end && (*begin == '-' || *begin == '+')) return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Keep the sign and magnitude class a C reader would give.
        const bool negative = begin != end && *begin == '-';
        bool tiny = false;
        for (const char* p = begin; p != end; ++p) {
            if (*p == 'e' || *p == 'E') {
                tiny = p + 1 != end && p[1] == '-';
                break;
            }
        }
        value = tiny ? 0.0 : HUGE_VAL;
        return negative ? -value : value;
    }
    if (result.ec != std::errc()) return 0.0;
    return value;
}

std::string IncorrectCharacterMessage(int c, int line) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(c) & 0xFFu);
    std::string text = "Incorrect data. -> '";
    text += static_cast<char>(c);
    text += "(";
    text += hex;
    text += ")' Line: " + std::to_string(line);
    return text;
}

bool AcceptedInField(int c, int field) {
    if ((c >= '0' && c <= '9') || c == '.') return true;
    return field == 2 && (c == '+' || c == '-' || c == 'E' || c == 'e');
}

// A coordinate field: a number from 0 to 500 whose integer part is a multiple
// of the pitch. Shows the message and returns false otherwise.
bool ReadCoordinate(const char* token, int length, char axis, int pitch, int line, int& coordinate) {
    const float value = static_cast<float>(TokenToDouble(token, token + length));
    const std::string name(1, axis);
    if (value < 0.0f || value > static_cast<float>(ThkMaxSize)) {
        // The X message says "Y>" too: the text is the one users know.
        ShowMessage("Incorrect " + name + " data.(" + name + "<0 or Y>" + IntegerPartText(value) +
                    ") Line: " + std::to_string(line));
        return false;
    }
    coordinate = static_cast<int>(value);
    if (coordinate % pitch != 0) {
        ShowMessage(name + " coord is not multiple of " + name + "-Pitch. -> " + std::to_string(coordinate) +
                    " " + name + "-Pitch= " + std::to_string(pitch));
        return false;
    }
    return true;
}

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

}  // namespace

int ReadThkFile(const std::string& fileName, ThkData& record) {
    std::error_code ec;
    std::FILE* file = nullptr;
    if (!std::filesystem::is_directory(fileName, ec)) file = std::fopen(fileName.c_str(), "rb");
    if (!file) {
        ShowMessage("File open error. -> " + fileName);
        return -1;
    }
    const FileCloser closer{file};
    ByteStream in(file);

    const int size = ReadInteger(in);
    if (size < 1 || size > ThkMaxSize) {
        ShowMessage("Size data error.(<=0 or >" + std::to_string(ThkMaxSize) + ") -> " +
                    std::to_string(size));
        return -1;
    }
    record.Size = size;

    const int pitchX = ReadInteger(in);
    int pitchY = 0;
    const int comma = in.Get();
    if (comma == ',') {
        pitchY = ReadInteger(in);
    } else {
        in.Unget(comma);
    }
    if (pitchX < 1 || pitchY < 1 || pitchX > size || pitchY > size) {
        ShowMessage("X/Y Pitch data error. X:" + std::to_string(pitchX) + " Y:" + std::to_string(pitchY));
        return -1;
    }
    record.PitchX = pitchX;
    record.PitchY = pitchY;

    double min = RunningMinStart;  // at least one value is stored before it is used
    double max = StatInitMax;
    char token[kTokenCapacity + 1];
    int length = 0;
    int field = 0;
    int line = 2;
    std::int32_t stored = 0;
    int ix = 0;
    int iy = 0;

    for (;;) {
        int c = in.Get();
        if (c == '\r') {
            // Only a carriage return directly before a line feed belongs to the
            // line end; a lone one is an incorrect character.
            const int next = in.Get();
            if (next == '\n') {
                c = '\n';
            } else {
                in.Unget(next);
            }
        }
        if (c == kEnd) break;
        if (c == ',') {
            token[length] = '\0';
            if (field == 0 || field == 1) {
                const bool isX = field == 0;
                int coordinate = 0;
                if (!ReadCoordinate(token, length, isX ? 'X' : 'Y', isX ? pitchX : pitchY, line, coordinate))
                    return -1;
                (isX ? ix : iy) = coordinate;
            } else if (field == 2) {
                const double z = TokenToDouble(token, token + length);
                record.Value[ix][iy] = z;
                ++stored;
                if (min > z) min = z;
                if (z > max) max = z;
            } else {
                ShowMessage("Data count error. Line: " + std::to_string(line));
                return -1;
            }
            ++field;
            length = 0;
        } else if (c == '\n') {
            if (field > 0) ++line;
            length = 0;
            field = 0;
        } else if (AcceptedInField(c, field)) {
            // A token that does not fit the buffer is refused at the first
            // character that does not fit, never truncated silently.
            if (length == kTokenCapacity) {
                ShowMessage(IncorrectCharacterMessage(c, line));
                return -1;
            }
            token[length++] = static_cast<char>(c);
        } else {
            ShowMessage(IncorrectCharacterMessage(c, line));
            return -1;
        }
    }

    if (stored == 0) {
        ShowMessage("Data count is zero.");
        return -1;
    }
    record.Valid = true;
    record.Count = stored;
    StoreStatistics(record, min, max);
    CalcTextRatios(record);
    return 1;
}
