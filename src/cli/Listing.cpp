#include "cli/Listing.h"

#include <charconv>

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
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    out.append(buf, r.ptr);
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

void AppendCellListing(std::string& out, const ThkData& record) {
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            AppendInt(out, x);
            out += '\t';
            AppendInt(out, y);
            out += '\t';
            AppendNumber(out, v);
            out += '\n';
        }
    }
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
