#pragma once

#include <memory>
#include <optional>
#include <utility>

#include "colour/ColorScale.h"
#include "core/Codes.h"
#include "core/Color.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"

class QImage;

// The main map picture (the window's Img_Colormap), painted the same way for
// the window and the batch tool.

inline constexpr int MapPictureSize = 301;

// The colour settings the picture depends on, at the controls' designed
// values: hue ramp on, black back colour, the black-to-white pair under
// contours, the start-up gradation and five contour levels.
// A colour scale the user holds fixed, so two maps give the same value the
// same colour; Min below Max.
struct FixedRange {
    double Min = 0.0;
    double Max = 0.0;
};

struct MapStyle {
    bool UseColormap = true;
    GradationTable Table = ColormapPreset();
    bool CopyColormap = false;
    Color BackColor = 0x000000;
    Color MinColor = 0x000000;
    Color MaxColor = 0xFFFFFF;
    DisplayCondition Condition{};
    int BorderCount = 5;  // contour levels
    // A fixed colour scale instead of the record's display range; values
    // beyond it take the end colours.
    std::optional<FixedRange> Range;
};

// A copy of record to draw on a fixed scale: every data value clamped into
// the range, Min and Max the range's (so the map, the bar's labels and the
// contour levels follow the range).
std::unique_ptr<ThkData> OnFixedRange(const ThkData& record, const FixedRange& range);

// Whether some data value of record lies below (first) or above (second) the
// range: the colour bar then marks that end as clipped.
std::pair<bool, bool> ClippedEnds(const ThkData& record, const FixedRange& range);

// The style the settings ask for, with table as the gradation (the committed
// colour set of the gradation dialog, or a loaded colour-setting file).
MapStyle MapStyleOf(const ViewSettings& settings, const GradationTable& table = ColormapPreset());

// Paints record into image (made 301 x 301 RGB32 when it is not): the
// contour map (lines in the drawing ramp set) or the colour map with the ramp
// set named by ramp.
void PaintMap(QImage& image, const ThkData& record, DrawKind draw, RampSetKind ramp, const MapStyle& style);
