#include "data/ThkReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "core/Message.h"
#include "core/TextFile.h"

namespace {

constexpr int kTokenCapacity = 63;
constexpr int kEnd = -1;

// Bytes from memory or from a C stream read in blocks, with one character of
// push-back; carriage returns are delivered as they are (the scanner decides).
// A read error ends the bytes like the end of the file and is remembered, so
// a cut file is never taken for a complete one. Memory is delivered in blocks
// of a given length too (ReadThkText hands over all of it at once), so tests
// can cut lines where a file's block would end.
class ByteSource {
public:
    ByteSource(std::string_view bytes, std::size_t block) : rest_(bytes), memoryBlock_(block) {}
    explicit ByteSource(std::FILE* file) : file_(file), buffer_(std::make_unique<char[]>(kFileBlock)) {}

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

    // The unread bytes of the current block, the next one once it is used up
    // (as the next Get would read it); empty at the end of the bytes or while
    // a character is pushed back. Consume(p) marks the bytes before p as read.
    std::string_view Pending() {
        if (pushed_ != kNone) return {};
        if (pos_ == end_ && !Refill()) return {};
        return {pos_, static_cast<std::size_t>(end_ - pos_)};
    }

    void Consume(const char* upTo) { pos_ = upTo; }

    // Before the first read only: passes over prefix when the bytes start
    // with it. A file's first block holds the whole prefix unless the file is
    // shorter; bytes in memory are looked at whole.
    void SkipLeading(std::string_view prefix) {
        if (!file_) {
            if (pos_ == end_ && rest_.starts_with(prefix)) rest_.remove_prefix(prefix.size());
            return;
        }
        const std::string_view head = Pending();
        if (head.starts_with(prefix)) Consume(head.data() + prefix.size());
    }

private:
    bool Refill() {
        if (!file_) {
            if (rest_.empty()) return false;
            const std::size_t n = std::min(rest_.size(), memoryBlock_);
            pos_ = rest_.data();
            end_ = pos_ + n;
            rest_.remove_prefix(n);
            return true;
        }
        const std::size_t n = std::fread(buffer_.get(), 1, kFileBlock, file_);
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
    static constexpr std::size_t kFileBlock = 1 << 16;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
    std::string_view rest_;  // memory not yet delivered
    std::size_t memoryBlock_ = 0;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    int pushed_ = kNone;
    std::unique_ptr<char[]> buffer_;
};

// Shows a message of the reader, or the read error in its place when the
// bytes were cut short by one: what the reader saw is then not the file.
class Reporter {
public:
    Reporter(const ByteSource& in, const std::string* fileName, const MessageSink& messages)
        : in_(in), fileName_(fileName), messages_(messages) {}

    int Fail(const std::string& text) const {
        messages_.Show(in_.Failed() && fileName_ ? "File read error. -> " + *fileName_ : text);
        return -1;
    }

    bool Failed() const { return in_.Failed(); }

private:
    const ByteSource& in_;
    const std::string* fileName_;
    const MessageSink& messages_;
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
    if (value < 0.0f || value > static_cast<float>(ThkMaxSize)) {
        const std::string name(1, axis);
        // The X message says "Y>" too: the text is the one users know.
        report.Fail("Incorrect " + name + " data.(" + name + "<0 or Y>" + IntegerPartText(value) +
                    ") Line: " + std::to_string(line));
        return false;
    }
    coordinate = static_cast<int>(value);
    if (coordinate % pitch != 0) {
        const std::string name(1, axis);
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

// The running results of the data lines, carried from one line to the next.
struct DataTotals {
    int line = 2;  // number of the line being read, as messages name it
    std::int32_t stored = 0;
    double min = RunningMinStart;  // at least one value is stored before it is used
    double max = StatInitMax;
    // Lines whose Z field is empty ("20,30,,"): a measurement that is
    // missing, not a film of zero thickness, so the cell is left as it is.
    int missing = 0;
    int firstMissing = 0;
};

// The one message after a load that left cells empty for lack of a Z value.
std::string MissingZMessage(const DataTotals& totals) {
    return "Z data missing in " + std::to_string(totals.missing) +
           (totals.missing == 1 ? " line" : " lines") +
           " (cells left empty). First Line: " + std::to_string(totals.firstMissing);
}

// --- Plain lines ---------------------------------------------------------------------------------
//
// Nearly every data line has the shape "X,Y,Z," + "\n" (or "\r\n") with plain
// decimal numbers. Such a line is read here in one pass over the block, without
// the character scanner, but only where the scanner is certain to accept it
// with the same effects; any other line, and any line not whole within the
// block, is left to the scanner from its start, so what a file yields and
// every message (which one, and its line number) stay the scanner's.

// Powers of ten that a double holds exactly: 10^k = 2^k * 5^k, and 5^22 < 2^53.
constexpr std::array<double, 23> kExactPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Up to 19 digits an unsigned 64-bit integer holds (10^19 - 1 < 2^64).
constexpr int kPlainDigits = 19;
static_assert(kPlainDigits < static_cast<int>(kExactPowersOfTen.size()));
static_assert(kPlainDigits + 2 <= kTokenCapacity, "a plain token always fits the scanner's token");

// One division rounds once only where doubles are evaluated in double
// precision (not in a wider x87 register); elsewhere every line takes the scanner.
constexpr bool kPlainLinesExact = FLT_EVAL_METHOD == 0;

// Joins runs of digits: w * 10^n + run for runs of n <= 8 digits.
constexpr std::array<std::uint64_t, 9> kIntegerPowersOfTen = {1,      10,      100,      1000,     10000,
                                                              100000, 1000000, 10000000, 100000000};

// The run of up to eight digits that starts at q, as an integer; n receives
// its length. Reads the 8 bytes at q, which must be readable, as one
// little-endian word: the first byte is the first digit.
[[gnu::always_inline]] inline std::uint64_t EightDigits(const char* q, int& n) {
    std::uint64_t word = 0;
    std::memcpy(&word, q, sizeof word);
    // Each byte minus '0', and a byte's top bit set where that is not 0..9.
    // A byte below '0' borrows from the bytes after it, and the test's sum
    // carries out of a byte of 0x8A or more into them, but only the bytes up
    // to the first non-digit are used, and those see neither.
    const std::uint64_t values = word - 0x3030303030303030u;
    const std::uint64_t nonDigits = ((values + 0x7676767676767676u) | values) & 0x8080808080808080u;
    n = nonDigits == 0 ? 8 : std::countr_zero(nonDigits) / 8;
    if (n == 0) return 0;
    // The n digits to the top bytes: the bytes below read as leading zeros.
    std::uint64_t digits = values << (8 * (8 - n));
    // Pairs, then fours, then all eight, each step exact in 64 bits.
    digits = digits * 10 + (digits >> 8);
    digits = ((digits & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
              ((digits >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >>
             32;
    return digits & 0xFFFFFFFFu;
}

// Appends the run of digits at q to w (w * 10^n + run, modulo 2^64) and
// returns its length n, with q past the run; stops counting soon after
// kPlainDigits, which the caller refuses anyway.
[[gnu::always_inline]] inline int AppendDigits(const char*& q, const char* end, std::uint64_t& w) {
    int count = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (end - q >= 8 && count <= kPlainDigits) {
            int n = 0;
            const std::uint64_t run = EightDigits(q, n);
            w = w * kIntegerPowersOfTen[static_cast<std::size_t>(n)] + run;
            q += n;
            count += n;
            if (n < 8) return count;
        }
    }
    for (; q != end && count <= kPlainDigits; ++q) {
        const unsigned d = static_cast<unsigned>(static_cast<unsigned char>(*q)) - '0';
        if (d > 9) break;
        w = w * 10 + d;
        ++count;
    }
    return count;
}

// A plain decimal token: the integer its digits form without the point, how
// many of them follow the point, and its sign.
struct PlainDecimal {
    std::uint64_t digits = 0;
    int decimals = 0;
    bool negative = false;

    // The token's value as TokenToDouble reads it (see ScanPlainDecimal); a
    // division by 10^0 = 1 would change nothing, so it is left out.
    double Value() const {
        double magnitude = static_cast<double>(digits);
        if (decimals != 0) magnitude /= kExactPowersOfTen[static_cast<std::size_t>(decimals)];
        return negative ? -magnitude : magnitude;
    }
};

// A plain decimal up to the comma that ends its field: an optional sign (only
// where allowSign is true), then digits with at most one "." among them ("1.",
// ".5" and "007" included), at least one digit, at most kPlainDigits, and an
// integer of the digits w <= 2^53. On success p is past the comma.
//
// Its Value() equals the scanner's TokenToDouble of the same token: with
// k <= 19 digits after the point, the token's value is w / 10^k. Both w and
// 10^k (k <= 22) are exact doubles, so the one IEEE division gives the double
// nearest to w / 10^k (ties to even), which is what std::from_chars returns
// for the token; a "-" negates that exactly (-0 included, as "-0.0" reads),
// and TokenToDouble drops a single leading "+". Tokens with more digits,
// w > 2^53, exponents or no digit return false and are left to the scanner.
[[gnu::always_inline]] inline bool ScanPlainDecimal(const char*& p, const char* end, bool allowSign,
                                                    PlainDecimal& number) {
    const char* q = p;
    number.negative = false;
    if (allowSign && q != end && (*q == '+' || *q == '-')) {
        number.negative = *q == '-';
        ++q;
    }
    std::uint64_t w = 0;
    int digits = AppendDigits(q, end, w);
    int decimals = 0;
    if (q != end && *q == '.') {
        ++q;
        decimals = AppendDigits(q, end, w);
        digits += decimals;
    }
    if (q == end || *q != ',' || digits == 0 || digits > kPlainDigits || w > (std::uint64_t{1} << 53))
        return false;
    number.digits = w;
    number.decimals = decimals;
    p = q + 1;
    return true;
}

// A plain coordinate that ReadCoordinate would accept: same float rounding,
// range and pitch tests.
[[gnu::always_inline]] inline bool ReadPlainCoordinate(const char*& p, const char* end, int pitch,
                                                       int& coordinate) {
    PlainDecimal number;
    if (!ScanPlainDecimal(p, end, false, number)) return false;
    if (number.decimals == 0) {
        // An integer up to 500 is its own double and float; one above 500
        // rounds to a float above 500, which ReadCoordinate refuses.
        if (number.digits > static_cast<std::uint64_t>(ThkMaxSize)) return false;
        coordinate = static_cast<int>(number.digits);
    } else {
        const float value = static_cast<float>(number.Value());
        if (value < 0.0f || value > static_cast<float>(ThkMaxSize)) return false;
        coordinate = static_cast<int>(value);
    }
    return pitch == 1 || coordinate % pitch == 0;
}

// Reads the blank and plain lines from p, the start of a line, within the
// block that ends at end, with the effects the scanner would have; returns
// the start of the first line left to the scanner (end when none is).
const char* ReadPlainLines(const char* p, const char* end, int pitchX, int pitchY, ThkData& record,
                           DataTotals& totals) {
    // Locals, so the stores into the record cannot be taken to change them.
    int line = totals.line;
    std::int32_t stored = totals.stored;
    double min = totals.min;
    double max = totals.max;
    while (p != end) {
        const char* q = p;
        // A blank line changes nothing: the scanner counts lines with a comma.
        if (*q == '\n') {
            p = q + 1;
            continue;
        }
        if (*q == '\r' && end - q >= 2 && q[1] == '\n') {
            p = q + 2;
            continue;
        }
        int ix = 0;
        int iy = 0;
        PlainDecimal thickness;
        if (!ReadPlainCoordinate(q, end, pitchX, ix) || !ReadPlainCoordinate(q, end, pitchY, iy) ||
            !ScanPlainDecimal(q, end, true, thickness))
            break;
        const double z = thickness.Value();
        if (!IsStorableThickness(z)) break;
        // Only a carriage return directly before the line feed ends the line.
        if (q != end && *q == '\r') ++q;
        if (q == end || *q != '\n' || line == INT_MAX) break;
        record.Value[ix][iy] = z;
        ++stored;
        if (min > z) min = z;
        if (z > max) max = z;
        ++line;
        p = q + 1;
    }
    totals.line = line;
    totals.stored = stored;
    totals.min = min;
    totals.max = max;
    return p;
}

// The reader. With plainLines, the lines of the plain shape are read by
// ReadPlainLines and every other line by the character scanner below; without
// it the scanner reads every line, which gives the same results.
int ReadThk(ByteSource& in, const std::string* fileName, ThkData& record, bool plainLines,
            const MessageSink& messages) {
    const Reporter report(in, fileName, messages);
    // Some editors start a UTF-8 file with a byte-order mark; it is not part
    // of the Size.
    in.SkipLeading(Utf8ByteOrderMark);
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

    DataTotals totals;
    char token[kTokenCapacity + 1];
    int length = 0;
    int field = 0;
    int ix = 0;
    int iy = 0;
    plainLines = plainLines && kPlainLinesExact;

    for (;;) {
        if (plainLines && field == 0 && length == 0) {
            // At the start of a line (ix and iy are set again before any use).
            const std::string_view block = in.Pending();
            if (!block.empty())
                in.Consume(ReadPlainLines(block.data(), block.data() + block.size(), pitchX, pitchY, record,
                                          totals));
        }
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
                if (!ReadCoordinate(report, token, length, isX ? 'X' : 'Y', isX ? pitchX : pitchY,
                                    totals.line, coordinate))
                    return -1;
                (isX ? ix : iy) = coordinate;
            } else if (field == 2 && length == 0) {
                if (totals.missing++ == 0) totals.firstMissing = totals.line;
            } else if (field == 2) {
                const double z = TokenToDouble(token, token + length);
                if (!IsStorableThickness(z))
                    return report.Fail("Incorrect Z data.(" +
                                       std::string(token, static_cast<std::size_t>(length)) +
                                       ") Line: " + std::to_string(totals.line));
                record.Value[ix][iy] = z;
                ++totals.stored;
                if (totals.min > z) totals.min = z;
                if (z > totals.max) totals.max = z;
            } else {
                return report.Fail("Data count error. Line: " + std::to_string(totals.line));
            }
            ++field;
            length = 0;
        } else if (c == '\n') {
            if (field > 0) {
                // More lines than the counters hold is no measurement (a
                // Size-500 area has 251001 cells); refused before they wrap.
                if (totals.line == INT_MAX)
                    return report.Fail("Data count error. Line: " + std::to_string(totals.line));
                ++totals.line;
            }
            length = 0;
            field = 0;
        } else if (AcceptedInField(c, field)) {
            // A token that does not fit the buffer is refused at the first
            // character that does not fit, never truncated silently.
            if (length == kTokenCapacity) return report.Fail(IncorrectCharacterMessage(c, totals.line));
            token[length++] = static_cast<char>(c);
        } else {
            return report.Fail(IncorrectCharacterMessage(c, totals.line));
        }
    }

    if (totals.stored == 0) return report.Fail("Data count is zero.");
    if (report.Failed()) return report.Fail(std::string());
    record.Valid = true;
    record.Unit.clear();  // a .thk file names no unit; a cleared record keeps its last one
    record.Count = totals.stored;
    StoreStatistics(record, totals.min, totals.max);
    CalcTextRatios(record);
    if (totals.missing > 0) messages.Show(MissingZMessage(totals));
    return 1;
}

struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

}  // namespace

int ReadThkText(std::string_view bytes, ThkData& record, const MessageSink& messages) {
    ByteSource in(bytes, bytes.size());
    return ReadThk(in, nullptr, record, true, messages);
}

int ReadThkFile(const std::string& fileName, ThkData& record, const MessageSink& messages) {
    std::FILE* file = OpenRegularFile(fileName);
    if (!file) {
        messages.Show("File open error. -> " + fileName);
        return -1;
    }
    const FileCloser closer{file};
    ByteSource in(file);
    return ReadThk(in, &fileName, record, true, messages);
}

// For the tests: the bytes in blocks of blockSize (at least 1), read with or
// without the plain lines, so both ways and every cut of a line between two
// blocks can be compared.
int ReadThkTextInBlocks(std::string_view bytes, ThkData& record, std::size_t blockSize, bool plainLines,
                        const MessageSink& messages) {
    ByteSource in(bytes, std::max<std::size_t>(blockSize, 1));
    return ReadThk(in, nullptr, record, plainLines, messages);
}
