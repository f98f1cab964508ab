#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <span>
#include <sstream>
#include <type_traits>

#include "analysis/Analysis.h"
#include "analysis/WaferGeometry.h"
#include "cli/OptionRows.h"
#include "core/NumberText.h"
#include "data/ThkData.h"
#include "session/ParameterLimits.h"

namespace {

namespace L = ParameterLimits;
using C = CliCommand;
using O = CliOptions;

struct CommandRow {
    const char* Name;
    CliCommand Command;
    const char* Usage;    // the usage line's arguments; "--out F" when the command needs it
    const char* Summary;  // the general help's line
};

constexpr CommandRow Commands[] = {
    {"stats", C::Stats, "FILE", "statistics of the file as read"},
    {"grid", C::Grid, "FILE", "search radius and every grid node after Calc"},
    {"fill", C::Fill, "FILE", "search radius and every filled cell after Fill"},
    {"table", C::Table, "FILE", "the data table text that Copy Data puts on the clipboard"},
    {"image", C::Image, "FILE --out MAP.png", "the 301 x 301 map as a PNG file"},
    {"contours", C::Contours, "FILE", "contour levels and traced lines of the filled surface"},
    {"roi", C::Roi, "FILE (--x X --y Y | --px PX --py PY)", "count, minimum, maximum and mean in a region"},
    {"random", C::Random, "--out FILE.thk", "random test data written as a .thk file (reads no FILE)"},
    {"view3d", C::View3D, "FILE --out PICTURE.png", "the filled surface as the 3D view draws it, as PNG"},
    {"analyze", C::Analyze, "FILE", "statistics inside a wafer, profiles and a histogram"},
    {"diff", C::Diff, "A B --out DIFF.png|svg|pdf or DIFF.csv",
     "the difference (or rate) of two fills, as a picture or CSV"},
    {"report", C::Report, "FILES... --out REPORT.pdf",
     "a PDF with a page per file and summary pages (and CSV)"},
};

using namespace cli_table;
constexpr CommandSet ReadsFile = Only(C::Report) * 2 - 1 - Only(C::Random);  // Report is the last
constexpr CommandSet Calculates = ReadsFile - Only(C::Stats);

// Ranges of the options the window's input pad does not limit.
constexpr ParameterLimit Coordinate{"Coordinate", 0, ThkMaxSize, 3, 0};
constexpr ParameterLimit MapPixel{"MapPixel", 0, 300, 3, 0};  // the 301 x 301 map
constexpr ParameterLimit PictureSide{"PictureSide", 16, 4096, 4, 0};

// A value as the input pad shows it ("2", "200.0"), and a range of them.
std::string LimitText(const ParameterLimit& limit, double value) {
    char text[32];
    return {text, std::to_chars(text, std::end(text), value, std::chars_format::fixed, limit.Decimals).ptr};
}
std::string RangeText(const ParameterLimit& limit) {
    return LimitText(limit, limit.Min) + " to " + LimitText(limit, limit.Max);
}

constexpr std::size_t Any = std::string::npos;  // as many decimals as typed
// A number as the input pad lets it be typed: a minus sign when allowed, then digits
// with at most one point and `decimals` digits after it; no exponent; C locale.
bool ParseNumber(const std::string& text, bool allowSign, std::size_t decimals, double& value) {
    const std::string body = text.substr(allowSign && text.starts_with('-') ? 1 : 0);
    const auto point = body.find('.');
    const auto digits = std::count_if(body.begin(), body.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits == 0 || digits + (point != body.npos) != static_cast<long>(body.size()) ||
        (point != body.npos && body.size() - point - 1 > decimals))
        return false;
    value = std::strtod(text.c_str(), nullptr);
    return std::isfinite(value);  // hundreds of digits overflow
}

// Numbers separated by commas ("X,Y"), each with an optional minus sign.
bool ParseNumbers(const std::string& text, std::initializer_list<double*> values) {
    std::istringstream fields(text);
    std::string field;
    for (double* value : values)
        if (!std::getline(fields, field, ',') || !ParseNumber(field, true, Any, *value)) return false;
    return fields.peek() == EOF && !text.ends_with(',');
}

// A whole number (decimals 0) or one with at most `decimals` decimals, signed
// where the limit goes below 0; tenths have 1 to 6 digits before the point.
bool ReadNumber(const std::string& text, const ParameterLimit& limit, std::size_t decimals, double& value) {
    long long whole = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
    value = static_cast<double>(whole);
    if (decimals == 0) return error == std::errc() && end == text.data() + text.size() && limit.Holds(value);
    const std::size_t sign = text.starts_with('-'), point = std::min(text.find('.'), text.size());
    if (decimals == 1 && (point == sign || point > sign + 6 || text.ends_with('.'))) return false;
    return ParseNumber(text, limit.Min < 0.0, decimals, value) && limit.Holds(value);
}

// The field of the options a chain of members leads to.
template <auto First, auto... Rest>
constexpr auto& Field(O& options) {
    return ((options.*First).*....*Rest);
}

// A number within its limit, kept in an int (tenths for one decimal), a
// double, a label's text (with the limit's decimals, as the input pad writes it
// back) or the seed; the help adds the range and the default.
template <typename T>
OptionRow Number(const char* name, const ParameterLimit& limit, T& (*field)(O&), const char* help,
                 std::size_t decimals = 0) {
    const std::string kind = decimals == 0 ? "integer" : "number";
    const std::string range = RangeText(limit) + (decimals == 3 ? " with at most 3 decimals" : "");
    const double unit = std::is_same_v<T, int> && decimals == 1 ? 10.0 : 1.0;  // tenths
    O defaults;
    std::string shown;
    if constexpr (std::is_same_v<T, std::string>)
        shown = field(defaults);
    else if constexpr (std::is_arithmetic_v<T>)
        if (limit.Holds(field(defaults) / unit)) shown = LimitText(limit, field(defaults) / unit);
    return {name, decimals == 0 ? "INT" : "NUMBER",
            help + ("\n" + kind + " " + range + (shown.empty() ? "" : ", default " + shown)),
            "must be " + std::string(decimals == 0 ? "an " : "a ") + kind + " from " + range,
            [=](const std::string& text, O& options) {
                double value = 0.0;
                if (!ReadNumber(text, limit, decimals, value)) return false;
                if constexpr (std::is_same_v<T, std::string>)
                    field(options) = FormatFixed(value, limit.Digits, limit.Decimals);
                else if constexpr (std::is_arithmetic_v<T>)
                    field(options) = static_cast<T>(unit == 1.0 ? value : std::round(value * unit));
                else if (text.starts_with('-'))  // the seed is read unsigned, so "-0" too is refused
                    return false;
                else
                    field(options) = static_cast<std::uint32_t>(value);
                return true;
            }};
}

template <typename T>
OptionRow Flag(const char* name, T& (*field)(O&), T set, const char* help) {
    return {name, "", help, "", [=](const std::string&, O& options) { return (field(options) = set, true); }};
}

// A file name or a column: any text but an empty one.
OptionRow Text(const char* name, std::string& (*field)(O&), const char* rule, const char* help) {
    return {name, "TEXT", help, rule, [=](const std::string& text, O& options) {
                return !text.empty() && (field(options) = text, true);
            }};
}

// One of a few words, or else what `other` takes.
template <typename T>
OptionRow Choice(const char* name, T& (*field)(O&), std::vector<std::pair<std::string, T>> words,
                 const std::string& rule, const char* help, const Store& other = {}) {
    return {name, "WORD", help, "must be " + rule, [=](const std::string& text, O& options) {
                for (const auto& [word, value] : words)
                    if (text == word) return (field(options) = value, true);
                return other && other(text, options);
            }};
}

// Every option under the commands that take it, in the help's order; built
// once, on the first command line, and only read after.
std::span<const Section> OptionTable() {
    using P = CliProfile;
    using R = RandomDataSettings;
    using V = View3DOptions;
    using Csv = CsvImportOptions;
    const OptionRow degree = Number("--order", L::SplineOrder, Field<&O::SplineOrder>, "spline degree");
    const Store line = [](const std::string& text, O& o) {
        return ParseNumbers(text, {&o.LineX0, &o.LineY0, &o.LineX1, &o.LineY1}) &&
               (o.Profile = P::Line, true);
    };
    const Store centre = [](const std::string& text, O& o) {
        double x = 0.0, y = 0.0;
        if (!ParseNumbers(text, {&x, &y}) || !Coordinate.Holds(x) || !Coordinate.Holds(y)) return false;
        std::tie(o.CentreX, o.CentreY) = std::pair(x, y);
        return true;
    };
    static const Section base[] = {
        {Only(C::Image, C::Random, C::View3D, C::Diff, C::Report),
         {Text("--out", Field<&O::OutFile>, "needs a file name", "the file to write (required)")}},
        {Only(C::Table, C::Image, C::Roi, C::Analyze, C::Report),
         {Choice("--data", Field<&O::DataType>,
                 {{"raw", DataKind::Raw}, {"grid", DataKind::Grid}, {"fill", DataKind::Fill}},
                 "raw, grid or fill", "raw (default), grid (Calc) or fill (Calc, Fill)")}},
        {Only(C::Table),
         {Choice("--format", Field<&O::TableCsv>, {{"text", false}, {"csv", true}}, "text or csv",
                 "text (default) or csv")}},
        {Only(C::Image),
         {Choice("--draw", Field<&O::DrawType>,
                 {{"colormap", DrawKind::Colormap}, {"contour", DrawKind::Contour}}, "colormap or contour",
                 "colormap (default) or contour"),
          Flag("--copy-colormap", Field<&O::CopyColormap>, true, "contours over a black-to-white map"),
          Flag("--sites", Field<&O::Sites>, true, "dot the data cells the map's sampling misses")}},
        {Only(C::Image, C::Report),
         {Text("--gradation", Field<&O::GradationFile>, "needs a file name", "colour-setting file to use")}},
        {Only(C::Image, C::Contours),
         {Number("--borders", L::BorderCount, Field<&O::BorderCount>, "number of contour levels")}},
        {Only(C::Image, C::Contours, C::Report),
         {Flag("--no-raw-range", Field<&O::RawRange>, false, "scale on the data's own range")}},
        {Only(C::Roi),
         {Number("--x", Coordinate, Field<&O::RoiX>, "centre X in data coordinates"),
          Number("--y", Coordinate, Field<&O::RoiY>, "centre Y in data coordinates"),
          Number("--px", MapPixel, Field<&O::RoiPixelX>, "centre X as a pixel of the map"),
          Number("--py", MapPixel, Field<&O::RoiPixelY>, "centre Y as a pixel of the map"),
          Number("--px2", MapPixel, Field<&O::RoiPixelX2>, "pixel X of ROI 2, with --copy"),
          Number("--py2", MapPixel, Field<&O::RoiPixelY2>, "pixel Y of ROI 2, with --copy"),
          Number("--size", L::RoiSize, Field<&O::RoiSize>, "radius or half side"),
          Number("--fdigit", L::RoiFDigit, Field<&O::RoiFDigit>, "decimals of the labels"),
          Flag("--square", Field<&O::RoiSquare>, true, "a square region instead of a circle"),
          Flag("--copy", Field<&O::RoiCopy>, true, "print the Copy ROI text instead")}},
        {Only(C::Analyze, C::Report),
         {{"--edge", "NUMBER", "edge exclusion in mm", "must be a number of 0 or more",
           [](const std::string& text, O& o) { return ParseNumber(text, false, Any, o.EdgeMm); }},
          {"--center", "X,Y", "wafer centre, 0 to 500", "must be X,Y with numbers from 0 to 500", centre}}},
        {Only(C::Analyze),
         {Choice("--profile", Field<&O::Profile>, {{"x", P::X}, {"y", P::Y}, {"radial", P::Radial}},
                 "x, y, radial or X0,Y0,X1,Y1", "x, y, radial or the line X0,Y0,X1,Y1", line),
          Number("--histogram", {"", MinHistogramBins, MaxHistogramBins, 5, 0}, Field<&O::HistogramBins>,
                 "bins of the histogram"),
          Flag("--json", Field<&O::Json>, true, "one JSON document instead")}},
        {Only(C::Report),
         {Text("--summary", Field<&O::SummaryFile>, "needs a file name", "a summary CSV too")}},
        {Only(C::Diff),
         {{"--rate-time", "NUMBER", "time from A to B, for a rate", "must be a number above 0",
           [](const std::string& t, O& o) {
               return ParseNumber(t, false, Any, o.RateTime) && o.RateTime > 0;
           }},
          Choice("--order", Field<&O::Order>,
                 {{"a-b", DifferenceOrder::FirstMinusSecond}, {"b-a", DifferenceOrder::SecondMinusFirst}},
                 "a-b, b-a or an integer from " + RangeText(L::SplineOrder),
                 "a-b (default) or b-a, or the spline degree", degree.Keep)}},
        {Only(C::Random),
         {Number("--size", L::DataSize, Field<&O::Random, &R::Size>, "side of the area"),
          Number("--count", L::DataCount, Field<&O::Random, &R::Count>, "number of points"),
          Number("--check", L::CheckRadius, Field<&O::Random, &R::CheckRadius>, "half side kept free"),
          Number("--base", L::DataBase, Field<&O::Random, &R::Base>, "base value", 3),
          Number("--width", L::RandomWidth, Field<&O::Random, &R::Width>, "random width", 3),
          Number("--seed", {"", 0, 4294967295.0, 10, 0}, Field<&O::Seed>, "seed (default from the clock)")}},
        {Only(C::View3D),
         {Number("--width", PictureSide, Field<&O::PictureWidth>, "picture width"),
          Number("--height", PictureSide, Field<&O::PictureHeight>, "picture height"),
          Number("--x-angle", {"", 0.0, 90.0, 4, 1}, Field<&O::View, &V::XAngleTenths>, "tilt (degrees)", 1),
          Number("--z-angle", {"", -180.0, 180.0, 6, 1}, Field<&O::View, &V::ZAngleTenths>, "turn (degrees)",
                 1),
          Number("--ratio", {"", 0.0, 10.0, 4, 1}, Field<&O::View, &V::RatioTenths>, "height ratio", 1),
          Number("--zoom", {"", 0, 1000, 4, 0}, Field<&O::View, &V::Zoom>, "zoom in percent"),
          Number("--draw-pitch", {"", 1, 50, 2, 0}, Field<&O::View, &V::DrawPitch>, "grid step"),
          Flag("--wire", Field<&O::View, &V::DrawType>, Draw3DType::Wire, "a wire surface, not planes")}},
        {Calculates,
         {Number("--pitch", L::CalcPitch, Field<&O::CalcPitch>, "calculation pitch"),
          Number("--radius", L::SearchRad, Field<&O::SearchRadText>, "search radius, not optimised", Any),
          Number("--min-count", L::MinDataCount, Field<&O::MinDataCount>, "data cells a node needs"),
          Number("--power", L::AverageWeight, Field<&O::AverageWeightText>, "inverse-distance power", Any),
          Flag("--optimize", Field<&O::RadOptimize>, true, "optimise the search radius (default)")}},
        {Calculates - Only(C::Grid, C::Diff), {degree}},  // diff's --order is its own
        {ReadsFile - Only(C::Report),
         {Flag("--xyz", Field<&O::Xyz>, true, "FILE holds X/Y/Z text, as Paste takes it")}},
        {ReadsFile,
         {Flag("--csv", Field<&O::Csv>, true, "FILE is a delimited table"),
          Text("--x-col", Field<&O::CsvOptions, &Csv::XColumn>, "needs a column name or number", "X column"),
          Text("--y-col", Field<&O::CsvOptions, &Csv::YColumn>, "needs a column name or number", "Y column"),
          Text("--z-col", Field<&O::CsvOptions, &Csv::ZColumn>, "needs a column name or number", "Z column"),
          Choice("--units", Field<&O::CsvOptions, &Csv::Units>,
                 {{"mm", CsvUnits::Millimetres}, {"cell", CsvUnits::Cells}}, "mm or cell",
                 "X and Y in mm (default) or cells"),
          Number("--wafer", {"", 0.0, MaxWaferDiameterMm, 5, 0}, Field<&O::CsvOptions, &Csv::Diameter>,
                 "wafer diameter in mm", Any)}},
    };
    static const std::vector<Section> table = [] {
        std::vector<Section> all(std::begin(base), std::end(base));
        for (Section& section : SurfaceSections())
            all.push_back(std::move(section));
        for (Section& section : DiffSections())
            all.push_back(std::move(section));
        return all;
    }();
    return table;
}

// CLI11 reads "--name=" as "--name" and takes the next argument as the value,
// and lets a flag take one ("--json=true"). Here everything after the "=" is
// the value, even nothing, and a flag takes none: CLI11 gets a mark no
// argument can hold after the "=", and values and files lose it again.
constexpr char InlineMark = '\0';

std::string Unmark(std::string text) {
    std::erase(text, InlineMark);
    return text;
}

// Whether a file name ends in the extension (".png", lower case), in any case.
bool HasExtension(const std::string& name, const std::string& extension) {
    return name.size() > extension.size() &&
           std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                      [](char e, char n) { return e == std::tolower(static_cast<unsigned char>(n)); });
}

// command: the command whose help the text points to; empty for the general help.
ParseResult Usage(const std::string& what, const std::string& command) {
    return {ParseStatus::Usage, "morvaplot-cli: " + what + "\nTry 'morvaplot-cli " + command +
                                    (command.empty() ? "" : " ") + "--help'.\n"};
}

// One command's arguments, read by CLI11 with the command's options. The first
// usage error or help request in argument order wins: each value is checked as
// CLI11 reaches it, after the arguments CLI11 left over before it.
class CommandLine {
public:
    CommandLine(const CommandRow& command, O& options) : command_(command), options_(options) {
        app_.set_help_flag();  // help is answered in its place among the arguments
        app_.allow_extras();   // files, "--" and unknown options, in their order
        app_.footer(std::string("The ") + command.Name + " command: " + command.Summary + ".");
        app_.get_formatter()->column_width(18);
        for (const auto& [takes, rows] : table_) {
            if (!(takes & Only(command.Command))) continue;
            const char* group = takes & Only(C::Stats)  ? "Input options"  // all that stats takes
                                : takes & Only(C::Fill) ? "Grid and fill options"
                                                        : "Options";
            for (const OptionRow& row : rows) {
                CLI::Option* option = row.Value.empty()
                                          ? app_.add_flag(row.Name, row.Help)
                                          : app_.add_option(row.Name, row.Help)->type_name(row.Value);
                option->group(group)->trigger_on_parse()->each(
                    [this, &row](const std::string& value) { Take(row, value); });
            }
        }
    }

    std::string Help() const {
        const std::string usage = std::string("morvaplot-cli ") + command_.Name + " " + command_.Usage;
        return app_.get_formatter()->make_help(&app_, usage, CLI::AppFormatMode::Normal);
    }

    ParseResult Parse(const std::vector<std::string>& args) {
        std::vector<std::string> marked(args.rbegin(), args.rend());  // CLI11 reads them from the back
        for (std::string& arg : marked)
            if (const auto eq = arg.find('='); arg.starts_with("--") && eq != arg.npos)
                arg.insert(eq + 1, 1, InlineMark);
        try {
            app_.parse(marked);
        } catch (const CLI::ParseError&) {
            // All CLI11 refuses here: the last argument, an option, lacks its value.
            TakeLeftOvers();
            Finish(Usage(args.back() + " needs a value", command_.Name));
        }
        TakeLeftOvers();
        Finish(CheckTogether());
        return *outcome_;
    }

private:
    void Finish(ParseResult result) {
        if (!outcome_) outcome_ = std::move(result);
    }

    // Goes on through the arguments CLI11 left over, in their order: files, the
    // "--" that ends the options (the first one left: CLI11 takes an option's
    // value), help, and before it anything starting with "-", an unknown option.
    void TakeLeftOvers() {
        const std::vector<std::string> left = app_.remaining();
        for (; looked_ < left.size() && !outcome_; ++looked_) {
            const std::string arg = Unmark(left[looked_]);
            const std::string name = arg.substr(0, arg.starts_with("--") ? arg.find('=') : arg.npos);
            if (optionsEnded_ || arg.size() < 2 || arg[0] != '-') {
                const CliCommand c = command_.Command;
                if (c == C::Report) options_.Files.push_back(arg);
                if (++files_ == 1 && c != C::Random)
                    options_.File = arg;
                else if (files_ == 2 && c == C::Diff)
                    options_.File2 = arg;
                else if (c != C::Report)
                    Finish(Usage("unexpected argument '" + arg + "'", command_.Name));
            } else if (arg == "--")
                optionsEnded_ = true;
            else if (arg == "--help" || arg == "-h")
                Finish({ParseStatus::Help, CommandHelp(command_.Command)});
            else
                Finish(Usage("unknown option '" + name + "' for " + command_.Name, command_.Name));
        }
    }

    void Take(const OptionRow& row, const std::string& value) {
        TakeLeftOvers();
        if (outcome_) return;
        if (row.Name.ends_with("-col") || row.Name == "--units") csvOption_ = row.Name;  // these need --csv
        if (row.Value.empty() && value.find(InlineMark) != value.npos)
            Finish(Usage(row.Name + " takes no value", command_.Name));
        else if (!row.Keep(Unmark(value), options_))
            Finish(Usage(row.Name + " " + row.Rule, command_.Name));
    }

    bool Given(const std::string& name) const {
        return app_.get_option_no_throw(name) != nullptr && app_.get_option_no_throw(name)->count() > 0;
    }

    // The rules between options and what each command needs; the first one
    // broken is the usage error.
    ParseResult CheckTogether() {
        O& o = options_;
        const CliCommand c = command_.Command;
        const bool x = Given("--x"), y = Given("--y"), px = Given("--px"), py = Given("--py");
        const bool px2 = Given("--px2"), py2 = Given("--py2"), roi = c == C::Roi;
        const std::string_view usage = command_.Usage,
                               out = usage.substr(std::min(usage.find("--out"), usage.size()));
        const std::pair<bool, std::string> rules[] = {
            {Given("--radius") && Given("--optimize"), "--radius and --optimize exclude each other"},
            {c == C::Diff && files_ < 2, "diff needs two files, A and B"},
            {files_ == 0 && c != C::Random, "missing FILE argument"},
            {o.Xyz && o.Csv, "--xyz and --csv exclude each other"},
            {!csvOption_.empty() && !o.Csv, csvOption_ + " needs --csv"},
            // The diameter places a table, and is the wafer of figures and mm columns.
            {Given("--wafer") && !o.Csv && !(Only(c) & Only(C::Analyze, C::Report, C::Diff)) &&
                 !(c == C::Table && o.TableCsv),
             "--wafer needs --csv here"},
            {Given("--edge") && !(o.CsvOptions.Diameter > 0.0), "--edge needs --wafer"},
            {Given("--center") && !(o.CsvOptions.Diameter > 0.0), "--center needs --wafer"},
            {!out.empty() && o.OutFile.empty(), command_.Name + (" needs " + std::string(out))},
            {c == C::Diff && !HasExtension(o.OutFile, ".png") && !HasExtension(o.OutFile, ".svg") &&
                 !HasExtension(o.OutFile, ".pdf") && !HasExtension(o.OutFile, ".csv"),
             "--out must name a .png, .svg, .pdf or .csv file"},
            {c == C::Report && !HasExtension(o.OutFile, ".pdf"), "--out must name a .pdf file"},
            {c == C::Report && o.SummaryFile == o.OutFile, "--summary must name another file than --out"},
            {(px || py) && (x || y), "--px/--py and --x/--y exclude each other"},
            {roi && o.RoiCopy && !(px && py), "--copy needs --px and --py"},
            {roi && !(x && y) && !(px && py), "roi needs --x and --y, or --px and --py"},
            {px2 != py2, "--px2 and --py2 go together"},
            {px2 && !o.RoiCopy, "--px2 and --py2 need --copy"},
            {roi && o.RoiCopy && Given("--data") && o.DataType != DataKind::Fill,
             "--copy measures the fill data: --data must be fill"},
        };
        for (const auto& [broken, what] : rules)
            if (broken) return Usage(what, command_.Name);
        if (const std::string clash = CheckSurfaceOptions(o, Given("--data")); !clash.empty())
            return Usage(clash, command_.Name);
        if (Given("--radius")) o.RadOptimize = false;
        if (roi) std::tie(o.RoiByPixel, o.RoiSecond) = std::pair(px || py, px2);
        return {ParseStatus::Run, {}};
    }

    const CommandRow& command_;
    O& options_;
    const std::span<const Section> table_ = OptionTable();
    CLI::App app_;
    std::optional<ParseResult> outcome_;
    std::size_t looked_ = 0;  // left-over arguments taken
    bool optionsEnded_ = false;
    std::string csvOption_;  // the last of the CSV reader's options given
    int files_ = 0;
};

}  // namespace

bool DiffWritesCsv(const CliOptions& options) {
    return HasExtension(options.OutFile, ".csv");
}

ParseResult ParseCommandLine(const std::vector<std::string>& args, CliOptions& options) {
    if (args.empty()) return Usage("missing command", "");
    if (args[0] == "--help" || args[0] == "-h") return {ParseStatus::Help, GeneralHelp()};
    for (const CommandRow& command : Commands) {
        if (args[0] != command.Name) continue;
        options.Command = command.Command;
        return CommandLine(command, options).Parse({args.begin() + 1, args.end()});
    }
    return Usage("unknown command '" + args[0] + "'", "");
}

std::string GeneralHelp() {
    CLI::App app(
        "Runs the viewer's load, Calc and Fill on a .thk thickness file (or a CSV table\n"
        "with --csv) without a window, with the window's default settings, and prints or\n"
        "writes the result. COMMAND --help lists the options of a command.",
        "morvaplot-cli");
    app.footer(
        "Numbers are printed with 17 significant digits. Messages of the viewer go to\n"
        "stderr, one per line. Exit status: 0 success, 1 the operation failed (file,\n"
        "fill, gradation or output error), 2 usage error.");
    app.get_formatter()->column_width(12);
    for (const CommandRow& command : Commands)
        app.add_subcommand(command.Name, command.Summary)->group("Commands");
    return app.help();
}

std::string CommandHelp(CliCommand command) {
    CliOptions unused;
    const auto row =
        std::find_if(std::begin(Commands), std::end(Commands), [&](auto& c) { return c.Command == command; });
    return row == std::end(Commands) ? GeneralHelp() : CommandLine(*row, unused).Help();
}
