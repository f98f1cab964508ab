#pragma once

#include <array>
#include <string>
#include <utility>

#include "core/Codes.h"
#include "core/Message.h"
#include "data/ThkData.h"
#include "roi/RoiStats.h"

// The arithmetic behind the two regions of interest on the map: how a map
// pixel becomes a data coordinate, where the outline and its three value
// labels go, their texts, the Copy ROI text and the pointer read-out.
//
// Pixels are map-image pixels (0, 0 at the image's top-left corner, Y down);
// width and height are the image's size in pixels (301 x 301 in the window);
// recordSize is the Size of the record whose coordinates are meant.

// The map image sits at (2, 2) in its panel: image pixel p is panel p + 2.
inline constexpr int RoiPanelOffset = 2;

// One ROI as Copy ROI measures it.
struct RoiPlacement {
    bool Shown = false;
    RoiShape Type = RoiShape::Circle;
    int Size = 0;    // radius of the circle, half side of the square
    int XIndex = 0;  // centre in data coordinates
    int YIndex = 0;
    int FDigit = 0;  // decimals of the copied values
    bool operator==(const RoiPlacement&) const = default;
};

// Coordinate units per pixel, recordSize / extent rounded to float; 0 for an
// empty extent.
float RoiScale(int recordSize, int extent);

// The centre coordinate the labels measure: the pixel times RoiScale, the
// product rounded to float and then truncated toward zero. At an exact
// boundary this is one below RoiCopyIndex (Size 105: pixel 43 gives 14 here,
// 15 there).
int RoiDisplayIndex(int pixel, int recordSize, int extent);

// The centre coordinate Copy ROI measures: trunc(pixel * recordSize / extent)
// in exact integer arithmetic; 0 for an empty extent.
int RoiCopyIndex(int pixel, int recordSize, int extent);

// The ROI's radius in pixels (float): roiSize / RoiScale(recordSize, width),
// or roiSize itself when that scale is not positive. Both directions use the
// horizontal scale.
float RoiPixelRadius(int roiSize, int recordSize, int width);

// Fills both placements for Copy ROI: Shown, Type, Size and FDigit copied
// from the arrays, and for a shown ROI its centre by RoiCopyIndex (others
// keep 0). When no ROI is shown, shows "ROI area not selected!" and returns
// false.
bool CollectRoiPlacements(const std::array<bool, 2>& shown, const std::array<int, 2>& pixelX,
                          const std::array<int, 2>& pixelY, const std::array<RoiShape, 2>& type,
                          const std::array<int, 2>& size, const std::array<int, 2>& fDigit, int recordSize,
                          int width, int height, std::array<RoiPlacement, 2>& placements,
                          const MessageSink& messages);

// The three value label captions of an ROI: "Min: ", "Max: " and "Mean: "
// followed by the value with fDigit decimals and 7 significant digits
// (FormatFixed) when count > 0, else by "-----".
struct RoiLabelTexts {
    std::string Min;
    std::string Max;
    std::string Mean;
};
RoiLabelTexts RoiLabelCaptions(int count, const RoiStats& stats, int fDigit);

// The Copy ROI text (tab-separated when separator is "\t"), measured on the
// Fill record: a header line of two separators, then the record's Name and a
// separator when it is Valid; then for each shown ROI one line per "Min",
// "Max" and "Mean": "ROI<n>", the separator's first character, the name, that
// character, and (when the record is Valid) the value divided by the record's
// Divisor (1 when the Divisor is 0) with FDigit decimals ("---.--" when the
// region holds no data cell), followed by that character. Decimal points are
// '.' whatever the locale. With no ROI shown, shows "ROI area(s) are not
// selected." and returns an empty text.
std::string BuildRoiText(const std::array<RoiPlacement, 2>& placements, const std::string& separator,
                         const ThkData& fill, const MessageSink& messages);

// The read-out's data coordinates of a pixel: px * (recordSize + 1) / width
// and py * (recordSize + 1) / height, each rounded to float and clamped to
// 0..recordSize (so the last coordinate of a 301-pixel image at Size 500 is
// 499.33, never 500).
std::pair<float, float> PixelToData(int width, int height, int px, int py, int recordSize);

// The pointer read-out's three texts for a pixel: the truncated coordinates
// of PixelToData and the value there with 3 decimals (8 significant digits),
// or "---.---" for an empty cell; "---", "---" and "---.---" when the record
// is not Valid.
struct CursorTexts {
    std::string X;
    std::string Y;
    std::string Data;
};
CursorTexts CursorReadout(const ThkData& record, int width, int height, int px, int py);

struct RoiRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const RoiRect&) const = default;
};

struct RoiPoint {
    int Left = 0;
    int Top = 0;
    bool operator==(const RoiPoint&) const = default;
};

// Where an ROI's outline and its labels go, in panel coordinates.
struct RoiLayout {
    RoiRect Outline;  // square bounding box of the circle or square
    RoiPoint MinLabel;
    RoiPoint MaxLabel;
    RoiPoint MeanLabel;
    bool operator==(const RoiLayout&) const = default;
};

// Lays out the ROI centred on pixel (x, y) of a width x height image. With r
// the RoiPixelRadius: the outline is trunc(x - r), trunc(y - r) with side
// trunc(2r + 1). The labels stand in a column 8 pixels right of the outline,
// or left of it when the wider of the Max and Mean labels would end past the
// image's right edge; the Max label is centred on y (labelHeight / 2 in
// integer division), Min above it and Mean below, and the column moves down
// so the Min label starts at image row 2 at the least, or else up so the
// Mean label ends at the image's bottom at the most.
RoiLayout LayoutRoi(int x, int y, int roiSize, int recordSize, int width, int height, int maxLabelWidth,
                    int meanLabelWidth, int labelHeight);
