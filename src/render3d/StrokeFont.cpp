#include "render3d/StrokeFont.h"

#include <array>

namespace {

constexpr std::array<GlyphSegment, 4> Zero{{{0, 0, 1, 0}, {1, 0, 1, -2}, {1, -2, 0, -2}, {0, -2, 0, 0}}};
constexpr std::array<GlyphSegment, 3> One{{{0, 0, 0.5f, 0}, {0.5f, 0, 0.5f, -2}, {0, -2, 1, -2}}};
constexpr std::array<GlyphSegment, 5> Two{
    {{0, 0, 1, 0}, {1, 0, 1, -1}, {1, -1, 0, -1}, {0, -1, 0, -2}, {0, -2, 1, -2}}};
constexpr std::array<GlyphSegment, 4> Three{{{0, 0, 1, 0}, {1, 0, 1, -2}, {0.5f, -1, 1, -1}, {0, -2, 1, -2}}};
constexpr std::array<GlyphSegment, 3> Four{{{0, 0, 0, -1}, {0, -1, 1, -1}, {1, 0, 1, -2}}};
constexpr std::array<GlyphSegment, 5> Five{
    {{0, 0, 1, 0}, {0, 0, 0, -1}, {0, -1, 1, -1}, {1, -1, 1, -2}, {0, -2, 1, -2}}};
constexpr std::array<GlyphSegment, 5> Six{
    {{0, 0, 1, 0}, {0, 0, 0, -2}, {0, -2, 1, -2}, {1, -1, 1, -2}, {0, -1, 1, -1}}};
constexpr std::array<GlyphSegment, 2> Seven{{{0, 0, 1, 0}, {1, 0, 1, -2}}};
constexpr std::array<GlyphSegment, 5> Eight{
    {{0, 0, 1, 0}, {0, 0, 0, -2}, {0, -2, 1, -2}, {1, 0, 1, -2}, {0, -1, 1, -1}}};
constexpr std::array<GlyphSegment, 5> Nine{
    {{0, 0, 1, 0}, {0, 0, 0, -1}, {0, -1, 1, -1}, {1, 0, 1, -2}, {0, -2, 1, -2}}};
constexpr std::array<GlyphSegment, 1> Minus{{{0, -1, 1, -1}}};
constexpr std::array<GlyphSegment, 4> Point{
    {{0.4f, -1.9f, 0.6f, -1.9f}, {0.4f, -1.9f, 0.4f, -2}, {0.4f, -2, 0.6f, -2}, {0.6f, -1.9f, 0.6f, -2}}};
constexpr std::array<GlyphSegment, 4> Exponent{
    {{0, 0, 1, 0}, {0, 0, 0, -2}, {0, -1, 0.5f, -1}, {0, -2, 1, -2}}};

}  // namespace

std::span<const GlyphSegment> StrokeGlyph(char c) {
    switch (c) {
        case '0':
            return Zero;
        case '1':
            return One;
        case '2':
            return Two;
        case '3':
            return Three;
        case '4':
            return Four;
        case '5':
            return Five;
        case '6':
            return Six;
        case '7':
            return Seven;
        case '8':
            return Eight;
        case '9':
            return Nine;
        case '-':
            return Minus;
        case '.':
            return Point;
        case 'E':
            return Exponent;
        default:
            return {};
    }
}
