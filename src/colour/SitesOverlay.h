#pragma once

#include "colour/MapPicture.h"
#include "core/Codes.h"
#include "data/ThkData.h"

class QImage;

// Markers for the data cells a colour map cannot show. The colour map gives
// each pixel the one cell it samples (cell = trunc(pixel x (Size + 1) / W),
// the scale held in single precision), so at a Size above W - 1 whole columns
// and rows of cells fall between pixels and are never drawn. PaintSites marks
// each such cell that holds data ("missed": its column or its row is sampled
// by no pixel) over the picture of the same record.

// Side of a marker's dot and the width of the rim around it, in pixels.
inline constexpr int SiteDotSide = 3;
inline constexpr int SiteRimWidth = 1;

// The rim colour that stands out against a dot colour: black around a light
// colour, white around a dark one (luma 0.299 R + 0.587 G + 0.114 B, light
// from 128 up).
Color SiteRimColor(Color dot);

// Paints a marker for every missed cell of record (cells 0..Size on both
// axes, at most 500) that holds data and passes style's display condition:
// a SiteDotSide square in the colour the map gives the value (same ramp set,
// gradation, display range Min..Max and condition as PaintMap's colour map)
// centred on the pixel whose sampling block holds the cell (the last pixel
// sampling a cell at or before it, on each axis), inside a SiteRimWidth rim
// of SiteRimColor. All rims are painted before all dots, so markers that
// touch merge into one patch instead of cutting into each other. Only those
// pixels change, clipped to the picture; the picture keeps its size (its
// width and height are the map's W and H) and a 32-bit format, so a
// transparent ARGB picture becomes an overlay for the map. A picture of
// another format is converted to ARGB32 premultiplied first. Returns the
// number of markers painted.
int PaintSites(QImage& picture, const ThkData& record, RampSetKind ramp, const MapStyle& style);
