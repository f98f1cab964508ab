#include "cli/CliRun.h"

#include <array>
#include <cstring>
#include <exception>
#include <memory>

#include "cli/Listing.h"
#include "colour/MapPicture.h"
#include "core/Message.h"
#include "core/TextFile.h"
#include "data/ThkReader.h"
#include "data/XyzText.h"
#include "roi/RoiDisplay.h"
#include "roi/RoiStats.h"

namespace {

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

}  // namespace

Batch::Batch(const CliOptions& o) : Flow(FrontEnd) {
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
int ReadXyzFile(const std::string& path, ThkData& record) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        ShowMessage("File open error. -> " + path);
        return -1;
    }
    text.resize(std::strlen(text.c_str()));
    return PasteXyzText(text, record);
}

namespace {

// The input as the window takes it: a .thk file through Load, or X/Y/Z text
// (--xyz) through Paste.
int OpenInput(Session& session, const CliOptions& o) {
    if (!o.Xyz) return session.OpenFile(o.File);
    return session.Open([&o](ThkData& raw) { return ReadXyzFile(o.File, raw); });
}

}  // namespace

int PrepareData(Session& session, const CliOptions& o, bool calc, bool fill) {
    if (OpenInput(session, o) != 1) return -1;
    if (calc || fill) session.Calc();
    if (fill && session.Fill() != 1) return -1;
    return 1;
}

int PrepareData(Session& session, const CliOptions& o) {
    return PrepareData(session, o, o.DataType != DataKind::Raw, o.DataType == DataKind::Fill);
}

bool NeedsQt(CliCommand command) {
    return command == CliCommand::Image || command == CliCommand::Contours || command == CliCommand::Random ||
           command == CliCommand::View3D;
}

namespace {

int RunStats(const CliOptions& o, CommandOutput& out) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    if (o.File.empty()) {
        ShowMessage("<OpenThkData> Filename is NULL.");
        return ExitFailed;
    }
    if ((o.Xyz ? ReadXyzFile(o.File, *record) : ReadThkFile(o.File, *record)) != 1) return ExitFailed;
    out.Buffer() += StatsListing(*record);
    return ExitOk;
}

int RunCells(const CliOptions& o, CommandOutput& out, bool fill) {
    Batch batch(o);
    if (PrepareData(batch.Flow, o, true, fill) != 1) return ExitFailed;
    out.Buffer() += RadiusLine(batch.Flow.Settings().SearchRad);
    WriteCellListing(batch.Flow.Record(fill ? DataKind::Fill : DataKind::Grid),
                     [&out](const char* text, std::size_t size) { out.Write(text, size); });
    return ExitOk;
}

int RunTable(const CliOptions& o, CommandOutput& out) {
    Batch batch(o);
    if (PrepareData(batch.Flow, o) != 1) return ExitFailed;
    ChooseDataType(batch.Flow, o.DataType);
    out.Buffer() += batch.Flow.CopyDataText();
    return ExitOk;
}

// Copy ROI after Calc and Fill (the button is enabled only while Fill is
// shown): the pixels placed as the window places them on its 301 x 301 map.
int RunRoiCopy(const CliOptions& o, CommandOutput& out) {
    Batch batch(o);
    if (PrepareData(batch.Flow, o, true, true) != 1) return ExitFailed;
    const ThkData& fill = batch.Flow.Record(DataKind::Fill);
    const RoiShape shape = o.RoiSquare ? RoiShape::Square : RoiShape::Circle;
    std::array<RoiPlacement, 2> placements;
    if (!CollectRoiPlacements({true, o.RoiSecond}, {o.RoiPixelX, o.RoiPixelX2}, {o.RoiPixelY, o.RoiPixelY2},
                              {shape, shape}, {o.RoiSize, o.RoiSize}, {o.RoiFDigit, o.RoiFDigit}, fill.Size,
                              MapPictureSize, MapPictureSize, placements))
        return ExitFailed;
    out.Buffer() += BuildRoiText(placements, "\t", fill);
    return ExitOk;
}

int RunRoi(const CliOptions& o, CommandOutput& out) {
    if (o.RoiCopy) return RunRoiCopy(o, out);
    Batch batch(o);
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
        case CliCommand::Image:
        case CliCommand::Contours:
        case CliCommand::Random:
        case CliCommand::View3D:
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
