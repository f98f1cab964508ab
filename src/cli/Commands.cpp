#include "cli/Commands.h"

#include <QImage>
#include <memory>

#include "cli/BatchSession.h"
#include "cli/CliOptions.h"
#include "cli/Listing.h"
#include "cli/MapPicture.h"
#include "colour/ColorSettingFile.h"
#include "colour/ContourMap.h"
#include "core/Message.h"
#include "data/DataTableText.h"
#include "data/ThkReader.h"
#include "roi/RoiStats.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// Collects the listing and writes it in one piece at the end; a write error
// (a full disk, a closed pipe) turns the exit status into a failure.
class Output {
public:
    Output(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    std::string& Buffer() { return buffer_; }

    int Finish(int status) {
        Flush();
        if (std::fflush(out_) != 0 || std::ferror(out_)) {
            std::fputs("morvaplot-cli: cannot write the output\n", err_);
            return ExitFailed;
        }
        return status;
    }

private:
    void Flush() {
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
        buffer_.clear();
    }

    std::FILE* out_;
    std::FILE* err_;
    std::string buffer_;
};

SessionSettings SettingsFrom(const CliOptions& o) {
    SessionSettings s;
    s.CalcPitch = o.CalcPitch;
    s.SearchRadText = o.SearchRadText;
    s.AverageWeightText = o.AverageWeightText;
    s.SplineOrder = o.SplineOrder;
    s.MinDataCount = o.MinDataCount;
    s.RadOptimize = o.RadOptimize;
    s.RawRange = o.RawRange;
    s.BorderCount = o.BorderCount;
    return s;
}

// Load, then Calc and Fill as far as the data type needs. 1, or -1 when the
// load or the fill failed (its message shown).
int PrepareData(BatchSession& session, const std::string& file, bool calc, bool fill) {
    if (session.Load(file) != 1) return -1;
    if (calc || fill) session.Calc();
    if (fill && session.Fill() != 1) return -1;
    return 1;
}

int RunStats(const CliOptions& o, Output& out) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    if (o.File.empty()) {
        ShowMessage("<OpenThkData> Filename is NULL.");
        return ExitFailed;
    }
    if (ReadThkFile(o.File, *record) != 1) return ExitFailed;
    out.Buffer() += StatsListing(*record);
    return ExitOk;
}

int RunCells(const CliOptions& o, Output& out, bool fill) {
    BatchSession session(SettingsFrom(o));
    if (PrepareData(session, o.File, true, fill) != 1) return ExitFailed;
    out.Buffer() += RadiusLine(session.SearchRad());
    const ThkData& record = session.Record(fill ? DataFill : DataGrid);
    AppendCellListing(out.Buffer(), record);
    return ExitOk;
}

int RunTable(const CliOptions& o, Output& out) {
    BatchSession session(SettingsFrom(o));
    if (PrepareData(session, o.File, o.DataType >= DataGrid, o.DataType == DataFill) != 1) return ExitFailed;
    const int step = o.DataType == DataGrid ? session.CalcPitch() : 1;
    out.Buffer() += BuildThkDataText(session.Record(o.DataType), step);
    return ExitOk;
}

int RunRoi(const CliOptions& o, Output& out) {
    BatchSession session(SettingsFrom(o));
    if (PrepareData(session, o.File, o.DataType >= DataGrid, o.DataType == DataFill) != 1) return ExitFailed;
    RoiStats stats{NoData, NoData, NoData};
    const int count =
        CalcRoiStatistics(session.Record(o.DataType), o.RoiSquare ? 1 : 0, o.RoiX, o.RoiY, o.RoiSize, stats);
    out.Buffer() += RoiListing(count, stats);
    return ExitOk;
}

int RunContours(const CliOptions& o, Output& out) {
    BatchSession session(SettingsFrom(o));
    if (PrepareData(session, o.File, true, true) != 1) return ExitFailed;
    // Choosing the contour draw type redraws: the Fill record's display range
    // is settled as the contour map sees it.
    session.SelectDrawType(DrawContour);
    const ThkData& fill = session.Record(DataFill);
    const GradationTable table = ColormapPreset();
    ContourListing listing;
    TraceContours(fill, fill.Size, MapPictureSize, MapPictureSize, GradationIntervals(table),
                  table.Colors.data(), true, DrawingRampSet, listing);
    out.Buffer() += listing.Text();
    return ExitOk;
}

int RunImage(const CliOptions& o, std::FILE* err) {
    MapStyle style;
    style.CopyColormap = o.CopyColormap;
    if (!o.GradationFile.empty()) {
        // Colormap unticked, then Load in the gradation dialog.
        style.UseColormap = false;
        const int count = LoadColorSetting(o.GradationFile, style.Table);
        if (count <= 0) {
            // Failures have shown their messages; a count of 0 or less has none.
            std::fprintf(err, "morvaplot-cli: no gradation loaded from %s\n", o.GradationFile.c_str());
            return ExitFailed;
        }
    }

    BatchSession session(SettingsFrom(o));
    const bool contour = o.DrawType == DrawContour;
    // The draw type can be chosen only while Fill is shown, so a contour
    // picture of any data type comes after Calc, Fill and a contour drawing.
    if (PrepareData(session, o.File, contour || o.DataType >= DataGrid, contour || o.DataType == DataFill) !=
        1)
        return ExitFailed;
    if (contour) session.SelectDrawType(DrawContour);
    session.SelectDataType(o.DataType);

    QImage image(MapPictureSize, MapPictureSize, QImage::Format_RGB32);
    PaintRedraw(session, style, image);
    std::string error;
    if (WritePng(image, o.OutFile, error) != 1) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), error.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
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
    Output output(out, err);
    int status = ExitFailed;
    switch (options.Command) {
        case CliCommand::Stats:
            status = RunStats(options, output);
            break;
        case CliCommand::Grid:
            status = RunCells(options, output, false);
            break;
        case CliCommand::Fill:
            status = RunCells(options, output, true);
            break;
        case CliCommand::Table:
            status = RunTable(options, output);
            break;
        case CliCommand::Image:
            status = RunImage(options, err);
            break;
        case CliCommand::Contours:
            status = RunContours(options, output);
            break;
        case CliCommand::Roi:
            status = RunRoi(options, output);
            break;
    }
    return output.Finish(status);
}
