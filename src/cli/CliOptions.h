#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Levelling.h"
#include "analysis/RecordDifference.h"
#include "colour/DifferenceScale.h"
#include "core/Codes.h"
#include "data/CsvImport.h"
#include "data/RandomData.h"
#include "render3d/View3DOptions.h"
#include "session/Surface.h"

// Command line of morvaplot-cli: COMMAND FILE [options], options before or
// after FILE, values as "--name value" or "--name=value", "--" ends options.
// The random command reads no FILE: "random [options] --out FILE.thk"; diff
// reads two: "diff A B [options] --out DIFF.png|svg|pdf|csv"; report reads one or
// more: "report FILES... --out REPORT.pdf [options]".
// Defaults are the designed defaults of the window's controls; every value is
// checked against the range the window's input pad allows for it.

enum class CliCommand {
    Stats,
    Grid,
    Fill,
    Table,
    Image,
    Contours,
    Roi,
    Random,
    View3D,
    Analyze,
    Diff,
    Report
};

// What analyze lists after the statistics.
enum class CliProfile { None, X, Y, Radial, Line };

struct CliOptions {
    CliCommand Command = CliCommand::Stats;
    std::string File;
    std::string File2;  // diff: B
    // report: every FILE in the order given (File is the first of them).
    std::vector<std::string> Files;
    bool Xyz = false;  // FILE holds X/Y/Z text as Paste takes it from the clipboard

    // FILE holds a delimited table (--csv), read with these options; its
    // Diameter is the wafer diameter (--wafer, also the analysis wafer).
    bool Csv = false;
    CsvImportOptions CsvOptions;

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

    // analyze and report (and the wafer of table --format csv and diff's CSV): the
    // wafer, its edge exclusion and centre, in mm and file units; the
    // diameter is CsvOptions.Diameter's.
    double EdgeMm = 0.0;
    std::optional<double> CentreX;
    std::optional<double> CentreY;
    CliProfile Profile = CliProfile::None;
    double LineX0 = 0.0;  // --profile X0,Y0,X1,Y1 in file units
    double LineY0 = 0.0;
    double LineX1 = 0.0;
    double LineY1 = 0.0;
    int HistogramBins = 0;  // 0: no histogram
    bool Json = false;

    // analyze and image: the surface shown as the fill (a
    // smooth one makes --data fill).
    SurfaceChoice Surface;
    bool SurfaceGiven = false;  // analyze then reports the surface's overshoot
    // analyze: the residual of every site (leave-one-out for the spline and
    // the thin-plate spline, the fit's for Zernike), the cross-validation
    // curve of the search radius, and the levelling taken out first.
    bool Residuals = false;
    bool RadiusScan = false;
    double ScanFrom = 0.0;
    double ScanTo = 0.0;
    double ScanStep = 0.0;
    LevelKind Level = LevelKind::None;

    bool TableCsv = false;  // table --format csv
    bool Sites = false;     // image --sites

    // image, report, diff --range: a fixed colour scale; report --shared-range:
    // one scale over every file's values.
    bool Range = false;
    double RangeMin = 0.0;
    double RangeMax = 0.0;
    bool SharedRange = false;

    // report --summary: the CSV file of the summary rows (empty: none).
    std::string SummaryFile;

    // diff: which file is subtracted, and the time that makes it a rate (0: none).
    DifferenceOrder Order = DifferenceOrder::FirstMinusSecond;
    double RateTime = 0.0;
    // diff: the CSV of the sites paired site by site (empty: none), and how the
    // picture colours the difference.
    std::string SitesFile;
    DifferenceScale Scale = DifferenceScale::Auto;

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

// Whether diff writes CSV text (its --out ends in .csv, any case) rather than
// a PNG picture.
bool DiffWritesCsv(const CliOptions& options);

// args are the arguments after the program name.
ParseResult ParseCommandLine(const std::vector<std::string>& args, CliOptions& options);

// The general usage, and the usage of one command with every option it takes.
std::string GeneralHelp();
std::string CommandHelp(CliCommand command);
