#include "data/ThkReader.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "core/Message.h"

namespace {

constexpr int kTokenCapacity = 63;
constexpr int kEnd = -1;

// Bytes from memory or from a C stream read in blocks, with one character of
// push-back; carriage returns are delivered as they are (the scanner decides).
// A read error ends the bytes like the end of the file and is remembered, so
// a cut file is never taken for a complete one.
class ByteSource {
public:
    explicit ByteSource(std::string_view bytes) : pos_(bytes.data()), end_(bytes.data() + bytes.size()) {}
    explicit ByteSource(std::FILE* file) : file_(file), buffer_(std::make_unique<char[]>(kBlock)) {}

    int Get() {
        if (pushed_ != kNone) {
            const int c = pushed_;
            pushed_ = kNone;
            return c;
        }
        if (pos_ == end_ && !Refill()) return kEnd;
        return static_cast<unsigned char>(*pos_++);
    }

    void Unget(int c) { pushed_ = c; }

    bool Failed() const { return failed_; }

private:
    bool Refill() {
        if (!file_) return false;
        const std::size_t n = std::fread(buffer_.get(), 1, kBlock, file_);
        if (n == 0) {
            failed_ = std::ferror(file_) != 0;
            file_ = nullptr;
            return false;
        }
        pos_ = buffer_.get();
        end_ = pos_ + n;
        return true;
    }

    static constexpr int kNone = -2;
    static constexpr std::size_t kBlock = 1 << 16;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    int pushed_ = kNone;
    std::unique_ptr<char[]> buffer_;
};

// Shows a message of the reader, or the read error in its place when the
// bytes were cut short by one: what the reader saw is then not the file.
class Reporter {
public:
    Reporter(const ByteSource& in, const std::string* fileName) : in_(in), fileName_(fileName) {}

    int Fail(const std::string& text) const {
        ShowMessage(in_.Failed() && fileName_ ? "File read error. -> " + *fileName_ : text);
        return -1;
    }

    bool Failed() const { return in_.Failed(); }

private:
    const ByteSource& in_;
    const std::string* fileName_;
};

bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal integer after optional blanks and line breaks, with an optional
// sign. A line that does not begin with an integer reads as 0, which the
// range checks then report. Values beyond the int range saturate.
int ReadInteger(ByteSource& in) {
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
    // A NUL byte would end the text wherever it is shown as a C string; the
    // code beside it names it.
    if (c != 0) text += static_cast<char>(c);
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
bool ReadCoordinate(const Reporter& report, const char* token, int length, char axis, int pitch, int line,
                    int& coordinate) {
    const float value = static_cast<float>(TokenToDouble(token, token + length));
    const std::string name(1, axis);
    if (value < 0.0f || value > static_cast<float>(ThkMaxSize)) {
        // The X message says "Y>" too: the text is the one users know.
        report.Fail("Incorrect " + name + " data.(" + name + "<0 or Y>" + IntegerPartText(value) +
                    ") Line: " + std::to_string(line));
        return false;
    }
    coordinate = static_cast<int>(value);
    if (coordinate % pitch != 0) {
        report.Fail(name + " coord is not multiple of " + name + "-Pitch. -> " + std::to_string(coordinate) +
                    " " + name + "-Pitch= " + std::to_string(pitch));
        return false;
    }
    return true;
}

// A thickness every stage can hold: finite, and within the float range that
// Grid and Fill round to.
bool IsStorableThickness(double z) {
    return std::isfinite(z) && std::fabs(z) <= static_cast<double>(FLT_MAX);
}

int ReadThk(ByteSource& in, const std::string* fileName, ThkData& record) {
    const Reporter report(in, fileName);
    const int size = ReadInteger(in);
    if (size < 1 || size > ThkMaxSize)
        return report.Fail("Size data error.(<=0 or >" + std::to_string(ThkMaxSize) + ") -> " +
                           std::to_string(size));
    record.Size = size;

    const int pitchX = ReadInteger(in);
    int pitchY = 0;
    const int comma = in.Get();
    if (comma == ',') {
        pitchY = ReadInteger(in);
    } else {
        in.Unget(comma);
    }
    if (pitchX < 1 || pitchY < 1 || pitchX > size || pitchY > size)
        return report.Fail("X/Y Pitch data error. X:" + std::to_string(pitchX) +
                           " Y:" + std::to_string(pitchY));
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
                if (!ReadCoordinate(report, token, length, isX ? 'X' : 'Y', isX ? pitchX : pitchY, line,
                                    coordinate))
                    return -1;
                (isX ? ix : iy) = coordinate;
            } else if (field == 2) {
                const double z = TokenToDouble(token, token + length);
                if (!IsStorableThickness(z))
                    return report.Fail("Incorrect Z data.(" +
                                       std::string(token, static_cast<std::size_t>(length)) +
                                       ") Line: " + std::to_string(line));
                record.Value[ix][iy] = z;
                ++stored;
                if (min > z) min = z;
                if (z > max) max = z;
            } else {
                return report.Fail("Data count error. Line: " + std::to_string(line));
            }
            ++field;
            length = 0;
        } else if (c == '\n') {
            if (field > 0) {
                // More lines than the counters hold is no measurement (a
                // Size-500 area has 251001 cells); refused before they wrap.
                if (line == INT_MAX) return report.Fail("Data count error. Line: " + std::to_string(line));
                ++line;
            }
            length = 0;
            field = 0;
        } else if (AcceptedInField(c, field)) {
            // A token that does not fit the buffer is refused at the first
            // character that does not fit, never truncated silently.
            if (length == kTokenCapacity) return report.Fail(IncorrectCharacterMessage(c, line));
            token[length++] = static_cast<char>(c);
        } else {
            return report.Fail(IncorrectCharacterMessage(c, line));
        }
    }

    if (stored == 0) return report.Fail("Data count is zero.");
    if (report.Failed()) return report.Fail(std::string());
    record.Valid = true;
    record.Count = stored;
    StoreStatistics(record, min, max);
    CalcTextRatios(record);
    return 1;
}

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

}  // namespace

int ReadThkText(std::string_view bytes, ThkData& record) {
    ByteSource in(bytes);
    return ReadThk(in, nullptr, record);
}

int ReadThkFile(const std::string& fileName, ThkData& record) {
    std::error_code ec;
    std::FILE* file = nullptr;
    if (!std::filesystem::is_directory(fileName, ec)) file = std::fopen(fileName.c_str(), "rb");
    if (!file) {
        ShowMessage("File open error. -> " + fileName);
        return -1;
    }
    const FileCloser closer{file};
    ByteSource in(file);
    return ReadThk(in, &fileName, record);
}
