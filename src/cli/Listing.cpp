#include "cli/Listing.h"

#include <array>
#include <charconv>
#include <cstring>

#include "cli/NumberFormat.h"

namespace {

void AppendInt(std::string& out, long value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void AppendNamed(std::string& out, const char* name, double value) {
    out += name;
    out += '\t';
    AppendNumber(out, value);
    out += '\n';
}

void AppendNamedInt(std::string& out, const char* name, long value) {
    out += name;
    out += '\t';
    AppendInt(out, value);
    out += '\n';
}

}  // namespace

void AppendNumber(std::string& out, double value) {
    // General format with 17 significant digits: the same text as "%.17g",
    // independent of the process locale.
    char buf[G17MaxChars];
    out.append(buf, FormatG17(buf, value));
}

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

}  // namespace

void WriteCellListing(const ThkData& record, const std::function<void(const char*, std::size_t)>& write) {
    std::array<char, CellListingPiece> piece;
    char* const begin = piece.data();
    char* const full = begin + piece.size() - MaxCellLine;
    char* p = begin;
    for (int x = 0; x < ThkGridDim; ++x) {
        const CoordinateText& xText = CoordinateTexts[x];
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            if (p > full) {
                write(begin, static_cast<std::size_t>(p - begin));
                p = begin;
            }
            std::memcpy(p, xText.Text, 4);
            p += xText.Size;
            std::memcpy(p, CoordinateTexts[y].Text, 4);
            p += CoordinateTexts[y].Size;
            p = FormatG17(p, v);
            *p++ = '\n';
        }
    }
    if (p != begin) write(begin, static_cast<std::size_t>(p - begin));
}

void AppendCellListing(std::string& out, const ThkData& record) {
    // Room for the longest lines up front: the text is appended without
    // reallocation (pages never written are never touched).
    std::size_t cells = 0;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            cells += HasData(record.Value[x][y]) ? 1 : 0;
    out.reserve(out.size() + cells * MaxCellLine);
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
    AppendNumber(text_, level);
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
    AppendNumber(text_, gx);
    text_ += ',';
    AppendNumber(text_, gy);
}
