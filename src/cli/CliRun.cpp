#include "cli/CliRun.h"

#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/AnalysisText.h"
#include "analysis/AreaStatistics.h"
#include "analysis/Histogram.h"
#include "analysis/Profile.h"
#include "analysis/RadialProfile.h"
#include "analysis/RecordCsvText.h"
#include "analysis/RecordDifference.h"
#include "analysis/WaferGeometry.h"
#include "cli/Listing.h"
#include "colour/MapPicture.h"
#include "core/Message.h"
#include "core/TextFile.h"
#include "core/WholeFile.h"
#include "data/CsvImport.h"
#include "data/ThkReader.h"
#include "data/XyzText.h"
#include "roi/RoiDisplay.h"
#include "roi/RoiStats.h"

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

Batch::Batch(const CliOptions& o, const MessageSink& messages) : FrontEnd(messages), Flow(FrontEnd) {
    Flow.Settings() = SettingsFrom(o);
}

// The user picks a data type item or a draw type; picking the current one
// changes nothing, as in the window.
void ChooseDataType(Session& session, DataKind kind) {
    if (session.Settings().DataType == kind) return;
    session.Settings().DataType = kind;
    session.DataTypeClick();
}

void ChooseDrawType(Session& session, DrawKind kind) {
    if (session.Settings().DrawType == kind) return;
    session.Settings().DrawType = kind;
    session.DrawTypeChange();
}

// X/Y/Z text from a file: its bytes up to the first NUL, converted as Paste
// converts the clipboard's text.
int ReadXyzFile(const std::string& path, ThkData& record, const MessageSink& messages) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        messages.Show("File open error. -> " + path);
        return -1;
    }
    text.resize(std::strlen(text.c_str()));
    return PasteXyzText(text, record, messages);
}

int OpenInput(Session& session, const CliOptions& o, const std::string& path) {
    if (o.Csv)
        return session.Open([&](ThkData& raw, const MessageSink& messages) {
            return ImportCsvFile(path, o.CsvOptions, raw, messages);
        });
    if (o.Xyz)
        return session.Open(
            [&](ThkData& raw, const MessageSink& messages) { return ReadXyzFile(path, raw, messages); });
    return session.OpenFile(path);
}

int PrepareData(Session& session, const CliOptions& o, bool calc, bool fill) {
    if (OpenInput(session, o, o.File) != 1) return -1;
    if (calc || fill) session.Calc();
    if (fill && session.Fill() != 1) return -1;
    return 1;
}

int PrepareData(Session& session, const CliOptions& o) {
    return PrepareData(session, o, o.DataType != DataKind::Raw, o.DataType == DataKind::Fill);
}

int PrepareDifference(const CliOptions& o, ThkData& difference, const MessageSink& messages) {
    // Each file through a session of its own, as the window's Compare loads
    // the second file beside the first.
    auto first = std::make_unique<Batch>(o, messages);
    if (PrepareData(first->Flow, o, true, true) != 1) return -1;
    CliOptions second = o;
    second.File = o.File2;
    auto other = std::make_unique<Batch>(second, messages);
    if (PrepareData(other->Flow, second, true, true) != 1) return -1;
    return DifferenceOfRecords(first->Flow.Record(DataKind::Fill), other->Flow.Record(DataKind::Fill),
                               o.Order, o.RateTime, difference, messages);
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

namespace {

int RunStats(const CliOptions& o, CommandOutput& out) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    if (o.File.empty()) {
        out.Messages().Show("<OpenThkData> Filename is NULL.");
        return ExitFailed;
    }
    const MessageSink& messages = out.Messages();
    const int read = o.Csv   ? ImportCsvFile(o.File, o.CsvOptions, *record, messages)
                     : o.Xyz ? ReadXyzFile(o.File, *record, messages)
                             : ReadThkFile(o.File, *record, messages);
    if (read != 1) return ExitFailed;
    out.Buffer() += StatsListing(*record);
    return ExitOk;
}

int RunCells(const CliOptions& o, CommandOutput& out, bool fill) {
    Batch batch(o, out.Messages());
    if (PrepareData(batch.Flow, o, true, fill) != 1) return ExitFailed;
    out.Buffer() += RadiusLine(batch.Flow.Settings().SearchRad);
    WriteCellListing(batch.Flow.Record(fill ? DataKind::Fill : DataKind::Grid),
                     [&out](const char* text, std::size_t size) { out.Write(text, size); });
    return ExitOk;
}

int RunTable(const CliOptions& o, CommandOutput& out) {
    Batch batch(o, out.Messages());
    if (PrepareData(batch.Flow, o) != 1) return ExitFailed;
    ChooseDataType(batch.Flow, o.DataType);
    if (o.TableCsv) {
        const ThkData& record = batch.Flow.Record(o.DataType);
        out.Buffer() += RecordCsvText(record, FrameOf(WaferOf(o), record.Size));
    } else {
        out.Buffer() += batch.Flow.CopyDataText();
    }
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
            {"Sigma", s.Sigma},
            {"Sigma1Pct", s.Sigma1Pct},
            {"Sigma3Pct", s.Sigma3Pct},
            {"UniformityPct", s.UniformityPct}};
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

std::vector<ProfilePoint> ProfileOf(const CliOptions& o, const ThkData& record, const AnalysisMask& mask) {
    switch (o.Profile) {
        case CliProfile::X:
            return DiameterProfile(record, mask, ProfileAxis::X);
        case CliProfile::Y:
            return DiameterProfile(record, mask, ProfileAxis::Y);
        case CliProfile::Line:
            return LineProfile(record, mask, o.LineX0, o.LineY0, o.LineX1, o.LineY1);
        default:
            return {};
    }
}

// analyze: the figures of the shown record and of the raw sites inside the
// wafer, then the profile and the histogram of the shown record.
int RunAnalyze(const CliOptions& o, CommandOutput& out) {
    Batch batch(o, out.Messages());
    if (PrepareData(batch.Flow, o) != 1) return ExitFailed;
    ChooseDataType(batch.Flow, o.DataType);
    const ThkData& record = batch.Flow.Record(o.DataType);
    const ThkData& raw = batch.Flow.Record(DataKind::Raw);
    const WaferGeometry wafer = WaferOf(o);
    const AnalysisMask mask(record.Size, wafer);
    const AnalysisMask rawMask(raw.Size, wafer);
    const AreaStatistics shown = CalcAreaStatistics(record, mask);
    const AreaStatistics sites = CalcAreaStatistics(raw, rawMask);
    std::vector<ProfilePoint> profile = ProfileOf(o, record, mask);
    std::vector<RingStats> rings;
    if (o.Profile == CliProfile::Radial) rings = RadialProfile(record, mask);
    Histogram histogram;
    if (o.HistogramBins > 0) histogram = CalcHistogram(record, mask, o.HistogramBins);

    if (!o.Json) {
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
        return ExitOk;
    }

    const WaferFrame& frame = mask.Frame();
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
    doc["statistics"] = StatisticsJson(shown);
    doc["sites"] = StatisticsJson(sites);
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
    out.Buffer() += doc.dump(2);
    out.Buffer() += '\n';
    return ExitOk;
}

int RunDiffCsv(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    auto difference = std::make_unique<ThkData>();
    ClearThkData(difference.get(), 1);
    if (PrepareDifference(o, *difference, messages) != 1) return ExitFailed;
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
    Batch batch(o, out.Messages());
    if (PrepareData(batch.Flow, o, true, true) != 1) return ExitFailed;
    const ThkData& fill = batch.Flow.Record(DataKind::Fill);
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
    Batch batch(o, out.Messages());
    if (PrepareData(batch.Flow, o) != 1) return ExitFailed;
    const ThkData& record = batch.Flow.Record(o.DataType);
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
