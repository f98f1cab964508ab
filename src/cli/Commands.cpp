#include "cli/Commands.h"

#include <QGuiApplication>
#include <QImage>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "cli/CliOptions.h"
#include "cli/Listing.h"
#include "cli/OutputFile.h"
#include "colour/ColorSettingFile.h"
#include "colour/ContourMap.h"
#include "colour/MapPicture.h"
#include "core/Message.h"
#include "core/TextFile.h"
#include "data/RandomData.h"
#include "data/ThkReader.h"
#include "data/XyzText.h"
#include "render3d/Offscreen3D.h"
#include "roi/RoiDisplay.h"
#include "roi/RoiStats.h"
#include "session/Session.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// Collects the listing and writes it in one piece at the end, or, for the
// long cell listings, passes pieces straight on after what was collected; a
// write error (a full disk, a closed pipe) turns the exit status into a
// failure.
class Output {
public:
    Output(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    std::string& Buffer() { return buffer_; }

    // Writes what was collected so far, then size bytes of text.
    void Write(const char* text, std::size_t size) {
        Flush();
        std::fwrite(text, 1, size, out_);
    }

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

// The batch tool's side of the flow: it has no controls, so the settings
// stay as the options set them, and it keeps only the last drawing's plan,
// which is the picture the window would show at the end.
class BatchFrontEnd final : public SessionFrontEnd {
public:
    void ShowMap(const ThkData&, const MapPlan& plan) override { LastPlan = plan; }
    MapPlan LastPlan;
};

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

// A session with the options as its settings and the colour scale as the
// window's creation leaves it.
struct Batch {
    explicit Batch(const CliOptions& o) : Flow(FrontEnd) {
        Flow.Settings() = SettingsFrom(o);
        InitColorScale(o.BorderCount);
    }
    BatchFrontEnd FrontEnd;
    Session Flow;
};

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

// Load, then Calc and Fill as far as the data type needs. 1, or -1 when the
// load or the fill failed (its message shown).
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

// The input as the window takes it: a .thk file through Load, or X/Y/Z text
// (--xyz) through Paste.
int OpenInput(Session& session, const CliOptions& o) {
    if (!o.Xyz) return session.OpenFile(o.File);
    return session.Open([&o](ThkData& raw) { return ReadXyzFile(o.File, raw); });
}

int PrepareData(Session& session, const CliOptions& o, bool calc, bool fill) {
    if (OpenInput(session, o) != 1) return -1;
    if (calc || fill) session.Calc();
    if (fill && session.Fill() != 1) return -1;
    return 1;
}

int PrepareData(Session& session, const CliOptions& o) {
    return PrepareData(session, o, o.DataType != DataKind::Raw, o.DataType == DataKind::Fill);
}

int RunStats(const CliOptions& o, Output& out) {
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

int RunCells(const CliOptions& o, Output& out, bool fill) {
    Batch batch(o);
    if (PrepareData(batch.Flow, o, true, fill) != 1) return ExitFailed;
    out.Buffer() += RadiusLine(batch.Flow.Settings().SearchRad);
    WriteCellListing(batch.Flow.Record(fill ? DataKind::Fill : DataKind::Grid),
                     [&out](const char* text, std::size_t size) { out.Write(text, size); });
    return ExitOk;
}

int RunTable(const CliOptions& o, Output& out) {
    Batch batch(o);
    if (PrepareData(batch.Flow, o) != 1) return ExitFailed;
    ChooseDataType(batch.Flow, o.DataType);
    out.Buffer() += batch.Flow.CopyDataText();
    return ExitOk;
}

// Copy ROI after Calc and Fill (the button is enabled only while Fill is
// shown): the pixels placed as the window places them on its 301 x 301 map.
int RunRoiCopy(const CliOptions& o, Output& out) {
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

int RunRoi(const CliOptions& o, Output& out) {
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

int RunContours(const CliOptions& o, Output& out) {
    Batch batch(o);
    if (PrepareData(batch.Flow, o, true, true) != 1) return ExitFailed;
    // Choosing the contour draw type redraws: the Fill record's display range
    // is settled as the contour map sees it.
    ChooseDrawType(batch.Flow, DrawKind::Contour);
    ContourListing listing;
    TraceContours(batch.Flow.Record(DataKind::Fill), batch.Flow.Record(DataKind::Fill).Size, MapPictureSize,
                  MapPictureSize, ColormapPreset(), true, DrawingRampSet, listing);
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

    Batch batch(o);
    const bool contour = o.DrawType == DrawKind::Contour;
    // The draw type can be chosen only while Fill is shown, so a contour
    // picture of any data type comes after Calc, Fill and a contour drawing.
    const bool calc = contour || o.DataType != DataKind::Raw;
    const bool fill = contour || o.DataType == DataKind::Fill;
    if (PrepareData(batch.Flow, o, calc, fill) != 1) return ExitFailed;
    if (contour) ChooseDrawType(batch.Flow, DrawKind::Contour);
    ChooseDataType(batch.Flow, o.DataType);

    const MapPlan& plan = batch.FrontEnd.LastPlan;
    QImage image;
    PaintMap(image, batch.Flow.Record(plan.Shown), plan.Draw, plan.Ramp, style);
    std::string error;
    if (WritePng(image, o.OutFile, error) != 1) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), error.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

// The record as .thk text: Size, pitch "1,1" and one "x,y,z," line per data
// cell, X-major. z is written with 3 decimals, so the file holds every value
// rounded to the nearest thousandth: base + k x 0.001 computed in binary can
// differ from the double that "%.3f" text reads back to in its last bits.
std::string ThkText(const ThkData& record) {
    std::string text = std::to_string(record.Size) + "\n1,1\n";
    char line[80];
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            if (!HasData(record.Value[x][y])) continue;
            std::snprintf(line, sizeof line, "%d,%d,%.3f,\n", x, y, record.Value[x][y]);
            text += line;
        }
    }
    return text;
}

int RunRandom(const CliOptions& o, std::FILE* err) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    if (MakeRandomData(*record, o.Random, o.Seed ? *o.Seed : ClockSeed()) != 1) return ExitFailed;
    std::string error;
    if (WriteText(ThkText(*record), o.OutFile, error) != 1) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), error.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

int RunView3D(const CliOptions& o, std::FILE* err) {
    // The 3D picture needs OpenGL through the window system: the program's
    // entry makes the application object only when a display is there.
    if (QGuiApplication::instance() == nullptr) {
        std::fputs("morvaplot-cli: view3d needs a display with OpenGL (DISPLAY is not set)\n", err);
        return ExitFailed;
    }
    Batch batch(o);
    if (PrepareData(batch.Flow, o, true, true) != 1) return ExitFailed;
    const QImage picture =
        RenderView3DImage(batch.Flow.Record(DataKind::Fill), o.View, o.PictureWidth, o.PictureHeight);
    if (picture.isNull()) {
        std::fputs("morvaplot-cli: view3d needs a display with OpenGL (no OpenGL context could be made)\n",
                   err);
        return ExitFailed;
    }
    std::string error;
    if (WritePng(picture, o.OutFile, error) != 1) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), error.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

int RunCommand(const CliOptions& options, Output& output, std::FILE* err) {
    switch (options.Command) {
        case CliCommand::Stats:
            return RunStats(options, output);
        case CliCommand::Grid:
            return RunCells(options, output, false);
        case CliCommand::Fill:
            return RunCells(options, output, true);
        case CliCommand::Table:
            return RunTable(options, output);
        case CliCommand::Image:
            return RunImage(options, err);
        case CliCommand::Contours:
            return RunContours(options, output);
        case CliCommand::Roi:
            return RunRoi(options, output);
        case CliCommand::Random:
            return RunRandom(options, err);
        case CliCommand::View3D:
            return RunView3D(options, err);
    }
    return ExitFailed;
}

}  // namespace

namespace {

int ParseAndRun(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
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
    return output.Finish(RunCommand(options, output, err));
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    // Nothing the tool runs throws by design; an exception that escapes (out
    // of memory, above all) still ends as a failure with its reason, never as
    // an abort.
    try {
        return ParseAndRun(args, out, err);
    } catch (const std::exception& e) {
        std::fprintf(err, "morvaplot-cli: %s\n", e.what());
    } catch (...) {
        std::fputs("morvaplot-cli: unknown error\n", err);
    }
    return ExitFailed;
}
