#pragma once

// Python arguments turned into the engine's inputs, each checked once where
// it comes in: a value of the wrong type raises TypeError naming the
// argument, a value outside its limits ValueError with the limits' text.

#include <pybind11/pybind11.h>

#include <array>
#include <optional>
#include <string>

#include "analysis/Analysis.h"
#include "analysis/WaferGeometry.h"
#include "core/Codes.h"
#include "data/CsvImport.h"
#include "data/ViewSettings.h"
#include "session/ParameterLimits.h"

namespace py = pybind11;

// A file name given as str, bytes or os.PathLike, as the system's bytes (what
// os.fsencode gives); TypeError for anything else, ValueError("embedded null
// byte") for a name the system would cut short.
std::string PathArgument(const py::handle& path);

// A whole number (int or a numpy integer, not a bool) inside limit.
int WholeArgument(const char* name, const py::handle& value, const ParameterLimit& limit);

// A number (int, float or a numpy number, not a bool) inside limit, kept as
// the window keeps it: written with the parameter's decimals and read back.
double DecimalArgument(const char* name, const py::handle& value, const ParameterLimit& limit);

// True or False (a bool or a numpy bool).
bool FlagArgument(const char* name, const py::handle& value);

// The search radius as the window keeps it (a float of one decimal).
float RadiusArgument(const py::handle& value);

// "raw", "grid" or "fill"; "colormap" or "contour".
DataKind KindOf(const std::string& data);
DrawKind DrawOf(const std::string& draw);

// Session's keywords, in its order; every call that calculates takes them.
inline constexpr std::array<const char*, 9> SettingNames = {"pitch",     "radius",       "optimise",
                                                            "power",     "degree",       "min_count",
                                                            "raw_range", "border_count", "copy_colormap"};

// The settings a dict of Session's keywords asks for, over the window's
// defaults; a keyword given as None keeps its default. TypeError for a name
// that is not one of them; radius together with optimise=True is refused.
ViewSettings SettingsOf(const py::dict& settings);

// Sets one of Session's keywords (checked as SettingsOf checks it) in
// settings; setting radius turns the optimisation off.
void ApplySetting(ViewSettings& settings, const std::string& name, const py::handle& value);

// The import's options from read_csv's keywords: a column by header name
// (str) or 1-based number (int), None to find it by name; units "mm" or
// "cell"; the wafer's diameter in mm (0: the smallest that holds the points).
CsvImportOptions CsvOptions(const py::handle& x, const py::handle& y, const py::handle& z,
                            const std::string& units, const py::handle& wafer);

// A wafer, its fault refused with the command line's text for it.
WaferGeometry MakeWafer(double diameter, double edgeExclusion, std::optional<double> centreX,
                        std::optional<double> centreY);

// An analysis request over the wafer (every cell without one).
AnalysisRequest RequestOf(const std::optional<WaferGeometry>& wafer);
