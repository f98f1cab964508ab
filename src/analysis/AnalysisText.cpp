#include "analysis/AnalysisText.h"

#include <charconv>
#include <cstddef>

#include "core/RoundTripNumber.h"

namespace {

void Append(std::string& out, double value) {
    AppendG17(out, value);
}

void Append(std::string& out, long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

template <typename... Fields>
void Row(std::string& out, const Fields&... fields) {
    bool first = true;
    ((out += first ? "" : "\t", first = false, Append(out, fields)), ...);
    out += '\n';
}

template <typename T>
void Named(std::string& out, std::string_view prefix, std::string_view name, T value) {
    out += prefix;
    out += name;
    out += '\t';
    Append(out, value);
    out += '\n';
}

}  // namespace

std::string StatisticsText(const AreaStatistics& s, std::string_view prefix) {
    std::string out;
    Named(out, prefix, "Count", s.Count);
    Named(out, prefix, "Mean", s.Mean);
    Named(out, prefix, "Min", s.Min);
    Named(out, prefix, "MinX", static_cast<long>(s.MinX));
    Named(out, prefix, "MinY", static_cast<long>(s.MinY));
    Named(out, prefix, "Max", s.Max);
    Named(out, prefix, "MaxX", static_cast<long>(s.MaxX));
    Named(out, prefix, "MaxY", static_cast<long>(s.MaxY));
    Named(out, prefix, "Range", s.Range);
    Named(out, prefix, "SigmaN1", s.Sigma);
    Named(out, prefix, "Sigma1PctN1", s.Sigma1Pct);
    Named(out, prefix, "Sigma3PctN1", s.Sigma3Pct);
    Named(out, prefix, "UniformityMeanPct", s.UniformityPct);
    Named(out, prefix, "UniformityMaxMinPct", s.UniformityMaxMinPct);
    return out;
}

std::string ProfileText(std::span<const ProfilePoint> points) {
    std::string out;
    for (const ProfilePoint& p : points)
        Row(out, p.Position, p.Value);
    return out;
}

std::string RadialProfileText(std::span<const RingStats> rings) {
    std::string out;
    for (const RingStats& r : rings)
        if (r.Count > 0) Row(out, r.Inner, r.Mean, r.Min, r.Max);
    return out;
}

std::string HistogramText(const Histogram& h) {
    std::string out;
    for (std::size_t i = 0; i < h.Counts.size(); ++i)
        Row(out, h.Edges[i], h.Edges[i + 1], h.Counts[i]);
    return out;
}
