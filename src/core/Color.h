#pragma once

#include <cstdint>

// Colours are 32-bit integers laid out 0x00BBGGRR: red in the low byte, then
// green, then blue. Text files store them as decimal integers.
using Color = std::uint32_t;

constexpr int ColorRed(Color c) {
    return static_cast<int>(c & 0xFFu);
}
constexpr int ColorGreen(Color c) {
    return static_cast<int>((c >> 8) & 0xFFu);
}
constexpr int ColorBlue(Color c) {
    return static_cast<int>((c >> 16) & 0xFFu);
}

constexpr Color MakeColor(int red, int green, int blue) {
    return static_cast<Color>(red) | (static_cast<Color>(green) << 8) | (static_cast<Color>(blue) << 16);
}

// 0xAARRGGBB as used by QImage::Format_RGB32 pixels (alpha forced opaque).
constexpr std::uint32_t ColorToArgb(Color c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(ColorRed(c)) << 16) |
           (static_cast<std::uint32_t>(ColorGreen(c)) << 8) | static_cast<std::uint32_t>(ColorBlue(c));
}

constexpr Color ArgbToColor(std::uint32_t argb) {
    return MakeColor(static_cast<int>((argb >> 16) & 0xFFu), static_cast<int>((argb >> 8) & 0xFFu),
                     static_cast<int>(argb & 0xFFu));
}
