#include "colour/ColorScale.h"

#include "data/ThkData.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

// Rounding: every quantity held in single precision is a float variable whose
// defining expression is evaluated in double and rounded once when stored.
// Real-to-integer conversions truncate toward zero.

namespace {

// Truncation toward zero that stays defined for NaN (0) and for values past
// the int range (saturated); only unreachable inputs are affected.
int TruncateToInt(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::clamp(v, -1.0e9, 1.0e9));
}

int Channel(Color c, int k) {
    return static_cast<int>((c >> (8 * k)) & 0xFFu);
}

float Clamp01(float v) {
    if (!(v >= 0.0f)) return 0.0f;  // also NaN
    return v > 1.0f ? 1.0f : v;
}

}  // namespace

int GradationIntervals(const GradationTable& table) {
    return std::clamp(table.Count - 1, 0, GradationMaxColors - 1);
}

GradationTable ColormapPreset() {
    GradationTable table;
    table.Count = 7;
    table.Colors = {0x0000FF, 0x4080FF, 0x00FFFF, 0x00FF00, 0xFFFF00,
                    0xFF0000, 0xFF0080, 0xFF80FF, 0xFFFFFF, 0x000000};
    return table;
}

void ApplyMonoPreset(GradationTable& table) {
    table.Count = 2;
    table.Colors[0] = 0xFFFFFF;
    table.Colors[1] = 0x000000;
}

const RampParameters& RampSetOf(RampSetKind kind) {
    return kind == RampSetKind::Drawing ? DrawingRampSet : StartupRampSet;
}

namespace {

[[gnu::always_inline]] inline float RampHue(float x, const RampParameters& r) {
    return static_cast<float>((1.0 - static_cast<double>(x)) * r.HueSpan + r.HueOffset);
}

float RampSaturation(float x, const RampParameters& r) {
    return Clamp01(static_cast<float>(r.SatSlope * static_cast<double>(x) + r.SatBase));
}

float RampValue(float x, const RampParameters& r) {
    return Clamp01(static_cast<float>(r.ValueSlope * static_cast<double>(x) + r.ValueBase));
}

// Whole degrees 0..359 of a hue: truncated, then reduced modulo 360.
[[gnu::always_inline]] inline int WholeDegrees(float hue) {
    // Within one turn either side of 0..360 (positions 0..1 of every shipped
    // ramp set) at most one turn is added and the reduction is one
    // subtraction; the general steps below give the same degrees there.
    // Adding 360 in double is exact; rounding it to float may give 360.
    if (hue >= -360.0f && hue < 720.0f) {
        if (hue < 0.0f) hue = static_cast<float>(hue + 360.0);
        const int degrees = static_cast<int>(hue);
        return degrees < 360 ? degrees : degrees - 360;
    }
    // A hue far below zero (a position far outside 0..1) is first brought
    // near zero exactly; adding 360 in float there would no longer change it
    // and the loop would never end.
    if (!std::isfinite(hue)) hue = 0.0f;
    if (hue < -3600.0f) hue = std::fmod(hue, 360.0f);
    while (hue < 0.0f)
        hue = static_cast<float>(hue + 360.0);
    return static_cast<int>(std::fmod(std::trunc(static_cast<double>(hue)), 360.0));
}

// Colour of a whole-degree hue at saturation and value 0..1.
Color HsvColor(int degrees, float saturation, float value) {
    const float hue = static_cast<float>(degrees);
    // 1/60 in double: with a float factor 340 degrees gives q = 0.3333327 and
    // a blue channel of 84 instead of 85.
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

// Each channel moved from a toward b by the fraction t, truncated.
[[gnu::always_inline]] inline Color BlendByFraction(Color a, Color b, double t) {
    int result[3];
    for (int k = 0; k < 3; ++k) {
        const int from = Channel(a, k);
        const int to = Channel(b, k);
        const int step = TruncateToInt(std::abs(to - from) * t);
        // An unclamped fraction outside 0..1 would carry into the next channel.
        result[k] = std::clamp(to < from ? from - step : from + step, 0, 255);
    }
    return MakeColor(result[0], result[1], result[2]);
}

template <typename T>
bool SameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace

Color GetRampColor(float x, const RampParameters& r) {
    return HsvColor(WholeDegrees(RampHue(x, r)), RampSaturation(x, r), RampValue(x, r));
}

RampPalette::RampPalette(const RampParameters& ramp) : ramp_(ramp) {
    // With finite parameters saturation and value are monotonic in the
    // position (each step is a product or sum with a constant, rounded), so
    // when both ends agree they are the same all over 0..1.
    const bool finite = std::isfinite(ramp.HueOffset) && std::isfinite(ramp.HueSpan) &&
                        std::isfinite(ramp.SatBase) && std::isfinite(ramp.SatSlope) &&
                        std::isfinite(ramp.ValueBase) && std::isfinite(ramp.ValueSlope);
    const float saturation = RampSaturation(0.0f, ramp);
    const float value = RampValue(0.0f, ramp);
    byHue_ =
        finite && SameBits(saturation, RampSaturation(1.0f, ramp)) && SameBits(value, RampValue(1.0f, ramp));
    if (!byHue_) return;
    for (int degrees = 0; degrees < 360; ++degrees)
        hueArgb_[static_cast<size_t>(degrees)] = ColorToArgb(HsvColor(degrees, saturation, value));
}

void RampPalette::PaintValues(const double* values, int count, double min, double max, std::uint32_t back,
                              std::uint32_t* pixels) const {
    for (int i = 0; i < count; ++i) {
        const double v = values[i];
        if (!HasData(v)) {
            pixels[i] = back;
            continue;
        }
        const float x = static_cast<float>(ScalePosition(v, min, max));
        if (byHue_ && x >= 0.0f && x <= 1.0f)
            pixels[i] = hueArgb_[static_cast<size_t>(WholeDegrees(RampHue(x, ramp_)))];
        else
            pixels[i] = ColorToArgb(GetRampColor(x, ramp_));
    }
}

Color BlendColor(Color a, Color b, double high, double low, double value) {
    return BlendByFraction(a, b, (value - low) / (high - low));
}

Color GetScaleColor(bool useRamp, const RampParameters& ramp, Color a, Color b, float position) {
    if (useRamp) return GetRampColor(position, ramp);
    return BlendColor(a, b, 1.0, 0.0, position);
}

std::array<float, 3> GetScaleColorRGB(bool useRamp, const RampParameters& ramp, Color a, Color b,
                                      float position) {
    const Color c = GetScaleColor(useRamp, ramp, a, b, position);
    return {static_cast<float>(ColorRed(c) / 255.0), static_cast<float>(ColorGreen(c) / 255.0),
            static_cast<float>(ColorBlue(c) / 255.0)};
}

Color GetGradationColor(const GradationTable& table, float position) {
    const Color* colors = table.Colors.data();
    const int intervals = GradationIntervals(table);
    if (intervals <= 0) return colors[0];
    const float x = Clamp01(position);
    // Interval bounds are floats: with a float position the blend of 1/12 on a
    // six-interval table is exactly half way (64 and 32, not 63 and 31).
    int i = 0;
    float upper = 1.0f;
    for (; i < intervals; ++i) {
        upper = static_cast<float>(static_cast<double>(i + 1) / intervals);
        if (x <= upper) break;
    }
    if (i == intervals) i = intervals - 1;  // x is at most 1, so only rounding lands here
    const float lower = static_cast<float>(static_cast<double>(i) / intervals);
    return BlendColor(colors[i], colors[i + 1], upper, lower, x);
}

GradationPalette::GradationPalette(const GradationTable& table)
    : colors_(table.Colors), intervals_(GradationIntervals(table)) {
    for (int i = 0; i < intervals_; ++i) {
        lowers_[static_cast<size_t>(i)] = static_cast<float>(static_cast<double>(i) / intervals_);
        uppers_[static_cast<size_t>(i)] = static_cast<float>(static_cast<double>(i + 1) / intervals_);
        widths_[static_cast<size_t>(i)] =
            static_cast<double>(uppers_[static_cast<size_t>(i)]) - lowers_[static_cast<size_t>(i)];
        for (int k = 0; k < 3; ++k) {
            const int from = Channel(colors_[static_cast<size_t>(i)], k);
            const int to = Channel(colors_[static_cast<size_t>(i) + 1], k);
            starts_[static_cast<size_t>(i)][static_cast<size_t>(k)] = from;
            spans_[static_cast<size_t>(i)][static_cast<size_t>(k)] = std::abs(to - from);
            falls_[static_cast<size_t>(i)][static_cast<size_t>(k)] = to < from ? 1 : 0;
        }
    }
}

void GradationPalette::PaintValues(const double* values, int count, double min, double max,
                                   std::uint32_t back, std::uint32_t* pixels) const {
    if (intervals_ <= 0) {
        for (int i = 0; i < count; ++i)
            pixels[i] = HasData(values[i]) ? ColorToArgb(colors_[0]) : back;
        return;
    }
    for (int i = 0; i < count; ++i) {
        const double v = values[i];
        if (!HasData(v)) {
            pixels[i] = back;
            continue;
        }
        const float x = Clamp01(static_cast<float>(1.0 - ScalePosition(v, min, max)));
        int k = 0;
        while (k < intervals_ - 1 && !(x <= uppers_[static_cast<size_t>(k)]))
            ++k;
        const auto n = static_cast<size_t>(k);
        // x lies in its interval, so the fraction is within 0..1 and every
        // channel stays between its two colours: the blend's guards against
        // NaN, huge fractions and channels leaving 0..255 cannot act here.
        const double t = (static_cast<double>(x) - lowers_[n]) / widths_[n];
        int channel[3];
        for (size_t c = 0; c < 3; ++c) {
            const int step = static_cast<int>(spans_[n][c] * t);
            channel[c] = starts_[n][c] + (falls_[n][c] != 0 ? -step : step);
        }
        pixels[i] = ColorToArgb(MakeColor(channel[0], channel[1], channel[2]));
    }
}

double ScalePosition(double value, double min, double max) {
    if (min == max) return 0.5;
    const double position = (value - min) / (max - min);
    if (position < 0.0) return 0.0;
    if (position > 1.0) return 1.0;
    return position;
}

void DrawColorBar(QImage& image, bool useRamp, const RampParameters& ramp, const GradationTable& table) {
    const int width = image.width();
    const int height = image.height();
    if (width <= 0 || height <= 0) return;
    QImage bar(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const float b = static_cast<float>(static_cast<double>(height - y) / height);
        const Color c = useRamp ? GetScaleColor(true, ramp, 0, 0, b)
                                : GetGradationColor(table, static_cast<float>(1.0 - b));
        auto* row = reinterpret_cast<QRgb*>(bar.scanLine(y));
        std::fill(row, row + width, static_cast<QRgb>(ColorToArgb(c)));
    }
    image = std::move(bar);
}
