#pragma once

#include <span>

// The built-in stroke font of the value labels. A glyph cell is 1 wide and 2
// high, with y = 0 at the top and y = -2 at the bottom; every glyph is a list
// of separate line segments.

struct GlyphSegment {
    float X0, Y0, X1, Y1;
};

// The segments of character c: the digits, '-', '.' and 'E'. Any other
// character has no glyph (an empty list).
std::span<const GlyphSegment> StrokeGlyph(char c);
