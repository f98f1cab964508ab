#include "session/ParameterFile.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "core/Message.h"
#include "core/TextFile.h"
#include "core/WholeFile.h"
#include "session/ParameterLimits.h"

namespace {

void AppendInt(std::string& text, const char* key, int value) {
    text += key;
    text += ": ";
    text += std::to_string(value);
    text += '\n';
}

// Fixed notation with the given decimals, rounded on the exact binary value
// as "%.Nf" does, whatever the locale.
void AppendFixed(std::string& text, const char* key, double value, int decimals) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    text += key;
    text += ": ";
    text.append(buffer, result.ptr);
    text += '\n';
}

int Flag(bool on) {
    return on ? 1 : 0;
}

// The next line's integer, counted as read only inside its limits.
bool NextInLimits(WordNumberReader& in, const ParameterLimit& limit, int& value) {
    return in.NextInt(value) && limit.Holds(value);
}

bool NextFloatInLimits(WordNumberReader& in, const ParameterLimit& limit, float& value) {
    return in.NextFloat(value) && limit.HoldsFloat(value);
}

int Fail(const std::string& what, const MessageSink& messages) {
    messages.Show("Parameter read error.(" + what + ")");
    return -1;
}

}  // namespace

std::string ParameterFileText(const ViewSettings& s) {
    std::string text;
    AppendInt(text, "Min_Color", static_cast<int>(s.MapMinColor));
    AppendInt(text, "Max_Color", static_cast<int>(s.MapMaxColor));
    AppendInt(text, "Back_Color", static_cast<int>(s.MapBackColor));
    AppendInt(text, "AutoFill", Flag(s.AutoFill));
    AppendInt(text, "Colormap", Flag(s.UseColormap));
    AppendInt(text, "RawRange", Flag(s.RawRange));
    AppendInt(text, "MinDataCount", s.MinDataCount);
    AppendInt(text, "RadOptimize", Flag(s.RadOptimize));
    AppendInt(text, "CalcPitch", s.CalcPitch);
    AppendFixed(text, "SearchRad", s.SearchRad, ParameterLimits::SearchRad.Decimals);
    AppendFixed(text, "AverageWeight", s.AverageWeight, ParameterLimits::AverageWeight.Decimals);
    AppendInt(text, "CalcIteration", s.CalcIteration);
    AppendInt(text, "Spline_Order", s.SplineOrder);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string roi = "ROI" + std::to_string(i + 1);
        AppendInt(text, (roi + "_Type").c_str(), static_cast<int>(s.RoiType[i]));
        AppendInt(text, (roi + "_Size").c_str(), s.RoiSize[i]);
        AppendInt(text, (roi + "_FDigit").c_str(), s.RoiFDigit[i]);
        AppendInt(text, (roi + "_Color").c_str(), static_cast<int>(s.RoiColor[i]));
    }
    AppendInt(text, "ROI_Min_Show", Flag(s.ShowRoiMin));
    AppendInt(text, "ROI_Max_Show", Flag(s.ShowRoiMax));
    AppendInt(text, "ROI_Mean_Show", Flag(s.ShowRoiMean));
    AppendInt(text, "BorderCount", s.BorderCount);
    AppendInt(text, "CopyColormap", Flag(s.CopyColormap));
    return text;
}

int SaveParameterFile(const std::string& path, const ViewSettings& settings, const MessageSink& messages) {
    if (WriteFileWhole(path, ParameterFileText(settings)).Written()) return 1;
    messages.Show("<SaveParameter> File open error.");
    return -1;
}

int LoadParameterFile(const std::string& path, ViewSettings& settings, const MessageSink& messages) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        messages.Show("<LoadParameter> File open error.");
        return -1;
    }
    return ReadParameterText(text, settings, messages);
}

int ReadParameterText(const std::string& text, ViewSettings& s, const MessageSink& messages) {
    WordNumberReader in(text);
    int v = 0;
    float f = 0.0f;

    std::array<int, 3> colors{};
    for (std::size_t i = 0; i < colors.size(); ++i)
        if (!in.NextInt(colors[i])) return Fail("Color No." + std::to_string(i), messages);
    s.MapMinColor = static_cast<Color>(colors[0]);
    s.MapMaxColor = static_cast<Color>(colors[1]);
    s.MapBackColor = static_cast<Color>(colors[2]);

    if (!in.NextInt(v)) return Fail("Auto Fill", messages);
    s.AutoFill = v == 1;
    if (!in.NextInt(v)) return Fail("Colormap", messages);
    s.UseColormap = v == 1;
    if (!in.NextInt(v)) return Fail("RawRange", messages);
    s.RawRange = v == 1;
    if (!NextInLimits(in, ParameterLimits::MinDataCount, v)) return Fail("Min Data Count", messages);
    s.MinDataCount = v;
    if (!in.NextInt(v)) return Fail("Rad Optimize", messages);
    s.RadOptimize = v == 1;
    if (!NextInLimits(in, ParameterLimits::CalcPitch, v)) return Fail("Calc Pitch", messages);
    s.CalcPitch = v;
    if (!NextFloatInLimits(in, ParameterLimits::FoundSearchRad, f)) return Fail("Search Rad", messages);
    s.SearchRad = f;
    if (!NextFloatInLimits(in, ParameterLimits::AverageWeight, f)) return Fail("Average Weight", messages);
    s.AverageWeight = f;  // read as a float, kept as a double
    if (!NextInLimits(in, ParameterLimits::CalcIteration, v)) return Fail("Calc Iteration", messages);
    s.CalcIteration = v;
    if (!NextInLimits(in, ParameterLimits::SplineOrder, v)) return Fail("Spline Order", messages);
    s.SplineOrder = v;

    // Type, size and fraction digits have limits; any colour is kept.
    const std::array<const ParameterLimit*, 4> roiLimits{&ParameterLimits::RoiType, &ParameterLimits::RoiSize,
                                                         &ParameterLimits::RoiFDigit, nullptr};
    for (std::size_t roi = 0; roi < 2; ++roi) {
        std::array<int, 4> items{};
        for (std::size_t j = 0; j < items.size(); ++j)
            if (!(roiLimits[j] ? NextInLimits(in, *roiLimits[j], items[j]) : in.NextInt(items[j])))
                return Fail("ROI Setting No." + std::to_string(roi) + "-" + std::to_string(j), messages);
        s.RoiType[roi] = static_cast<RoiShape>(items[0]);
        s.RoiSize[roi] = items[1];
        s.RoiFDigit[roi] = items[2];
        s.RoiColor[roi] = static_cast<Color>(items[3]);
    }

    std::array<int, 3> shows{};
    for (std::size_t i = 0; i < shows.size(); ++i)
        if (!in.NextInt(shows[i])) return Fail("Show ROI Data - No." + std::to_string(i), messages);
    s.ShowRoiMin = shows[0] == 1;
    s.ShowRoiMax = shows[1] == 1;
    s.ShowRoiMean = shows[2] == 1;

    if (!NextInLimits(in, ParameterLimits::BorderCount, v)) return Fail("Border Count", messages);
    s.BorderCount = v;
    if (!in.NextInt(v)) return Fail("Copy Colormap Flag", messages);
    s.CopyColormap = v == 1;
    return 1;
}
