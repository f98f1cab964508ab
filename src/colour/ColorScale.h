#pragma once

#include <array>
#include <cstdint>

#include "core/Codes.h"
#include "core/Color.h"

class QImage;

// Value-to-colour mapping: a hue-saturation-value ramp, a multi-colour
// gradation and a plain two-colour blend. Every function takes the ramp set
// or table it uses and keeps nothing, so any thread may call them; none of
// them fails.

// The six hue-ramp parameters, single precision. Hue in degrees, saturation
// and value 0..1 at position 0 (Base) and their change per unit position (Slope).
struct RampParameters {
    float HueOffset;
    float HueSpan;
    float SatBase;
    float SatSlope;
    float ValueBase;
    float ValueSlope;
};

// Colour maps and the colour bar: full brightness over the whole sweep.
inline constexpr RampParameters StartupRampSet{-20.0f, 280.0f, 1.0f, 1.0f, 1.0f, 0.0f};
// Contour lines and the 3D view: darkens toward position 0.
inline constexpr RampParameters DrawingRampSet{-20.0f, 280.0f, 1.0f, 1.0f, 0.8f, 0.2f};

// The parameters of a named ramp set.
const RampParameters& RampSetOf(RampSetKind kind);

inline constexpr int GradationMaxColors = 10;

// Gradation colours: the first Count (2..10) entries take part; Colors[0]
// belongs to the maximum (top of the colour bar), Colors[Count - 1] to the
// minimum. Entries past Count are kept so they survive a save and reload.
struct GradationTable {
    int Count = 2;
    std::array<Color, GradationMaxColors> Colors{};
};

// Intervals of the table's gradation (Count - 1), kept inside the array even
// for a damaged count.
int GradationIntervals(const GradationTable& table);

// The start-up "Colormap" preset: red, orange, yellow, green, cyan, blue,
// violet in use (count 7), then pink, white and black stored.
GradationTable ColormapPreset();

// "Mono": count 2, white over black; entries 3..10 keep their colours.
void ApplyMonoPreset(GradationTable& table);

// Ramp colour at position x (0..1, single precision) with the given ramp set.
// Hue is taken in whole degrees, so at most 360 distinct hues appear.
Color GetRampColor(float x, const RampParameters& ramp);

// GetRampColor for the many values of one picture. When a ramp set keeps
// saturation and value fixed over positions 0..1 (the start-up set does),
// those positions take their colour from a table of the 360 whole-degree
// hues, made by the same arithmetic.
class RampPalette {
public:
    explicit RampPalette(const RampParameters& ramp);
    // Pixels (QImage RGB32) of count values: back for a value without data,
    // else the colour of the value's ScalePosition on min..max.
    void PaintValues(const double* values, int count, double min, double max, std::uint32_t back,
                     std::uint32_t* pixels) const;

private:
    RampParameters ramp_;
    bool byHue_ = false;
    std::array<std::uint32_t, 360> hueArgb_{};
};

// Colour between a (at low) and b (at high) for value: each channel moves
// from a toward b by the truncated fraction, so the result leans toward a
// (white to black at the middle is 0x808080). The fraction is not clamped,
// but a channel never leaves 0..255.
Color BlendColor(Color a, Color b, double high, double low, double value);

// GetRampColor(position, ramp) when useRamp (a and b ignored), otherwise the
// blend from a at 0 to b at 1 (ramp ignored).
Color GetScaleColor(bool useRamp, const RampParameters& ramp, Color a, Color b, float position);

// GetScaleColor's colour as red, green, blue in 0..1: each channel / 255,
// rounded to float.
std::array<float, 3> GetScaleColorRGB(bool useRamp, const RampParameters& ramp, Color a, Color b,
                                      float position);

// Colour at position (clamped to 0..1) along the table's colours in use:
// Colors[0] at 0, Colors[Count - 1] at 1, blended linearly in between;
// Colors[0] when fewer than two are in use.
Color GetGradationColor(const GradationTable& table, float position);

// GetGradationColor for the many values of one picture, with the interval
// bounds computed once.
class GradationPalette {
public:
    explicit GradationPalette(const GradationTable& table);
    // Pixels (QImage RGB32) of count values: back for a value without data,
    // else the colour at 1 - the value's ScalePosition on min..max.
    void PaintValues(const double* values, int count, double min, double max, std::uint32_t back,
                     std::uint32_t* pixels) const;

private:
    std::array<Color, GradationMaxColors> colors_;
    int intervals_;
    std::array<float, GradationMaxColors - 1> lowers_{};
    std::array<float, GradationMaxColors - 1> uppers_{};
    std::array<double, GradationMaxColors - 1> widths_{};  // upper - lower
    // Per interval and channel (numbered as Channel numbers them): the start, the distance
    // to the end as a double and whether the channel falls.
    std::array<std::array<int, 3>, GradationMaxColors - 1> starts_{};
    std::array<std::array<double, 3>, GradationMaxColors - 1> spans_{};
    std::array<std::array<int, 3>, GradationMaxColors - 1> falls_{};
};

// Position of value on the scale min..max: 0.5 when min equals max, else
// clamped to 0..1.
double ScalePosition(double value, double min, double max);

// Replaces the image with a bar of its own width and height (RGB32): row y has
// the colour of position (H - y) / H, so the top row is the maximum and the
// bottom row 1 / H. Ramp colours with ramp (the window passes the start-up
// set, which its colour maps use) when useRamp, otherwise the table's
// gradation.
void DrawColorBar(QImage& image, bool useRamp, const RampParameters& ramp, const GradationTable& table);
