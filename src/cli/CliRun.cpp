#include "cli/CliRun.h"

#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/Analysis.h"
#include "analysis/AnalysisText.h"
#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/PairedSiteCsv.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "analysis/RecordCsvText.h"
#include "analysis/RecordDifference.h"
#include "analysis/SurfaceText.h"
#include "analysis/WaferGeometry.h"
#include "calc/SurfaceFitter.h"
#include "cli/Listing.h"
#include "colour/MapPicture.h"
#include "core/FileIdentity.h"
#include "core/Message.h"
#include "core/TextFile.h"
#include "core/WholeFile.h"
#include "data/CsvImport.h"
#include "data/DataTableText.h"
#include "roi/RoiDisplay.h"
#include "roi/RoiStats.h"
#include "session/Compare.h"
#include "session/LeaveOneOut.h"

ViewSettings SettingsFrom(const CliOptions& o) {
    ViewSettings s;
    s.CalcPitch = o.CalcPitch;
    s.SearchRad = static_cast<float>(LabelNumber(o.SearchRadText));
    s.AverageWeight = LabelNumber(o.AverageWeightText);
    s.SplineOrder = o.SplineOrder;
    s.MinDataCount = o.MinDataCount;
    s.RadOptimize = o.RadOptimize;
    s.UseColormap = o.GradationFile.empty();
    s.RawRange = o.RawRange;
    s.BorderCount = o.BorderCount;
    s.CopyColormap = o.CopyColormap;
    return s;
}

SourceInput SourceFrom(const CliOptions& o, const std::string& path) {
    SourceInput source;
    source.Path = path;
    if (o.Csv) {
        source.Format = SourceFormat::Csv;
        source.Csv = o.CsvOptions;
    } else if (o.Xyz) {
        source.Format = SourceFormat::XyzText;
    }
    return source;
}

PreparedInput::PreparedInput()
    : Records(std::make_unique<PreparedRecords>()), Fitter(std::make_unique<SurfaceFitter>()) {}
PreparedInput::~PreparedInput() = default;

PointUnits UnitsOf(const CliOptions& o) {
    return o.Csv && o.CsvOptions.Units == CsvUnits::Cells ? PointUnits::Cells : PointUnits::Millimetres;
}

int PrepareInput(const CliOptions& o, DataKind upTo, PreparedInput& input, const MessageSink& messages) {
    input.Settings = SettingsFrom(o);
    if (o.Surface.Kind != SurfaceKind::Spline)
        return PrepareSurface(SourceFrom(o, o.File), input.Settings, upTo, o.Surface, UnitsOf(o), WaferOf(o),
                              *input.Fitter, *input.Records, input.Surface, messages);
    return PrepareSource(SourceFrom(o, o.File), input.Settings, upTo, *input.Fitter, *input.Records,
                         messages);
}

int PrepareDifference(const CliOptions& o, ThkData& difference, std::vector<PairedSite>& sites,
                      const MessageSink& messages) {
    CompareRequest request;
    request.Order = o.Order;
    request.RateTime = o.RateTime;
    request.Wafer = WaferOf(o);
    auto fitter = std::make_unique<SurfaceFitter>();
    return CompareSources(SourceFrom(o, o.File), SourceFrom(o, o.File2), SettingsFrom(o), request, *fitter,
                          difference, sites, messages);
}

WaferGeometry WaferOf(const CliOptions& o) {
    WaferGeometry wafer;
    wafer.DiameterMm = o.CsvOptions.Diameter;
    wafer.EdgeExclusionMm = o.EdgeMm;
    wafer.CentreX = o.CentreX;
    wafer.CentreY = o.CentreY;
    return wafer;
}

bool NeedsQt(const CliOptions& options) {
    switch (options.Command) {
        case CliCommand::Image:
        case CliCommand::Contours:
        case CliCommand::Random:
        case CliCommand::View3D:
        case CliCommand::Report:
            return true;
        case CliCommand::Diff:
            return !DiffWritesCsv(options);
        default:
            return false;
    }
}

int WriteDiffSites(const CliOptions& o, const std::vector<PairedSite>& sites, std::FILE* err) {
    if (o.SitesFile.empty()) return ExitOk;
    const FileWriteResult written =
        WriteFileWhole(o.SitesFile, PairedSiteCsv(sites, WaferOf(o).DiameterMm > 0.0));
    if (!written.Written()) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.SitesFile.c_str(),
                     written.Reason.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

namespace {

int RunStats(const CliOptions& o, CommandOutput& out) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    if (ReadSource(SourceFrom(o, o.File), *record, out.Messages()) != 1) return ExitFailed;
    out.Buffer() += StatsListing(*record);
    return ExitOk;
}

int RunCells(const CliOptions& o, CommandOutput& out, bool fill) {
    PreparedInput input;
    if (PrepareInput(o, fill ? DataKind::Fill : DataKind::Grid, input, out.Messages()) != 1)
        return ExitFailed;
    out.Buffer() += RadiusLine(input.Settings.SearchRad);
    WriteCellListing(input.Records->Record(fill ? DataKind::Fill : DataKind::Grid),
                     [&out](const char* text, std::size_t size) { out.Write(text, size); });
    return ExitOk;
}

int RunTable(const CliOptions& o, CommandOutput& out) {
    PreparedInput input;
    if (PrepareInput(o, o.DataType, input, out.Messages()) != 1) return ExitFailed;
    const ThkData& record = input.Records->Record(o.DataType);
    if (o.TableCsv)
        out.Buffer() += RecordCsvText(record, FrameOf(WaferOf(o), record.Size));
    else
        out.Buffer() += BuildThkDataText(record, o.DataType == DataKind::Grid ? input.Settings.CalcPitch : 1);
    return ExitOk;
}

const char* DataName(DataKind kind) {
    switch (kind) {
        case DataKind::Raw:
            return "raw";
        case DataKind::Grid:
            return "grid";
        case DataKind::Fill:
            return "fill";
        case DataKind::None:
            break;
    }
    return "";
}

// The figures under the names StatisticsText gives them.
nlohmann::ordered_json StatisticsJson(const AreaStatistics& s) {
    return {{"Count", s.Count},
            {"Mean", s.Mean},
            {"Min", s.Min},
            {"MinX", s.MinX},
            {"MinY", s.MinY},
            {"Max", s.Max},
            {"MaxX", s.MaxX},
            {"MaxY", s.MaxY},
            {"Range", s.Range},
            {"SigmaN1", s.Sigma},
            {"Sigma1PctN1", s.Sigma1Pct},
            {"Sigma3PctN1", s.Sigma3Pct},
            {"UniformityMeanPct", s.UniformityPct},
            {"UniformityMaxMinPct", s.UniformityMaxMinPct}};
}

const char* ProfileName(CliProfile profile) {
    switch (profile) {
        case CliProfile::X:
            return "x";
        case CliProfile::Y:
            return "y";
        case CliProfile::Radial:
            return "radial";
        case CliProfile::Line:
            return "line";
        case CliProfile::None:
            break;
    }
    return "";
}

AnalysisRequest AnalysisRequestOf(const CliOptions& o) {
    AnalysisRequest request;
    request.Wafer = WaferOf(o);
    switch (o.Profile) {
        case CliProfile::X:
            request.Profile = ProfileKind::X;
            break;
        case CliProfile::Y:
            request.Profile = ProfileKind::Y;
            break;
        case CliProfile::Radial:
            request.Profile = ProfileKind::Radial;
            break;
        case CliProfile::Line:
            request.Profile = ProfileKind::Line;
            break;
        case CliProfile::None:
            break;
    }
    request.LineX0 = o.LineX0;
    request.LineY0 = o.LineY0;
    request.LineX1 = o.LineX1;
    request.LineY1 = o.LineY1;
    request.HistogramBins = o.HistogramBins;
    return request;
}

// What analyze adds after its figures for the surface options: the surface's
// overshoot and Zernike terms, the residuals, the radius curve (all of the
// records as measured) and the levelling then taken out of the shown and the
// raw record.
struct SurfaceFigures {
    WaferFrame Frame;
    std::vector<SiteResidual> Residuals;
    const char* How = "leave-one-out";
    std::vector<RadiusScanRow> Scan;
    Overshoot Over;
    std::optional<Levelling> Level;
};

int FindSurfaceFigures(const CliOptions& o, PreparedInput& input, SurfaceFigures& f,
                       const MessageSink& messages) {
    ThkData& raw = input.Records->Record(DataKind::Raw);
    ThkData& shown = input.Records->Record(o.DataType);
    const bool smooth = o.Surface.Kind != SurfaceKind::Spline;
    const bool needSites = o.Residuals || o.RadiusScan || o.Level != LevelKind::None || o.SurfaceGiven;
    if (!needSites) return 1;
    f.Frame = FrameOf(WaferOf(o), raw.Size);
    const std::vector<SurfaceSite> sites = smooth ? input.Surface.Sites : SitesOf(raw, UnitsOf(o));
    if (smooth) {
        f.Over = input.Surface.Over;
        f.Residuals = input.Surface.Residuals;
        if (!input.Surface.LeaveOneOut) f.How = "fit";
    } else if (o.SurfaceGiven && o.DataType == DataKind::Fill) {
        f.Over = FindOvershoot(shown, sites, f.Frame);
    }
    if (o.Residuals && !smooth) SplineLeaveOneOut(raw, sites, input.Settings, f.Residuals);
    if (o.RadiusScan) {
        std::vector<RadiusScore> scores;
        ScanSearchRadius(raw, sites, input.Settings, ScanRadii(o.ScanFrom, o.ScanTo, o.ScanStep), scores);
        for (const RadiusScore& s : scores)
            f.Scan.push_back({s.Radius, s.Summary});
    }
    if (o.Level != LevelKind::None) {
        Levelling level;
        if (FitLevelling(shown, sites, f.Frame, o.Level, level) != 1) {
            messages.Show(LevellingFailedMessage);
            return -1;
        }
        RemoveLevelling(shown, f.Frame, level);
        if (&shown != &raw) RemoveLevelling(raw, f.Frame, level);
        f.Level = level;
    }
    return 1;
}

std::string SurfaceFiguresText(const CliOptions& o, const SurfaceFigures& f) {
    std::string text;
    if (o.SurfaceGiven) {
        text += "Surface\t" + SurfaceChoiceText(o.Surface) + "\n";
        if (o.DataType == DataKind::Fill) text += OvershootText(f.Over, f.Frame);
    }
    if (f.Level) text += LevellingText(*f.Level);
    if (o.Residuals) text += ResidualsText(f.Residuals, f.Frame, f.How);
    if (o.RadiusScan) text += RadiusScanText(f.Scan);
    return text;
}

void AddSurfaceFiguresJson(const CliOptions& o, const SurfaceFigures& f, nlohmann::ordered_json& doc) {
    const auto at = [&f](double x, double y) {
        const FitPoint p = FitPointOf(f.Frame, x, y);
        return f.Frame.HasWafer ? std::pair(p.X, p.Y) : std::pair(x, y);
    };
    if (o.SurfaceGiven) {
        nlohmann::ordered_json surface = {{"kind", SurfaceChoiceText(o.Surface)}};
        if (o.DataType == DataKind::Fill) {
            nlohmann::ordered_json over = {{"allowance", f.Over.Allowance}};
            for (const auto& [side, name] :
                 {std::pair(&f.Over.Below, "below"), std::pair(&f.Over.Above, "above")}) {
                if (!side->Beyond) {
                    over[name] = nullptr;
                    continue;
                }
                const auto [x, y] = at(side->X, side->Y);
                over[name] = {{"value", side->Value}, {"x", x}, {"y", y}, {"excess", side->Excess}};
            }
            surface["overshoot"] = std::move(over);
        }
        doc["surface"] = std::move(surface);
    }
    if (f.Level) {
        const Levelling& l = *f.Level;
        doc["levelling"] = {{"kind", l.Kind == LevelKind::Bow ? "bow" : "tilt"},
                            {"through", l.FromSites ? "sites" : "cells"},
                            {"piston", l.Piston},
                            {"tilt_x", l.TiltX},
                            {"tilt_y", l.TiltY},
                            {"tilt", l.TiltMagnitude()},
                            {"tilt_direction_deg", l.TiltDirectionDeg()},
                            {"bow", l.Bow}};
    }
    if (o.Residuals) {
        nlohmann::ordered_json sites = nlohmann::ordered_json::array();
        for (const SiteResidual& r : f.Residuals) {
            const auto [x, y] = at(r.X, r.Y);
            nlohmann::ordered_json site = {{"site", r.Number}, {"x", x}, {"y", y}, {"measured", r.Measured}};
            site["predicted"] = r.Predicted ? nlohmann::ordered_json(r.Prediction) : nullptr;
            site["residual"] = r.Predicted ? nlohmann::ordered_json(r.Residual) : nullptr;
            if (!r.Predicted) site["note"] = r.Note;
            sites.push_back(std::move(site));
        }
        const ResidualSummary s = SummariseResiduals(f.Residuals);
        doc["residuals"] = {
            {"how", f.How},
            {"sites", std::move(sites)},
            {"count", s.Count},
            {"missing", s.Missing},
            {"rms", s.Rms},
            {"mean", s.Mean},
            {"max_abs", s.LargestAbs},
            {"max_abs_site",
             s.Largest >= 0 ? nlohmann::ordered_json(f.Residuals[static_cast<std::size_t>(s.Largest)].Number)
                            : nullptr}};
    }
    if (o.RadiusScan) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const RadiusScanRow& r : f.Scan)
            rows.push_back({{"radius", r.Radius},
                            {"rms", r.Summary.Rms},
                            {"mean", r.Summary.Mean},
                            {"max_abs", r.Summary.LargestAbs},
                            {"count", r.Summary.Count},
                            {"missing", r.Summary.Missing}});
        doc["radius_scan"] = std::move(rows);
    }
}

// analyze: the figures of the shown record and of the raw sites inside the
// wafer, then the profile and the histogram of the shown record.
int RunAnalyze(const CliOptions& o, CommandOutput& out) {
    const AnalysisRequest request = AnalysisRequestOf(o);
    PreparedInput input;
    if (PrepareInput(o, o.DataType, input, out.Messages()) != 1) return ExitFailed;
    SurfaceFigures surface;
    if (FindSurfaceFigures(o, input, surface, out.Messages()) != 1) return ExitFailed;
    AnalysisResult result;
    if (AnalyzeRecord(input.Records->Record(o.DataType), &input.Records->Record(DataKind::Raw), request,
                      result, out.Messages()) != 1)
        return ExitFailed;
    const AreaStatistics& shown = result.Shown;
    const AreaStatistics sites = result.Sites.value_or(AreaStatistics{});
    const std::vector<ProfilePoint>& profile = result.Profile;
    const std::vector<RingStats>& rings = result.Rings;
    const Histogram histogram = result.Histo.value_or(Histogram{});
    const WaferGeometry& wafer = request.Wafer;

    // No data cell inside the wafer: a message and a failure, never a table
    // of zeros that reads as figures.
    const bool empty = shown.Count == 0;
    if (empty) out.Messages().Show(EmptyAreaMessage);
    if (!o.Json) {
        if (empty) return ExitFailed;
        std::string& text = out.Buffer();
        text += StatisticsText(shown);
        text += StatisticsText(sites, "Sites");
        if (o.Profile != CliProfile::None) {
            text += "Profile\t";
            text += ProfileName(o.Profile);
            text += '\n';
            text += o.Profile == CliProfile::Radial ? RadialProfileText(rings) : ProfileText(profile);
        }
        if (o.HistogramBins > 0) {
            text += "Histogram\t" + std::to_string(o.HistogramBins) + "\n";
            text += HistogramText(histogram);
        }
        text += SurfaceFiguresText(o, surface);
        return ExitOk;
    }

    const WaferFrame& frame = result.Frame;
    nlohmann::ordered_json doc;
    doc["file"] = o.File;
    doc["data"] = DataName(o.DataType);
    if (frame.HasWafer) {
        doc["wafer"] = {{"diameter_mm", wafer.DiameterMm},
                        {"edge_mm", wafer.EdgeExclusionMm},
                        {"centre_x", frame.CentreX},
                        {"centre_y", frame.CentreY},
                        {"mm_per_unit", frame.MmPerUnit}};
    } else {
        doc["wafer"] = nullptr;
    }
    if (empty) {
        doc["statistics"] = nullptr;
        doc["sites"] = nullptr;
        doc["message"] = EmptyAreaMessage;
    } else {
        doc["statistics"] = StatisticsJson(shown);
        doc["sites"] = StatisticsJson(sites);
    }
    if (o.Profile == CliProfile::None) {
        doc["profile"] = nullptr;
    } else {
        nlohmann::ordered_json points = nlohmann::ordered_json::array();
        if (o.Profile == CliProfile::Radial) {
            for (const RingStats& r : rings)
                if (r.Count > 0)
                    points.push_back({{"position", r.Inner},
                                      {"count", r.Count},
                                      {"mean", r.Mean},
                                      {"min", r.Min},
                                      {"max", r.Max}});
        } else {
            for (const ProfilePoint& p : profile)
                points.push_back({{"position", p.Position}, {"value", p.Value}, {"x", p.X}, {"y", p.Y}});
        }
        doc["profile"] = {{"kind", ProfileName(o.Profile)},
                          {"unit", frame.HasWafer ? "mm" : "file"},
                          {"points", std::move(points)}};
    }
    if (o.HistogramBins > 0)
        doc["histogram"] = {
            {"edges", histogram.Edges}, {"counts", histogram.Counts}, {"total", histogram.Total}};
    else
        doc["histogram"] = nullptr;
    AddSurfaceFiguresJson(o, surface, doc);
    // A file name need not be UTF-8: its bad bytes become U+FFFD in the
    // document instead of failing the command.
    out.Buffer() += doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    out.Buffer() += '\n';
    return empty ? ExitFailed : ExitOk;
}

int RunDiffCsv(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    auto difference = std::make_unique<ThkData>();
    ClearThkData(difference.get(), 1);
    std::vector<PairedSite> sites;
    if (PrepareDifference(o, *difference, sites, messages) != 1) return ExitFailed;
    if (WriteDiffSites(o, sites, err) != ExitOk) return ExitFailed;
    // Whole or not at all, as the pictures are written.
    const FileWriteResult written =
        WriteFileWhole(o.OutFile, RecordCsvText(*difference, FrameOf(WaferOf(o), difference->Size)));
    if (!written.Written()) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), written.Reason.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

// Copy ROI after Calc and Fill (the button is enabled only while Fill is
// shown): the pixels placed as the window places them on its 301 x 301 map.
int RunRoiCopy(const CliOptions& o, CommandOutput& out) {
    PreparedInput input;
    if (PrepareInput(o, DataKind::Fill, input, out.Messages()) != 1) return ExitFailed;
    const ThkData& fill = input.Records->Record(DataKind::Fill);
    const RoiShape shape = o.RoiSquare ? RoiShape::Square : RoiShape::Circle;
    std::array<RoiPlacement, 2> placements;
    if (!CollectRoiPlacements({true, o.RoiSecond}, {o.RoiPixelX, o.RoiPixelX2}, {o.RoiPixelY, o.RoiPixelY2},
                              {shape, shape}, {o.RoiSize, o.RoiSize}, {o.RoiFDigit, o.RoiFDigit}, fill.Size,
                              MapPictureSize, MapPictureSize, placements, out.Messages()))
        return ExitFailed;
    out.Buffer() += BuildRoiText(placements, "\t", fill, out.Messages());
    return ExitOk;
}

int RunRoi(const CliOptions& o, CommandOutput& out) {
    if (o.RoiCopy) return RunRoiCopy(o, out);
    PreparedInput input;
    if (PrepareInput(o, o.DataType, input, out.Messages()) != 1) return ExitFailed;
    const ThkData& record = input.Records->Record(o.DataType);
    int x = o.RoiX;
    int y = o.RoiY;
    if (o.RoiByPixel) {
        x = RoiDisplayIndex(o.RoiPixelX, record.Size, MapPictureSize);
        y = RoiDisplayIndex(o.RoiPixelY, record.Size, MapPictureSize);
    }
    RoiStats stats{NoData, NoData, NoData};
    const int count =
        CalcRoiStatistics(record, o.RoiSquare ? RoiShape::Square : RoiShape::Circle, x, y, o.RoiSize, stats);
    out.Buffer() += RoiListing(count, stats);
    const RoiLabelTexts labels = RoiLabelCaptions(count, stats, o.RoiFDigit);
    out.Buffer() += labels.Min + "\n" + labels.Max + "\n" + labels.Mean + "\n";
    return ExitOk;
}

int RunCommand(const CliOptions& options, CommandOutput& output, std::FILE* err,
               const QtCommandRunner& runQt) {
    switch (options.Command) {
        case CliCommand::Stats:
            return RunStats(options, output);
        case CliCommand::Grid:
            return RunCells(options, output, false);
        case CliCommand::Fill:
            return RunCells(options, output, true);
        case CliCommand::Table:
            return RunTable(options, output);
        case CliCommand::Roi:
            return RunRoi(options, output);
        case CliCommand::Analyze:
            return RunAnalyze(options, output);
        case CliCommand::Diff:
            if (DiffWritesCsv(options)) return RunDiffCsv(options, output.Messages(), err);
            return runQt(options, output, err);
        case CliCommand::Image:
        case CliCommand::Contours:
        case CliCommand::Random:
        case CliCommand::View3D:
        case CliCommand::Report:
            return runQt(options, output, err);
    }
    return ExitFailed;
}

// An output that is an input, or the other output, would replace it: the
// message that refuses it, or an empty text. Checked before anything is read.
std::string OutputClash(const CliOptions& o) {
    std::vector<std::pair<const char*, std::string>> inputs;
    for (const std::string& file : o.Files.empty() ? std::vector<std::string>{o.File} : o.Files)
        if (!file.empty()) inputs.emplace_back("an input", file);
    if (!o.File2.empty()) inputs.emplace_back("an input", o.File2);
    if (!o.GradationFile.empty()) inputs.emplace_back("the gradation file", o.GradationFile);
    const std::pair<const char*, std::string> outputs[] = {{"--out", o.OutFile},
                                                           {"--summary", o.SummaryFile}};
    for (const auto& [option, output] : outputs) {
        if (output.empty()) continue;
        for (const auto& [what, input] : inputs)
            if (SameFile(output, input)) return std::string(option) + " names " + what + ": " + input;
    }
    if (!o.OutFile.empty() && !o.SummaryFile.empty() && SameFile(o.OutFile, o.SummaryFile))
        return "--summary must name another file than --out";
    return {};
}

int ParseAndRun(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
                const QtCommandRunner& runQt) {
    CliOptions options;
    const ParseResult parsed = ParseCommandLine(args, options);
    if (parsed.Status == ParseStatus::Help) {
        std::fputs(parsed.Text.c_str(), out);
        return std::fflush(out) == 0 ? ExitOk : ExitFailed;
    }
    if (parsed.Status == ParseStatus::Usage) {
        std::fputs(parsed.Text.c_str(), err);
        return ExitUsage;
    }
    const std::string clash = OutputClash(options);
    if (!clash.empty()) {
        std::fprintf(err, "morvaplot-cli: %s\n", clash.c_str());
        return ExitUsage;
    }
    CommandOutput output(out, err);
    return output.Finish(RunCommand(options, output, err, runQt));
}

}  // namespace

int RunCliWith(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
               const QtCommandRunner& runQt) {
    // Nothing the tool runs throws by design; an exception that escapes (out
    // of memory, above all) still ends as a failure with its reason, never as
    // an abort.
    try {
        return ParseAndRun(args, out, err, runQt);
    } catch (const std::exception& e) {
        std::fprintf(err, "morvaplot-cli: %s\n", e.what());
    } catch (...) {
        std::fputs("morvaplot-cli: unknown error\n", err);
    }
    return ExitFailed;
}
