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
    const ViewSettings defaults;
    int v = 0;
    float f = 0.0f;
    // A value outside its limits takes its default and the reading goes on,
    // so one bad line never costs the lines after it; the first such line is
    // named once the file is read. A line without a word and a number ends
    // the reading: the lines are found by their position.
    std::string outOfRange;
    const auto whole = [&](const ParameterLimit& limit, const char* what, int& field, int fallback) {
        if (!in.NextInt(v)) return false;
        if (limit.Holds(v)) {
            field = v;
        } else {
            field = fallback;
            if (outOfRange.empty()) outOfRange = what;
        }
        return true;
    };
    const auto decimal = [&](const ParameterLimit& limit, const char* what, auto& field, float fallback) {
        if (!in.NextFloat(f)) return false;
        if (limit.HoldsFloat(f)) {
            field = f;  // read as a float, kept as the field's type
        } else {
            field = fallback;
            if (outOfRange.empty()) outOfRange = what;
        }
        return true;
    };

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
    if (!whole(ParameterLimits::MinDataCount, "Min Data Count", s.MinDataCount, defaults.MinDataCount))
        return Fail("Min Data Count", messages);
    if (!in.NextInt(v)) return Fail("Rad Optimize", messages);
    s.RadOptimize = v == 1;
    if (!whole(ParameterLimits::CalcPitch, "Calc Pitch", s.CalcPitch, defaults.CalcPitch))
        return Fail("Calc Pitch", messages);
    if (!decimal(ParameterLimits::FoundSearchRad, "Search Rad", s.SearchRad, defaults.SearchRad))
        return Fail("Search Rad", messages);
    if (!decimal(ParameterLimits::AverageWeight, "Average Weight", s.AverageWeight,
                 static_cast<float>(defaults.AverageWeight)))
        return Fail("Average Weight", messages);
    if (!whole(ParameterLimits::CalcIteration, "Calc Iteration", s.CalcIteration, defaults.CalcIteration))
        return Fail("Calc Iteration", messages);
    if (!whole(ParameterLimits::SplineOrder, "Spline Order", s.SplineOrder, defaults.SplineOrder))
        return Fail("Spline Order", messages);

    // Type, size and fraction digits have limits; any colour is kept.
    for (std::size_t roi = 0; roi < 2; ++roi) {
        const std::string group = "ROI Setting No." + std::to_string(roi) + "-";
        int type = 0;
        if (!whole(ParameterLimits::RoiType, (group + "0").c_str(), type,
                   static_cast<int>(defaults.RoiType[roi])))
            return Fail(group + "0", messages);
        if (!whole(ParameterLimits::RoiSize, (group + "1").c_str(), s.RoiSize[roi], defaults.RoiSize[roi]))
            return Fail(group + "1", messages);
        if (!whole(ParameterLimits::RoiFDigit, (group + "2").c_str(), s.RoiFDigit[roi],
                   defaults.RoiFDigit[roi]))
            return Fail(group + "2", messages);
        if (!in.NextInt(v)) return Fail(group + "3", messages);
        s.RoiType[roi] = static_cast<RoiShape>(type);
        s.RoiColor[roi] = static_cast<Color>(v);
    }

    std::array<int, 3> shows{};
    for (std::size_t i = 0; i < shows.size(); ++i)
        if (!in.NextInt(shows[i])) return Fail("Show ROI Data - No." + std::to_string(i), messages);
    s.ShowRoiMin = shows[0] == 1;
    s.ShowRoiMax = shows[1] == 1;
    s.ShowRoiMean = shows[2] == 1;

    if (!whole(ParameterLimits::BorderCount, "Border Count", s.BorderCount, defaults.BorderCount))
        return Fail("Border Count", messages);
    if (!in.NextInt(v)) return Fail("Copy Colormap Flag", messages);
    s.CopyColormap = v == 1;
    if (!outOfRange.empty()) return Fail(outOfRange + ": out of range, the default is used", messages);
    return 1;
}
