#include "cli/Listing.h"

#include <array>
#include <charconv>
#include <cstring>
#include <memory>

#include "core/RoundTripNumber.h"

namespace {

void AppendInt(std::string& out, long value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void AppendNamed(std::string& out, const char* name, double value) {
    out += name;
    out += '\t';
    AppendG17(out, value);
    out += '\n';
}

void AppendNamedInt(std::string& out, const char* name, long value) {
    out += name;
    out += '\t';
    AppendInt(out, value);
    out += '\n';
}

}  // namespace

std::string StatsListing(const ThkData& record) {
    std::string out;
    AppendNamedInt(out, "Size", record.Size);
    AppendNamedInt(out, "PitchX", record.PitchX);
    AppendNamedInt(out, "PitchY", record.PitchY);
    AppendNamedInt(out, "Count", record.Count);
    AppendNamed(out, "Min", record.Min);
    AppendNamed(out, "Max", record.Max);
    AppendNamed(out, "Range", record.Range);
    AppendNamed(out, "Mean", record.Mean);
    AppendNamed(out, "Sigma", record.Sigma);
    AppendNamed(out, "Ratio", record.Ratio);
    AppendNamed(out, "UniformityPct", record.UniformityPct);
    AppendNamed(out, "Sigma1Pct", record.Sigma1Pct);
    AppendNamed(out, "Sigma3Pct", record.Sigma3Pct);
    return out;
}

std::string RadiusLine(float radius) {
    std::string out;
    AppendNamed(out, "Radius", static_cast<double>(radius));
    return out;
}

namespace {

// A cell coordinate 0..500 and the tab after it, stored in 4 bytes so a line
// is put together from fixed-size copies.
struct CoordinateText {
    char Text[4];
    int Size;
};

constexpr std::array<CoordinateText, ThkGridDim> MakeCoordinateTexts() {
    std::array<CoordinateText, ThkGridDim> texts{};
    for (int i = 0; i < ThkGridDim; ++i) {
        CoordinateText& t = texts[i];
        if (i >= 100) t.Text[t.Size++] = static_cast<char>('0' + i / 100);
        if (i >= 10) t.Text[t.Size++] = static_cast<char>('0' + i / 10 % 10);
        t.Text[t.Size++] = static_cast<char>('0' + i % 10);
        t.Text[t.Size++] = '\t';
    }
    return texts;
}
constexpr std::array<CoordinateText, ThkGridDim> CoordinateTexts = MakeCoordinateTexts();

// Longest line: two coordinates with their tabs, a number and the line feed.
constexpr std::size_t MaxCellLine = 4 + 4 + G17MaxChars + 1;

// Bytes in each piece handed on: the lines are put together in a buffer that
// stays in the cache, with no output buffer growing by copies.
constexpr std::size_t CellListingPiece = std::size_t{1} << 16;

// From this many data cells on, a second thread formats the second half of
// the rows (tens of nanoseconds a line: the split pays from about half a
// millisecond of work, well above the cost of waking a thread).
constexpr std::size_t ParallelCellListing = 20000;

// The line of one cell written at p (room for MaxCellLine); returns its end.
char* WriteCellLine(char* p, int x, int y, double v) {
    std::memcpy(p, CoordinateTexts[x].Text, 4);
    p += CoordinateTexts[x].Size;
    std::memcpy(p, CoordinateTexts[y].Text, 4);
    p += CoordinateTexts[y].Size;
    p = FormatG17(p, v);
    *p++ = '\n';
    return p;
}

// The lines of rows x in [from, to) written at p (room for MaxCellLine per
// data cell); returns their end.
char* WriteRows(char* p, const ThkData& record, int from, int to) {
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (HasData(v)) p = WriteCellLine(p, x, y, v);
        }
    }
    return p;
}

// The lines of rows x in [from, to) handed to write in pieces.
void WriteRows(const ThkData& record, int from, int to,
               const std::function<void(const char*, std::size_t)>& write) {
    std::array<char, CellListingPiece> piece;
    char* const begin = piece.data();
    char* const full = begin + piece.size() - MaxCellLine;
    char* p = begin;
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            if (p > full) {
                write(begin, static_cast<std::size_t>(p - begin));
                p = begin;
            }
            p = WriteCellLine(p, x, y, v);
        }
    }
    if (p != begin) write(begin, static_cast<std::size_t>(p - begin));
}

std::size_t RowCells(const ThkData& record, int x) {
    std::size_t cells = 0;
    for (int y = 0; y < ThkGridDim; ++y)
        cells += HasData(record.Value[x][y]) ? 1 : 0;
    return cells;
}

std::size_t CountCells(const ThkData& record) {
    std::size_t cells = 0;
    for (int x = 0; x < ThkGridDim; ++x)
        cells += RowCells(record, x);
    return cells;
}

}  // namespace

void WriteCellListing(const ThkData& record, const std::function<void(const char*, std::size_t)>& write) {
    const std::size_t cells = CountCells(record);
    if (cells < ParallelCellListing) {
        WriteRows(record, 0, ThkGridDim, write);
        return;
    }
    // The rows from split on hold about half the cells. Their text is made
    // in a buffer of its own beside the first rows, which are formatted and
    // handed on meanwhile; the text and its order are the same. The second
    // core is taken from the same threads as Calc and Fill, which are
    // waiting for work by then.
    int split = ThkGridDim;
    std::size_t tailCells = 0;
    while (split > 0 && 2 * tailCells < cells)
        tailCells += RowCells(record, --split);
    const auto tail = std::make_unique_for_overwrite<char[]>(tailCells * MaxCellLine);
    char* tailEnd = nullptr;
#pragma omp parallel sections num_threads(2)
    {
#pragma omp section
        WriteRows(record, 0, split, write);
#pragma omp section
        tailEnd = WriteRows(tail.get(), record, split, ThkGridDim);
    }
    write(tail.get(), static_cast<std::size_t>(tailEnd - tail.get()));
}

void AppendCellListing(std::string& out, const ThkData& record) {
    // Room for the longest lines up front: the text is appended without
    // reallocation (pages never written are never touched).
    out.reserve(out.size() + CountCells(record) * MaxCellLine);
    WriteCellListing(record, [&out](const char* text, std::size_t size) { out.append(text, size); });
}

std::string RoiListing(int count, const RoiStats& stats) {
    std::string out;
    AppendNamedInt(out, "Count", count);
    AppendNamed(out, "Min", stats.Min);
    AppendNamed(out, "Max", stats.Max);
    AppendNamed(out, "Mean", stats.Mean);
    return out;
}

void ContourListing::BeginLevel(int k, double level, Color) {
    EndLine();
    text_ += "Level\t";
    AppendInt(text_, k);
    text_ += '\t';
    AppendG17(text_, level);
    text_ += '\n';
}

void ContourListing::MoveTo(int, int, double gx, double gy) {
    EndLine();
    startX_ = gx;
    startY_ = gy;
}

void ContourListing::LineTo(int, int, double gx, double gy) {
    // A trace is listed from its first segment on: a trace that leaves the
    // grid at once draws nothing and is not listed.
    if (!lineOpen_) {
        AppendPoint(startX_, startY_);
        lineOpen_ = true;
    }
    text_ += ' ';
    AppendPoint(gx, gy);
}

std::string ContourListing::Text() {
    EndLine();
    return text_;
}

void ContourListing::EndLine() {
    if (!lineOpen_) return;
    text_ += '\n';
    lineOpen_ = false;
}

void ContourListing::AppendPoint(double gx, double gy) {
    AppendG17(text_, gx);
    text_ += ',';
    AppendG17(text_, gy);
}
