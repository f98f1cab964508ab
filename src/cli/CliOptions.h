#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Codes.h"
#include "data/RandomData.h"
#include "render3d/View3DOptions.h"

// Command line of morvaplot-cli: COMMAND FILE [options], options before or
// after FILE, values as "--name value" or "--name=value", "--" ends options.
// The random command reads no FILE: "random [options] --out FILE.thk".
// Defaults are the designed defaults of the window's controls; every value is
// checked against the range the window's input pad allows for it.

enum class CliCommand { Stats, Grid, Fill, Table, Image, Contours, Roi, Random, View3D };

struct CliOptions {
    CliCommand Command = CliCommand::Stats;
    std::string File;
    bool Xyz = false;  // FILE holds X/Y/Z text as Paste takes it from the clipboard

    // Parameter labels hold texts; they are parsed as the window parses them.
    int CalcPitch = 20;
    std::string SearchRadText = "80.0";
    std::string AverageWeightText = "3.00";
    int MinDataCount = 1;
    bool RadOptimize = true;
    int SplineOrder = 3;

    DataKind DataType = DataKind::Raw;
    DrawKind DrawType = DrawKind::Colormap;
    std::string GradationFile;  // empty: hue ramp ("Colormap" ticked)
    bool RawRange = true;
    int BorderCount = 5;
    bool CopyColormap = false;
    std::string OutFile;

    int RoiX = 0;
    int RoiY = 0;
    int RoiSize = 10;
    bool RoiSquare = false;
    // A map pixel (--px, --py) instead of X, Y: converted as the window's
    // labels convert a click on the 301 x 301 map.
    bool RoiByPixel = false;
    int RoiPixelX = 0;
    int RoiPixelY = 0;
    int RoiFDigit = 2;
    // --copy: the Copy ROI text, with the pixel as ROI 1 and, when RoiSecond,
    // (RoiPixelX2, RoiPixelY2) as ROI 2.
    bool RoiCopy = false;
    bool RoiSecond = false;
    int RoiPixelX2 = 0;
    int RoiPixelY2 = 0;

    // The random data maker's fields, read as its dialog reads its labels.
    RandomDataSettings Random;

    // view3d: the 3D view's options in the window's units, and the picture size.
    View3DOptions View;
    int PictureWidth = 422;
    int PictureHeight = 274;
    std::optional<std::uint32_t> Seed;  // empty: taken from the clock
};

enum class ParseStatus {
    Run,    // options complete: run the command
    Help,   // text holds the usage to print on stdout (exit 0)
    Usage,  // text holds the usage error to print on stderr (exit 2)
};

struct ParseResult {
    ParseStatus Status = ParseStatus::Run;
    std::string Text;
};

// args are the arguments after the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args, CliOptions& options);

// The general usage, and the usage of one command with every option it takes.
std::string GeneralHelp();
std::string CommandHelp(CliCommand command);
