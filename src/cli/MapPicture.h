#pragma once

#include <string>

#include "cli/BatchSession.h"
#include "colour/ColorScale.h"
#include "core/Color.h"

class QImage;

// The map picture of the window (Img_Colormap, 301 x 301) for a session's
// state, and writing it as a PNG file.

inline constexpr int MapPictureSize = 301;

// The colour settings of the window that the picture depends on, at their
// designed defaults: ramp on, black back colour and the hidden black-to-white
// pair under contours.
struct MapStyle {
    bool UseColormap = true;
    GradationTable Table = ColormapPreset();
    bool CopyColormap = false;
    Color BackColor = 0x000000;
    Color MinColor = 0x000000;
    Color MaxColor = 0xFFFFFF;
};

// Runs the session's redraw and paints what it paints: the contour map for
// Fill data with the contour draw type, otherwise the colour map of the shown
// record. The image becomes a 301 x 301 RGB32 picture.
void PaintRedraw(BatchSession& session, const MapStyle& style, QImage& image);

// Writes the image as PNG through a temporary file that replaces fileName only
// when complete. Returns 1, or -1 with the reason in error.
int WritePng(const QImage& image, const std::string& fileName, std::string& error);
