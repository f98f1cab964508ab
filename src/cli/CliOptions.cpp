#include "cli/CliOptions.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "analysis/WaferGeometry.h"
#include "core/NumberText.h"
#include "session/ParameterLimits.h"

namespace {

namespace Limits = ParameterLimits;

struct CommandName {
    const char* Name;
    CliCommand Command;
};

constexpr CommandName Commands[] = {
    {"stats", CliCommand::Stats},     {"grid", CliCommand::Grid},     {"fill", CliCommand::Fill},
    {"table", CliCommand::Table},     {"image", CliCommand::Image},   {"contours", CliCommand::Contours},
    {"roi", CliCommand::Roi},         {"random", CliCommand::Random}, {"view3d", CliCommand::View3D},
    {"analyze", CliCommand::Analyze}, {"diff", CliCommand::Diff},     {"report", CliCommand::Report},
};

const char* NameOf(CliCommand command) {
    for (const CommandName& c : Commands)
        if (c.Command == command) return c.Name;
    return "";
}

// Which option groups a command takes.
bool TakesGrid(CliCommand c) {
    return c != CliCommand::Stats && c != CliCommand::Random;
}
bool TakesOrder(CliCommand c) {
    return TakesGrid(c) && c != CliCommand::Grid;
}
bool TakesOut(CliCommand c) {
    return c == CliCommand::Image || c == CliCommand::Random || c == CliCommand::View3D ||
           c == CliCommand::Diff || c == CliCommand::Report;
}
bool TakesData(CliCommand c) {
    return c == CliCommand::Table || c == CliCommand::Image || c == CliCommand::Roi ||
           c == CliCommand::Analyze || c == CliCommand::Report;
}
bool ReadsFile(CliCommand c) {
    return c != CliCommand::Random;
}

// Whether a file name ends in the extension (".png", lower case), in any case.
bool HasExtension(const std::string& name, const std::string& extension) {
    if (name.size() <= extension.size()) return false;
    const std::string end = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(end[i])) != extension[i]) return false;
    return true;
}
bool TakesContour(CliCommand c) {
    return c == CliCommand::Image || c == CliCommand::Contours;
}
// The wafer of the figures: its edge exclusion and centre.
bool TakesWafer(CliCommand c) {
    return c == CliCommand::Analyze || c == CliCommand::Report;
}
// The map's colours and range.
bool TakesGradation(CliCommand c) {
    return c == CliCommand::Image || c == CliCommand::Report;
}

// Last pixel of the 301 x 301 map.
constexpr int MapPixelMax = 300;

// Most bins of analyze's histogram.
constexpr int MaxHistogramBins = 10000;

// A whole number as text: "10000".
std::string WholeText(double value) {
    return std::to_string(static_cast<long>(value));
}

// A limit as the input pad shows it: whole numbers plain, decimals with the
// parameter's decimals.
std::string LimitText(const ParameterLimit& limit, double value) {
    if (limit.Decimals == 0) return std::to_string(static_cast<int>(value));
    return FormatFixed(value, limit.Digits, limit.Decimals);
}

// "2 to 100", "2.0 to 200.0".
std::string RangeText(const ParameterLimit& limit) {
    return LimitText(limit, limit.Min) + " to " + LimitText(limit, limit.Max);
}

// Whole-string decimal integer, optional minus sign.
bool ParseInt(const std::string& text, int& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first == last) return false;
    const auto r = std::from_chars(first, last, value);
    return r.ec == std::errc() && r.ptr == last;
}

// Digits with at most one point, as the input pad lets them be typed (no sign,
// no exponent); read in the C locale.
bool ParseDecimal(const std::string& text, double& value) {
    int digits = 0;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    if (digits == 0 || points > 1) return false;
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

// A value as the input pad lets a three-decimal entry be typed: an optional
// minus sign (when allowed), digits with at most one point and at most three
// digits after it; read in the C locale.
bool ParseThousandths(const std::string& text, bool allowSign, double& value) {
    std::size_t start = 0;
    if (allowSign && !text.empty() && text[0] == '-') start = 1;
    const std::string body = text.substr(start);
    const auto point = body.find('.');
    if (point != std::string::npos && body.size() - point - 1 > 3) return false;
    if (!ParseDecimal(body, value)) return false;
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

// A value with at most one decimal (an optional minus sign when allowed) as a
// whole number of tenths, exactly: "15.5" is 155.
bool ParseTenths(const std::string& text, bool allowSign, int& tenths) {
    const bool negative = allowSign && !text.empty() && text[0] == '-';
    const std::string body = text.substr(negative ? 1 : 0);
    const auto point = body.find('.');
    const std::string whole = body.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : body.substr(point + 1);
    if (whole.empty() || whole.size() > 6 || fraction.size() > 1 ||
        (point != std::string::npos && fraction.empty()))
        return false;
    for (char c : whole + fraction)
        if (c < '0' || c > '9') return false;
    tenths = std::stoi(whole) * 10 + (fraction.empty() ? 0 : fraction[0] - '0');
    if (negative) tenths = -tenths;
    return true;
}

// Whole-string unsigned 32-bit decimal integer, digits only.
bool ParseSeed(const std::string& text, std::uint32_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first == last) return false;
    const auto r = std::from_chars(first, last, value);
    return r.ec == std::errc() && r.ptr == last;
}

// count plain decimals separated by commas ("X,Y", "X0,Y0,X1,Y1"), each with
// an optional minus sign and digits with at most one point.
bool ParseDecimalList(const std::string& text, std::size_t count, double* values) {
    std::size_t start = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const bool last = k + 1 == count;
        const std::size_t end = last ? text.size() : text.find(',', start);
        if (end == std::string::npos) return false;
        const std::string field = text.substr(start, end - start);
        if (last && field.find(',') != std::string::npos) return false;
        const bool negative = !field.empty() && field[0] == '-';
        if (!ParseDecimal(field.substr(negative ? 1 : 0), values[k]) || !std::isfinite(values[k]))
            return false;
        if (negative) values[k] = -values[k];
        start = end + 1;
    }
    return true;
}

class Parser {
public:
    Parser(const std::vector<std::string>& args, CliOptions& options) : args_(args), options_(options) {}

    ParseResult Run() {
        if (args_.empty()) return Usage("missing command", false);
        const std::string& first = args_[0];
        if (first == "--help" || first == "-h") return {ParseStatus::Help, GeneralHelp()};
        bool known = false;
        for (const CommandName& c : Commands) {
            if (first == c.Name) {
                options_.Command = c.Command;
                known = true;
            }
        }
        if (!known) return Usage("unknown command '" + first + "'", false);
        command_ = options_.Command;

        bool haveFile = false;
        bool optionsEnded = false;
        bool radiusGiven = false;
        bool optimizeGiven = false;
        bool xGiven = false;
        bool yGiven = false;
        bool dataGiven = false;
        bool secondFile = false;
        bool csvOptionGiven = false;  // --x-col, --y-col, --z-col or --units
        std::string csvOptionName;
        bool waferGiven = false;
        bool edgeGiven = false;
        std::array<bool, 4> pixelGiven{};  // --px, --py, --px2, --py2
        for (std::size_t i = 1; i < args_.size(); ++i) {
            const std::string& arg = args_[i];
            if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
                if (command_ == CliCommand::Report) {
                    if (!haveFile) options_.File = arg;
                    options_.Files.push_back(arg);
                    haveFile = true;
                    continue;
                }
                if (haveFile && command_ == CliCommand::Diff && !secondFile) {
                    options_.File2 = arg;
                    secondFile = true;
                    continue;
                }
                if (haveFile || command_ == CliCommand::Random)
                    return Usage("unexpected argument '" + arg + "'");
                options_.File = arg;
                haveFile = true;
                continue;
            }
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            if (arg == "--help" || arg == "-h") return {ParseStatus::Help, CommandHelp(command_)};

            std::string name = arg;
            std::string value;
            bool inlineValue = false;
            if (const auto eq = arg.find('='); eq != std::string::npos && arg.rfind("--", 0) == 0) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                inlineValue = true;
            }
            // Fetches the option's value from "=value" or the next argument.
            const auto need = [&](std::string& out) -> bool {
                if (inlineValue) {
                    out = value;
                    return true;
                }
                if (i + 1 >= args_.size()) return false;
                out = args_[++i];
                return true;
            };
            const auto flag = [&]() { return !inlineValue; };

            std::string v;
            std::string error;
            if (command_ != CliCommand::Random && command_ != CliCommand::Report && name == "--xyz") {
                if (!flag()) return NoValue(name);
                options_.Xyz = true;
            } else if (ReadsFile(command_) && name == "--csv") {
                if (!flag()) return NoValue(name);
                options_.Csv = true;
            } else if (ReadsFile(command_) && (name == "--x-col" || name == "--y-col" || name == "--z-col")) {
                if (!need(v)) return MissingValue(name);
                if (v.empty()) return Usage(name + " needs a column name or number");
                std::string& column = name == "--x-col"   ? options_.CsvOptions.XColumn
                                      : name == "--y-col" ? options_.CsvOptions.YColumn
                                                          : options_.CsvOptions.ZColumn;
                column = v;
                csvOptionGiven = true;
                csvOptionName = name;
            } else if (ReadsFile(command_) && name == "--units") {
                if (!need(v)) return MissingValue(name);
                if (v == "mm")
                    options_.CsvOptions.Units = CsvUnits::Millimetres;
                else if (v == "cell")
                    options_.CsvOptions.Units = CsvUnits::Cells;
                else
                    return Usage("--units must be mm or cell");
                csvOptionGiven = true;
                csvOptionName = name;
            } else if (ReadsFile(command_) && name == "--wafer") {
                if (!need(v)) return MissingValue(name);
                double d = 0.0;
                if (!ParseDecimal(v, d) || !(d <= MaxWaferDiameterMm))
                    return Usage("--wafer must be a number from 0 to " + WholeText(MaxWaferDiameterMm));
                options_.CsvOptions.Diameter = d;
                waferGiven = true;
            } else if (TakesWafer(command_) && name == "--edge") {
                if (!need(v)) return MissingValue(name);
                double e = 0.0;
                if (!ParseDecimal(v, e) || !std::isfinite(e))
                    return Usage("--edge must be a number of 0 or more");
                options_.EdgeMm = e;
                edgeGiven = true;
            } else if (TakesWafer(command_) && name == "--center") {
                if (!need(v)) return MissingValue(name);
                double c[2] = {};
                if (!ParseDecimalList(v, 2, c) || c[0] < 0.0 || c[0] > ThkMaxSize || c[1] < 0.0 ||
                    c[1] > ThkMaxSize)
                    return Usage("--center must be X,Y with numbers from 0 to 500");
                options_.CentreX = c[0];
                options_.CentreY = c[1];
            } else if (command_ == CliCommand::Analyze && name == "--profile") {
                if (!need(v)) return MissingValue(name);
                double line[4] = {};
                if (v == "x") {
                    options_.Profile = CliProfile::X;
                } else if (v == "y") {
                    options_.Profile = CliProfile::Y;
                } else if (v == "radial") {
                    options_.Profile = CliProfile::Radial;
                } else if (ParseDecimalList(v, 4, line)) {
                    options_.Profile = CliProfile::Line;
                    options_.LineX0 = line[0];
                    options_.LineY0 = line[1];
                    options_.LineX1 = line[2];
                    options_.LineY1 = line[3];
                } else {
                    return Usage("--profile must be x, y, radial or X0,Y0,X1,Y1");
                }
            } else if (command_ == CliCommand::Analyze && name == "--histogram") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, 1, MaxHistogramBins, options_.HistogramBins))
                    return IntRange(name, 1, MaxHistogramBins);
            } else if (command_ == CliCommand::Analyze && name == "--json") {
                if (!flag()) return NoValue(name);
                options_.Json = true;
            } else if (command_ == CliCommand::Table && name == "--format") {
                if (!need(v)) return MissingValue(name);
                if (v == "text")
                    options_.TableCsv = false;
                else if (v == "csv")
                    options_.TableCsv = true;
                else
                    return Usage("--format must be text or csv");
            } else if (command_ == CliCommand::Image && name == "--sites") {
                if (!flag()) return NoValue(name);
                options_.Sites = true;
            } else if (command_ == CliCommand::Report && name == "--summary") {
                if (!need(v)) return MissingValue(name);
                if (v.empty()) return Usage("--summary needs a file name");
                options_.SummaryFile = v;
            } else if (command_ == CliCommand::Diff && name == "--rate-time") {
                if (!need(v)) return MissingValue(name);
                double t = 0.0;
                if (!ParseDecimal(v, t) || !(t > 0.0) || !std::isfinite(t))
                    return Usage("--rate-time must be a number above 0");
                options_.RateTime = t;
            } else if (TakesGrid(command_) && name == "--pitch") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::CalcPitch, options_.CalcPitch))
                    return IntRange(name, Limits::CalcPitch);
            } else if (TakesGrid(command_) && name == "--radius") {
                if (!need(v)) return MissingValue(name);
                double r = 0.0;
                if (!ParseDecimal(v, r) || !Limits::SearchRad.Holds(r))
                    return Usage("--radius must be a number from " + RangeText(Limits::SearchRad));
                // The label keeps what the input pad writes back: one decimal.
                options_.SearchRadText = FormatFixed(r, Limits::SearchRad.Digits, Limits::SearchRad.Decimals);
                options_.RadOptimize = false;
                radiusGiven = true;
            } else if (TakesGrid(command_) && name == "--optimize") {
                if (!flag()) return NoValue(name);
                options_.RadOptimize = true;
                optimizeGiven = true;
            } else if (TakesGrid(command_) && name == "--min-count") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::MinDataCount, options_.MinDataCount))
                    return IntRange(name, Limits::MinDataCount);
            } else if (TakesGrid(command_) && name == "--power") {
                if (!need(v)) return MissingValue(name);
                double p = 0.0;
                if (!ParseDecimal(v, p) || !Limits::AverageWeight.Holds(p))
                    return Usage("--power must be a number from " + RangeText(Limits::AverageWeight));
                options_.AverageWeightText =
                    FormatFixed(p, Limits::AverageWeight.Digits, Limits::AverageWeight.Decimals);
            } else if (TakesOrder(command_) && name == "--order") {
                if (!need(v)) return MissingValue(name);
                // diff's --order also says which file is subtracted.
                if (command_ == CliCommand::Diff && (v == "a-b" || v == "b-a")) {
                    options_.Order =
                        v == "a-b" ? DifferenceOrder::FirstMinusSecond : DifferenceOrder::SecondMinusFirst;
                } else if (!IntInRange(v, Limits::SplineOrder, options_.SplineOrder)) {
                    if (command_ == CliCommand::Diff)
                        return Usage("--order must be a-b, b-a or an integer from " +
                                     RangeText(Limits::SplineOrder));
                    return IntRange(name, Limits::SplineOrder);
                }
            } else if (TakesData(command_) && name == "--data") {
                if (!need(v)) return MissingValue(name);
                dataGiven = true;
                if (v == "raw")
                    options_.DataType = DataKind::Raw;
                else if (v == "grid")
                    options_.DataType = DataKind::Grid;
                else if (v == "fill")
                    options_.DataType = DataKind::Fill;
                else
                    return Usage("--data must be raw, grid or fill");
            } else if (TakesContour(command_) && name == "--borders") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::BorderCount, options_.BorderCount))
                    return IntRange(name, Limits::BorderCount);
            } else if ((TakesContour(command_) || command_ == CliCommand::Report) &&
                       name == "--no-raw-range") {
                if (!flag()) return NoValue(name);
                options_.RawRange = false;
            } else if (TakesOut(command_) && name == "--out") {
                if (!need(v)) return MissingValue(name);
                if (v.empty()) return Usage("--out needs a file name");
                options_.OutFile = v;
            } else if (command_ == CliCommand::Image && name == "--draw") {
                if (!need(v)) return MissingValue(name);
                if (v == "colormap")
                    options_.DrawType = DrawKind::Colormap;
                else if (v == "contour")
                    options_.DrawType = DrawKind::Contour;
                else
                    return Usage("--draw must be colormap or contour");
            } else if (TakesGradation(command_) && name == "--gradation") {
                if (!need(v)) return MissingValue(name);
                if (v.empty()) return Usage("--gradation needs a file name");
                options_.GradationFile = v;
            } else if (command_ == CliCommand::Image && name == "--copy-colormap") {
                if (!flag()) return NoValue(name);
                options_.CopyColormap = true;
            } else if (command_ == CliCommand::Roi && name == "--x") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, 0, 500, options_.RoiX)) return IntRange(name, 0, 500);
                xGiven = true;
            } else if (command_ == CliCommand::Roi && name == "--y") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, 0, 500, options_.RoiY)) return IntRange(name, 0, 500);
                yGiven = true;
            } else if (command_ == CliCommand::Roi && name == "--size") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::RoiSize, options_.RoiSize)) return IntRange(name, Limits::RoiSize);
            } else if (command_ == CliCommand::Roi && name == "--square") {
                if (!flag()) return NoValue(name);
                options_.RoiSquare = true;
            } else if (command_ == CliCommand::Roi && PixelOption(name) >= 0) {
                const int k = PixelOption(name);
                if (!need(v)) return MissingValue(name);
                int* const fields[] = {&options_.RoiPixelX, &options_.RoiPixelY, &options_.RoiPixelX2,
                                       &options_.RoiPixelY2};
                if (!IntInRange(v, 0, MapPixelMax, *fields[k])) return IntRange(name, 0, MapPixelMax);
                pixelGiven[static_cast<std::size_t>(k)] = true;
            } else if (command_ == CliCommand::Roi && name == "--fdigit") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::RoiFDigit, options_.RoiFDigit))
                    return IntRange(name, Limits::RoiFDigit);
            } else if (command_ == CliCommand::Roi && name == "--copy") {
                if (!flag()) return NoValue(name);
                options_.RoiCopy = true;
            } else if (command_ == CliCommand::Random && name == "--size") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::DataSize, options_.Random.Size))
                    return IntRange(name, Limits::DataSize);
            } else if (command_ == CliCommand::Random && name == "--count") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::DataCount, options_.Random.Count))
                    return IntRange(name, Limits::DataCount);
            } else if (command_ == CliCommand::Random && name == "--check") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, Limits::CheckRadius, options_.Random.CheckRadius))
                    return IntRange(name, Limits::CheckRadius);
            } else if (command_ == CliCommand::Random && name == "--base") {
                if (!need(v)) return MissingValue(name);
                double b = 0.0;
                if (!ParseThousandths(v, Limits::DataBase.Min < 0.0, b) || !Limits::DataBase.Holds(b))
                    return Usage("--base must be a number from " + RangeText(Limits::DataBase) +
                                 " with at most 3 decimals");
                options_.Random.Base = b;
            } else if (command_ == CliCommand::Random && name == "--width") {
                if (!need(v)) return MissingValue(name);
                double w = 0.0;
                if (!ParseThousandths(v, Limits::RandomWidth.Min < 0.0, w) || !Limits::RandomWidth.Holds(w))
                    return Usage("--width must be a number from " + RangeText(Limits::RandomWidth) +
                                 " with at most 3 decimals");
                options_.Random.Width = w;
            } else if (command_ == CliCommand::Random && name == "--seed") {
                if (!need(v)) return MissingValue(name);
                std::uint32_t seed = 0;
                if (!ParseSeed(v, seed)) return Usage("--seed must be an integer from 0 to 4294967295");
                options_.Seed = seed;
            } else if (command_ == CliCommand::View3D && (name == "--width" || name == "--height")) {
                if (!need(v)) return MissingValue(name);
                int& size = name == "--width" ? options_.PictureWidth : options_.PictureHeight;
                if (!IntInRange(v, 16, 4096, size)) return IntRange(name, 16, 4096);
            } else if (command_ == CliCommand::View3D && name == "--x-angle") {
                if (!need(v)) return MissingValue(name);
                int t = 0;
                if (!ParseTenths(v, false, t) || t > 900)
                    return Usage("--x-angle must be a number from 0.0 to 90.0");
                options_.View.XAngleTenths = t;
            } else if (command_ == CliCommand::View3D && name == "--z-angle") {
                if (!need(v)) return MissingValue(name);
                int t = 0;
                if (!ParseTenths(v, true, t) || t < -1800 || t > 1800)
                    return Usage("--z-angle must be a number from -180.0 to 180.0");
                options_.View.ZAngleTenths = t;
            } else if (command_ == CliCommand::View3D && name == "--ratio") {
                if (!need(v)) return MissingValue(name);
                int t = 0;
                if (!ParseTenths(v, false, t) || t > 100)
                    return Usage("--ratio must be a number from 0.0 to 10.0");
                options_.View.RatioTenths = t;
            } else if (command_ == CliCommand::View3D && name == "--zoom") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, 0, 1000, options_.View.Zoom)) return IntRange(name, 0, 1000);
            } else if (command_ == CliCommand::View3D && name == "--draw-pitch") {
                if (!need(v)) return MissingValue(name);
                if (!IntInRange(v, 1, 50, options_.View.DrawPitch)) return IntRange(name, 1, 50);
            } else if (command_ == CliCommand::View3D && name == "--wire") {
                if (!flag()) return NoValue(name);
                options_.View.DrawType = Draw3DType::Wire;
            } else {
                return Usage("unknown option '" + name + "' for " + NameOf(command_));
            }
        }
        if (radiusGiven && optimizeGiven) return Usage("--radius and --optimize exclude each other");
        if (command_ == CliCommand::Diff && !secondFile) return Usage("diff needs two files, A and B");
        if (!haveFile && command_ != CliCommand::Random) return Usage("missing FILE argument");
        if (options_.Xyz && options_.Csv) return Usage("--xyz and --csv exclude each other");
        if (csvOptionGiven && !options_.Csv) return Usage(csvOptionName + " needs --csv");
        // The diameter places a CSV table and is the wafer of the figures and
        // of the CSV output's millimetres; elsewhere it would do nothing.
        if (waferGiven && !options_.Csv && !TakesWafer(command_) && command_ != CliCommand::Diff &&
            !(command_ == CliCommand::Table && options_.TableCsv))
            return Usage("--wafer needs --csv here");
        if (edgeGiven && !(options_.CsvOptions.Diameter > 0.0)) return Usage("--edge needs --wafer");
        if (command_ == CliCommand::Diff) {
            if (options_.OutFile.empty()) return Usage("diff needs --out DIFF.png or DIFF.csv");
            if (!HasExtension(options_.OutFile, ".png") && !HasExtension(options_.OutFile, ".csv"))
                return Usage("--out must name a .png or .csv file");
        }
        if (command_ == CliCommand::Image && options_.OutFile.empty())
            return Usage("image needs --out MAP.png");
        if (command_ == CliCommand::Report) {
            if (options_.OutFile.empty()) return Usage("report needs --out REPORT.pdf");
            if (!HasExtension(options_.OutFile, ".pdf")) return Usage("--out must name a .pdf file");
            if (options_.SummaryFile == options_.OutFile)
                return Usage("--summary must name another file than --out");
        }
        if (command_ == CliCommand::View3D && options_.OutFile.empty())
            return Usage("view3d needs --out PICTURE.png");
        if (command_ == CliCommand::Roi) {
            const bool byPixel = pixelGiven[0] || pixelGiven[1];
            if (byPixel && (xGiven || yGiven)) return Usage("--px/--py and --x/--y exclude each other");
            if (options_.RoiCopy && !(pixelGiven[0] && pixelGiven[1]))
                return Usage("--copy needs --px and --py");
            if (!(xGiven && yGiven) && !(pixelGiven[0] && pixelGiven[1]))
                return Usage("roi needs --x and --y, or --px and --py");
            if (pixelGiven[2] != pixelGiven[3]) return Usage("--px2 and --py2 go together");
            if (pixelGiven[2] && !options_.RoiCopy) return Usage("--px2 and --py2 need --copy");
            if (options_.RoiCopy && dataGiven && options_.DataType != DataKind::Fill)
                return Usage("--copy measures the fill data: --data must be fill");
            options_.RoiByPixel = byPixel;
            options_.RoiSecond = pixelGiven[2];
        }
        if (command_ == CliCommand::Random && options_.OutFile.empty())
            return Usage("random needs --out FILE.thk");
        return {ParseStatus::Run, {}};
    }

private:
    // Index of a map pixel option: 0 --px, 1 --py, 2 --px2, 3 --py2; -1 for
    // any other name.
    static int PixelOption(const std::string& name) {
        const char* const names[] = {"--px", "--py", "--px2", "--py2"};
        for (int k = 0; k < 4; ++k)
            if (name == names[k]) return k;
        return -1;
    }

    static bool IntInRange(const std::string& text, int low, int high, int& out) {
        int value = 0;
        if (!ParseInt(text, value) || value < low || value > high) return false;
        out = value;
        return true;
    }
    static bool IntInRange(const std::string& text, const ParameterLimit& limit, int& out) {
        int value = 0;
        if (!ParseInt(text, value) || !limit.Holds(value)) return false;
        out = value;
        return true;
    }

    ParseResult Usage(const std::string& what, bool forCommand = true) const {
        std::string text = "morvaplot-cli: " + what + "\n";
        if (forCommand)
            text += std::string("Try 'morvaplot-cli ") + NameOf(command_) + " --help'.\n";
        else
            text += "Try 'morvaplot-cli --help'.\n";
        return {ParseStatus::Usage, text};
    }
    ParseResult MissingValue(const std::string& name) const { return Usage(name + " needs a value"); }
    ParseResult NoValue(const std::string& name) const { return Usage(name + " takes no value"); }
    ParseResult IntRange(const std::string& name, int low, int high) const {
        return Usage(name + " must be an integer from " + std::to_string(low) + " to " +
                     std::to_string(high));
    }
    ParseResult IntRange(const std::string& name, const ParameterLimit& limit) const {
        return Usage(name + " must be an integer from " + RangeText(limit));
    }

    const std::vector<std::string>& args_;
    CliOptions& options_;
    CliCommand command_ = CliCommand::Stats;
};

std::string GridHelp() {
    return "Grid options (the load flow, then Calc):\n"
           "  --pitch P       calculation pitch, integer " +
           RangeText(Limits::CalcPitch) +
           " (default 20)\n"
           "  --radius R      search radius " +
           RangeText(Limits::SearchRad) +
           ", kept with one decimal; turns the\n"
           "                  radius optimisation off (default 80.0)\n"
           "  --optimize      after loading, find the smallest search radius that gives every\n"
           "                  lattice node enough data cells (default on)\n"
           "  --min-count n   data cells every node needs for the optimisation, " +
           RangeText(Limits::MinDataCount) +
           "\n"
           "                  (default 1)\n"
           "  --power p       inverse-distance weight power " +
           RangeText(Limits::AverageWeight) +
           ", kept with two\n"
           "                  decimals (default 3.00)\n";
}

std::string FillHelp() {
    return "Fill options:\n"
           "  --order k       spline degree, " +
           RangeText(Limits::SplineOrder) + " (default 3)\n";
}

std::string BordersHelp() {
    return "  --borders n     number of contour levels, " + RangeText(Limits::BorderCount) + " (default 5)\n";
}

const char* const DataHelp =
    "  --data TYPE     raw, grid or fill (default raw); grid runs Calc, fill runs Calc\n"
    "                  and Fill\n";

}  // namespace

bool DiffWritesCsv(const CliOptions& options) {
    return HasExtension(options.OutFile, ".csv");
}

ParseResult ParseCommandLine(const std::vector<std::string>& args, CliOptions& options) {
    return Parser(args, options).Run();
}

std::string GeneralHelp() {
    return "Usage: morvaplot-cli COMMAND FILE [options]\n"
           "       morvaplot-cli random [options] --out FILE.thk\n"
           "       morvaplot-cli diff A B [options] --out DIFF.png|DIFF.csv\n"
           "       morvaplot-cli report FILES... --out REPORT.pdf [options]\n"
           "       morvaplot-cli --help | COMMAND --help\n"
           "\n"
           "Runs the viewer's load, Calc and Fill on a .thk thickness file (or a CSV table\n"
           "with --csv) without a window, with the window's default settings, and prints or\n"
           "writes the result.\n"
           "\n"
           "Commands:\n"
           "  stats     statistics of the file as read\n"
           "  grid      search radius and every grid node after Calc\n"
           "  fill      search radius and every filled cell after Fill\n"
           "  table     the data table text that Copy Data puts on the clipboard\n"
           "  image     the 301 x 301 map as a PNG file\n"
           "  contours  contour levels and traced lines of the filled surface\n"
           "  roi       count, minimum, maximum and mean inside a region\n"
           "  random    random test data written as a .thk file (reads no FILE)\n"
           "  view3d    the filled surface as the 3D view draws it, as a PNG file\n"
           "  analyze   statistics inside a wafer, profiles and a histogram\n"
           "  diff      the difference (or rate) of two filled files, as PNG or CSV\n"
           "  report    a PDF with a page per file and a summary page (and a summary CSV)\n"
           "\n"
           "Numbers are printed with 17 significant digits. Messages of the viewer go to\n"
           "stderr, one per line. Exit status: 0 success, 1 the operation failed (file,\n"
           "fill, gradation or output error), 2 usage error.\n";
}

namespace {

const char* const XyzHelp =
    "  --xyz           FILE holds X/Y/Z text as it comes from the clipboard (its\n"
    "                  bytes up to the first NUL), converted as Paste converts it:\n"
    "                  a line with the Size, then X<TAB>Y<TAB>Z lines\n";

const char* const CsvHelp =
    "  --csv           FILE is a table as measuring tools export it: fields separated\n"
    "                  by commas, semicolons, tabs or blanks (detected), a header\n"
    "                  line when the first line is not all numbers; every point is\n"
    "                  rounded to its cell\n"
    "  --x-col C, --y-col C, --z-col C\n"
    "                  with --csv: the X, Y and thickness columns by header name or\n"
    "                  1-based number (default: the header names x, y and\n"
    "                  thickness, thk, z or value; without them columns 1, 2, 3)\n"
    "  --units U       with --csv: X and Y in mm from the wafer centre, or in cells\n"
    "                  of the map (mm or cell, default mm)\n"
    "  --wafer D       with --csv: the wafer diameter in mm, which becomes the Size\n"
    "                  (1 cell per mm, centre at Size/2; with --units cell, the\n"
    "                  Size); default the smallest that holds every point. analyze\n"
    "                  and report take it as their wafer too, table --format csv\n"
    "                  and diff for their x_mm, y_mm columns\n";

std::string CommandHelpBody(CliCommand command);

}  // namespace

std::string CommandHelp(CliCommand command) {
    std::string text = CommandHelpBody(command);
    if (command == CliCommand::Random) return text;
    text += "\nInput options:\n";
    // A report reads every file with the same reader: .thk or, with --csv, tables.
    if (command != CliCommand::Report) text += XyzHelp;
    text += CsvHelp;
    return text;
}

namespace {

std::string CommandHelpBody(CliCommand command) {
    std::string text;
    switch (command) {
        case CliCommand::View3D:
            text =
                "Usage: morvaplot-cli view3d FILE --out PICTURE.png [--width W] [--height H]\n"
                "           [--x-angle A] [--z-angle A] [--ratio R] [--zoom Z]\n"
                "           [--draw-pitch p] [--wire] [grid options] [--order k]\n"
                "\n"
                "Loads the file, runs Calc and Fill and draws the filled surface as the 3D view\n"
                "window draws it with the same view, written as a PNG file. Needs a display\n"
                "with OpenGL (a virtual one is fine); without one it says so and exits 1.\n"
                "\n"
                "  --out PICTURE.png the PNG file to write (required)\n"
                "  --width W, --height H  picture size in pixels, 16 to 4096 (default 422 x 274,\n"
                "                  the window's panel)\n"
                "  --x-angle A     tilt in degrees, 0.0 to 90.0 (default 15.0)\n"
                "  --z-angle A     turn in degrees, -180.0 to 180.0 (default -100.0)\n"
                "  --ratio R       height ratio, 0.0 to 10.0 (default 5.0)\n"
                "  --zoom Z        zoom in percent, 0 to 1000 (default 200)\n"
                "  --draw-pitch p  grid step of the surface, 1 to 50 (default 5)\n"
                "  --wire          a wire surface instead of planes\n"
                "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Stats:
            return "Usage: morvaplot-cli stats FILE\n"
                   "\n"
                   "Prints the statistics of the file as the reader computed them, one per line\n"
                   "as Name<TAB>value: Size, PitchX, PitchY, Count, Min, Max, Range, Mean, Sigma,\n"
                   "Ratio, UniformityPct, Sigma1Pct, Sigma3Pct. Count is every data line read,\n"
                   "repeated positions included.\n";
        case CliCommand::Grid:
            text =
                "Usage: morvaplot-cli grid FILE [grid options]\n"
                "\n"
                "Loads the file, runs Calc and prints Radius<TAB>r (the search radius Calc used)\n"
                "then x<TAB>y<TAB>value for every lattice node holding data, X-major.\n"
                "\n";
            text += GridHelp();
            return text;
        case CliCommand::Fill:
            text =
                "Usage: morvaplot-cli fill FILE [grid options] [--order k]\n"
                "\n"
                "As grid, then Fill: prints Radius<TAB>r then x<TAB>y<TAB>value for every\n"
                "filled cell, X-major. Exit status 1 when the fill fails.\n"
                "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Table:
            text =
                "Usage: morvaplot-cli table FILE [--data raw|grid|fill] [--format text|csv]\n"
                "           [--wafer D] [grid options] [--order k]\n"
                "\n"
                "Prints the table that Copy Data puts on the clipboard: Y\xEF\xBC\xBCX (UTF-8), the\n"
                "X indices, then one line per Y index with the values (3 decimals), every\n"
                "cell followed by a tab. The step is the pitch for grid data, 1 otherwise.\n"
                "\n";
            text += DataHelp;
            text +=
                "  --format F      text (the Copy Data table, default) or csv: a header line\n"
                "                  x,y,value (with --wafer also x_mm,y_mm, the cell in mm from\n"
                "                  the wafer centre), then one line per cell holding data,\n"
                "                  X-major, values with 17 significant digits\n"
                "  --wafer D       with --format csv: the wafer diameter in mm (the Size spans\n"
                "                  it) for the x_mm and y_mm columns\n"
                "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Image:
            text =
                "Usage: morvaplot-cli image FILE --out MAP.png [--data raw|grid|fill]\n"
                "           [--draw colormap|contour] [--gradation COLORSET.dat]\n"
                "           [--no-raw-range] [--borders n] [--copy-colormap] [--sites]\n"
                "           [grid options] [--order k]\n"
                "\n"
                "Writes the 301 x 301 map as the window paints it for that data and draw\n"
                "type. The file is replaced only once the picture is complete.\n"
                "\n"
                "  --out MAP.png   the PNG file to write (required)\n";
            text += DataHelp;
            text +=
                "  --draw TYPE     colormap or contour (default colormap); a contour picture\n"
                "                  needs the filled surface, so contour always runs Fill;\n"
                "                  with raw or grid data the ordinary colour map is drawn\n"
                "  --gradation F   colour with the multi-colour gradation read from the\n"
                "                  colour-setting file F (the format of colorset.dat)\n"
                "                  instead of the hue ramp\n"
                "  --no-raw-range  scale grid and fill data on their own minimum and\n"
                "                  maximum, not on the measured points' (Raw Range off)\n";
            text += BordersHelp();
            text +=
                "  --copy-colormap draw the contours over a black-to-white map of the data\n"
                "                  instead of a black background\n"
                "  --sites         mark every data cell the map's sampling misses (one pixel\n"
                "                  shows one cell) as a 3 x 3 dot in its colour with a dark or\n"
                "                  light rim, as the window's Sites box does; a colour map of\n"
                "                  raw or grid data only\n"
                "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Contours:
            text =
                "Usage: morvaplot-cli contours FILE [--borders n] [--no-raw-range]\n"
                "           [grid options] [--order k]\n"
                "\n"
                "Loads the file, runs Calc and Fill and traces the filled surface as the\n"
                "contour map does on the 301 x 301 map. Prints Level<TAB>k<TAB>value for each\n"
                "level, each followed by its traced lines, one per line, as grid coordinates\n"
                "gx,gy gx,gy ... in drawing order (a closed line is traced round both ways;\n"
                "a trace that draws no segment is left out). Nothing is listed when the\n"
                "display range is empty (minimum equals maximum). Exit status 1 when the\n"
                "fill fails.\n"
                "\n";
            text += BordersHelp();
            text +=
                "  --no-raw-range  levels over the filled surface's own minimum and maximum\n"
                "                  instead of the measured points' (Raw Range off)\n"
                "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Roi:
            text =
                "Usage: morvaplot-cli roi FILE (--x X --y Y | --px PX --py PY) [--size s]\n"
                "           [--square] [--fdigit d] [--data raw|grid|fill] [grid options]\n"
                "           [--order k]\n"
                "       morvaplot-cli roi FILE --copy --px PX --py PY [--px2 PX --py2 PY]\n"
                "           [--size s] [--square] [--fdigit d] [grid options] [--order k]\n"
                "\n"
                "Prints Count, Min, Max and Mean (Name<TAB>value) of the data cells inside a\n"
                "circle of radius s (or the square of side 2s + 1) centred on X, Y; Min, Max\n"
                "and Mean are -99999 when no data cell lies inside. Then the three value\n"
                "labels as the window shows them (\"Min: 1043.61\", \"-----\" for an empty\n"
                "region), one per line.\n"
                "\n"
                "With --copy it prints instead the text Copy ROI puts on the clipboard, with\n"
                "the pixel as ROI 1 (and --px2, --py2 as ROI 2), measured on the filled\n"
                "surface: --copy always runs Calc and Fill.\n"
                "\n"
                "  --x X, --y Y    centre in data coordinates, 0 to 500\n"
                "  --px PX, --py PY\n"
                "                  centre as a pixel of the 301 x 301 map, 0 to 300, converted\n"
                "                  as the window converts a Ctrl-click\n"
                "  --size s        radius or half side, " +
                RangeText(Limits::RoiSize) +
                " (default 10)\n"
                "  --square        a square region instead of a circle\n"
                "  --fdigit d      decimals of the label and copied values, " +
                RangeText(Limits::RoiFDigit) +
                " (default 2)\n"
                "  --copy          print the Copy ROI text instead\n"
                "  --px2 PX, --py2 PY\n"
                "                  with --copy: the pixel of ROI 2\n";
            text += DataHelp;
            text += "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Analyze:
            text =
                "Usage: morvaplot-cli analyze FILE [--data raw|grid|fill] [--wafer D --edge E\n"
                "           [--center X,Y]] [--profile x|y|radial|X0,Y0,X1,Y1]\n"
                "           [--histogram BINS] [--json] [grid options] [--order k]\n"
                "\n"
                "Prints the figures of the data cells inside the wafer as Name<TAB>value lines:\n"
                "Count, Mean, Min, MinX, MinY, Max, MaxX, MaxY, Range, Sigma, Sigma1Pct,\n"
                "Sigma3Pct, UniformityPct (Range / (2 Mean) in percent) of the record of the\n"
                "data type, then the same of the measured sites, named with a Sites prefix.\n"
                "Min and Max give the first cell in X-major order; without a data cell\n"
                "inside, every figure is 0 and every position -1.\n"
                "With --profile: Profile<TAB>KIND, then position<TAB>value rows (the radial\n"
                "profile: ring<TAB>mean<TAB>min<TAB>max, rings without data left out); with\n"
                "--histogram: Histogram<TAB>BINS, then lower<TAB>upper<TAB>count rows.\n"
                "Positions are in file units, or in mm from the wafer centre with a wafer.\n"
                "\n";
            text += DataHelp;
            text += "  --wafer D       wafer diameter in mm, 0 to " + WholeText(MaxWaferDiameterMm) +
                    "; the Size spans it, and cells\n"
                    "                  outside it are left out (default 0: no wafer, every cell)\n"
                    "  --edge E        edge exclusion in mm: cells within E of the rim are left out\n"
                    "                  (a cell exactly on the circle counts)\n"
                    "  --center X,Y    wafer centre in file units, 0 to 500 (default the middle of\n"
                    "                  the Size square)\n"
                    "  --profile P     x or y: the diameter profile through the centre; radial:\n"
                    "                  mean, minimum and maximum per ring of 1 unit (1 mm with a\n"
                    "                  wafer); X0,Y0,X1,Y1: the line between the two points, in\n"
                    "                  file units, sampled every unit from its start\n"
                    "  --histogram n   the values in n bins of equal width over their minimum to\n"
                    "                  maximum, 1 to " +
                    std::to_string(MaxHistogramBins) +
                    "\n"
                    "  --json          one JSON document instead: the file, the data type, the\n"
                    "                  wafer, \"statistics\" and \"sites\" with the names above,\n"
                    "                  \"profile\" and \"histogram\"; numbers read back to the\n"
                    "                  same doubles\n"
                    "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Report:
            text =
                "Usage: morvaplot-cli report FILES... --out REPORT.pdf [--summary SUMMARY.csv]\n"
                "           [--data raw|grid|fill] [--wafer D [--edge E] [--center X,Y]]\n"
                "           [--gradation COLORSET.dat] [--no-raw-range] [grid options]\n"
                "           [--order k]\n"
                "\n"
                "Loads every file, runs Calc and Fill as the data type needs and writes a PDF:\n"
                "summary pages with one row per file (Count, Mean, Min, Max, Range, Sigma,\n"
                "1 sigma % and Uniformity % inside the wafer), then a page per file with the map\n"
                "as the window paints it, its colour bar and scale labels, the figures of the\n"
                "record and of the measured sites, and the X and Y diameter profiles through the\n"
                "centre. The files are prepared on every core; a progress bar goes to stderr\n"
                "when it is a terminal. A file that cannot be read or filled gets its row and\n"
                "its page with its message, and the message goes to stderr after the file's\n"
                "name; the other files go on. Each output is replaced only once it is complete;\n"
                "nothing is written when an output's folder cannot take it. Exit status 1 when\n"
                "any file failed or an output could not be written.\n"
                "\n"
                "  --out F         the PDF file to write (required)\n"
                "  --summary F     also the summary as CSV: the header line\n"
                "                  name,count,mean,min,max,range,sigma,sigma1_pct,uniformity_pct,\n"
                "                  error, then one line per file, figures with 17 significant\n"
                "                  digits; a failed file leaves the figures empty and gives its\n"
                "                  message\n";
            text += DataHelp;
            text += "  --wafer D       wafer diameter in mm, 0 to " + WholeText(MaxWaferDiameterMm) +
                    "; the figures and profiles\n"
                    "                  take the cells inside it, positions in mm (default 0: no\n"
                    "                  wafer, every cell)\n"
                    "  --edge E        edge exclusion in mm: cells within E of the rim are left out\n"
                    "  --center X,Y    wafer centre in file units, 0 to 500 (default the middle of\n"
                    "                  the Size square)\n"
                    "  --gradation F   colour the maps with the multi-colour gradation read from\n"
                    "                  the colour-setting file F instead of the hue ramp\n"
                    "  --no-raw-range  scale grid and fill maps on their own minimum and maximum,\n"
                    "                  not on the measured points' (Raw Range off)\n"
                    "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Diff:
            text =
                "Usage: morvaplot-cli diff A B --out DIFF.png|DIFF.csv [--order a-b|b-a]\n"
                "           [--rate-time T] [grid options] [--order k]\n"
                "\n"
                "Loads both files, runs Calc and Fill on each with the same parameters and\n"
                "takes the difference cell by cell where both hold data: A - B (or B - A),\n"
                "divided by T with --rate-time (a rate per unit of T). Files of different\n"
                "Size are refused. The format of the output comes from its extension: a PNG\n"
                "picture of the difference on a colour scale centred on zero (blue below,\n"
                "white at, red above it), or CSV as table --format csv writes it. The file is\n"
                "replaced only once it is complete. Exit status 1 when a load or fill fails.\n"
                "\n"
                "  --out F         the PNG or CSV file to write (required)\n"
                "  --order O       a-b (default) or b-a: which file is subtracted; an integer\n"
                "                  is the spline degree, as for fill\n"
                "  --rate-time T   the time between the two files, above 0, in any unit\n"
                "  --wafer D       with a CSV output: the wafer diameter in mm for the x_mm and\n"
                "                  y_mm columns (and with --csv the placement)\n"
                "\n";
            text += GridHelp();
            text += FillHelp();
            return text;
        case CliCommand::Random:
            return "Usage: morvaplot-cli random --out FILE.thk [--size S] [--count n]\n"
                   "           [--check r] [--base B] [--width W] [--seed N]\n"
                   "\n"
                   "Makes the random data of the window's data maker and writes it as a .thk\n"
                   "file (Size S, pitch 1,1, then x,y,z, for every cell holding data, X-major,\n"
                   "z with 3 decimals). n points at random positions 0..S, kept more than r\n"
                   "cells apart on one axis at least (r shrinks when the points do not fit),\n"
                   "each valued B + k x 0.001 with k from -1000w to 1000w - 1, w the integer\n"
                   "part of W. The file is replaced only once it is complete.\n"
                   "\n"
                   "  --out FILE.thk  the file to write (required)\n"
                   "  --size S        side of the area, integer " +
                   RangeText(Limits::DataSize) +
                   " (default 300)\n"
                   "  --count n       number of points, " +
                   RangeText(Limits::DataCount) +
                   " (default 100)\n"
                   "  --check r       half side of the square kept free round each point,\n"
                   "                  " +
                   RangeText(Limits::CheckRadius) +
                   " (default 10)\n"
                   "  --base B        base value, " +
                   RangeText(Limits::DataBase) +
                   " with at most 3\n"
                   "                  decimals (default 500.000)\n"
                   "  --width W       random width, " +
                   RangeText(Limits::RandomWidth) +
                   " with at most 3 decimals\n"
                   "                  (default 10.000); below 1 every value is B\n"
                   "  --seed N        seed of the generator, 0 to 4294967295; the same seed\n"
                   "                  gives the same data (default: from the clock)\n";
    }
    return GeneralHelp();
}

}  // namespace
