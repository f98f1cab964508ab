#pragma once

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "colour/ColorScale.h"
#include "core/Color.h"
#include "data/ThkData.h"

// The colour functions and the pixel-by-pixel colour map as they were before
// the palettes and strips: the reference the faster drawing must match pixel
// for pixel.
namespace plain {

inline int TruncateToInt(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::clamp(v, -1.0e9, 1.0e9));
}

inline int Channel(Color c, int k) {
    return static_cast<int>((c >> (8 * k)) & 0xFFu);
}

inline float Clamp01(float v) {
    if (!(v >= 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

inline Color GetRampColor(float x, const RampParameters& r) {
    const double xd = x;
    float hue = static_cast<float>((1.0 - xd) * r.HueSpan + r.HueOffset);
    float saturation = static_cast<float>(r.SatSlope * xd + r.SatBase);
    float value = static_cast<float>(r.ValueSlope * xd + r.ValueBase);
    if (!std::isfinite(hue)) hue = 0.0f;
    if (hue < -3600.0f) hue = std::fmod(hue, 360.0f);
    while (hue < 0.0f)
        hue = static_cast<float>(hue + 360.0);
    hue = static_cast<float>(std::fmod(std::trunc(static_cast<double>(hue)), 360.0));
    saturation = Clamp01(saturation);
    value = Clamp01(value);
    const float h = static_cast<float>(hue * (1.0 / 60.0));
    const int sector = static_cast<int>(h);
    const float f = static_cast<float>(h - static_cast<double>(sector));
    const float p = static_cast<float>((1.0 - saturation) * value);
    const float q = static_cast<float>((1.0 - f * static_cast<double>(saturation)) * value);
    const float t = static_cast<float>((1.0 - (1.0 - f) * static_cast<double>(saturation)) * value);
    float red = value, green = t, blue = p;
    switch (sector) {
        case 0:
            red = value;
            green = t;
            blue = p;
            break;
        case 1:
            red = q;
            green = value;
            blue = p;
            break;
        case 2:
            red = p;
            green = value;
            blue = t;
            break;
        case 3:
            red = p;
            green = q;
            blue = value;
            break;
        case 4:
            red = t;
            green = p;
            blue = value;
            break;
        default:
            red = value;
            green = p;
            blue = q;
            break;
    }
    return MakeColor(TruncateToInt(red * 255.0), TruncateToInt(green * 255.0), TruncateToInt(blue * 255.0));
}

inline Color BlendColor(Color a, Color b, double high, double low, double value) {
    const double t = (value - low) / (high - low);
    int result[3];
    for (int k = 0; k < 3; ++k) {
        const int from = Channel(a, k);
        const int to = Channel(b, k);
        const int step = TruncateToInt(std::abs(to - from) * t);
        result[k] = std::clamp(to < from ? from - step : from + step, 0, 255);
    }
    return MakeColor(result[0], result[1], result[2]);
}

inline Color GetGradationColor(const GradationTable& table, float position) {
    const Color* colors = table.Colors.data();
    const int intervals = GradationIntervals(table);
    if (intervals <= 0) return colors[0];
    const float x = Clamp01(position);
    int i = 0;
    float upper = 1.0f;
    for (; i < intervals; ++i) {
        upper = static_cast<float>(static_cast<double>(i + 1) / intervals);
        if (x <= upper) break;
    }
    if (i == intervals) i = intervals - 1;
    const float lower = static_cast<float>(static_cast<double>(i) / intervals);
    return plain::BlendColor(colors[i], colors[i + 1], upper, lower, x);
}

inline std::vector<int> SampleIndexes(int pixels, int size) {
    const float scale = static_cast<float>(static_cast<double>(size + 1) / pixels);
    std::vector<int> indexes(static_cast<size_t>(pixels));
    for (int i = 0; i < pixels; ++i) {
        const int index = static_cast<int>(i * static_cast<double>(scale));
        indexes[static_cast<size_t>(i)] = std::clamp(index, 0, ThkMaxSize);
    }
    return indexes;
}

inline QImage DrawColorMap(int width, int height, const ThkData& record, bool useRamp,
                           const RampParameters& ramp, const DisplayCondition& condition, Color backColor,
                           const GradationTable& table) {
    const std::vector<int> columns = SampleIndexes(width, record.Size);
    const std::vector<int> rows = SampleIndexes(height, record.Size);
    double min = record.Min;
    double max = record.Max;
    const bool divide = condition.Enabled && record.Divisor != 0.0;
    if (divide) {
        min /= record.Divisor;
        max /= record.Divisor;
    }
    const QRgb back = ColorToArgb(backColor);
    QImage map(width, height, QImage::Format_RGB32);
    for (int j = 0; j < height; ++j) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(j));
        const int y = rows[static_cast<size_t>(j)];
        for (int i = 0; i < width; ++i) {
            double v = record.Value[columns[static_cast<size_t>(i)]][y];
            if (condition.Enabled) {
                if (divide && HasData(v)) v /= record.Divisor;
                if (!TestValueCondition(v, true, condition.Mode, condition.Low, condition.High)) v = NoData;
            }
            if (!HasData(v)) {
                line[i] = back;
                continue;
            }
            const double position = ScalePosition(v, min, max);
            const Color c = useRamp ? plain::GetRampColor(static_cast<float>(position), ramp)
                                    : plain::GetGradationColor(table, static_cast<float>(1.0 - position));
            line[i] = ColorToArgb(c);
        }
    }
    return map;
}

}  // namespace plain
