#pragma once

#include "core/Codes.h"
#include "data/ViewSettings.h"

// One drawing of the map, as the flow decides it.
struct MapPlan {
    DataKind Shown = DataKind::Raw;  // whose record is drawn (Raw when nothing is selected)
    DrawKind Draw = DrawKind::Colormap;
    // The hue-ramp set the drawing uses: the start-up set for colour maps, so
    // they always match the colour bar; the drawing set for contour lines.
    RampSetKind Ramp = RampSetKind::Startup;
    // A full redraw also writes the scale labels and lays out the ROIs; a
    // contour redraw (border count, Copy Colormap) paints the contour map and
    // its labels only.
    bool Full = true;

    bool operator==(const MapPlan&) const = default;
};

// The full drawing the settings ask for: the selected data type (Raw when
// none is), as contour lines only when Fill is shown with the contour draw
// type.
MapPlan PlanMap(const ViewSettings& settings);
