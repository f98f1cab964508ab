#include "cli/Commands.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/Listing.h"
#include "cli/OutputFile.h"
#include "cli/ReportCommand.h"
#include "colour/ColorSettingFile.h"
#include "colour/ContourMap.h"
#include "colour/MapPicture.h"
#include "colour/SitesOverlay.h"
#include "data/RandomData.h"
#include "render3d/Offscreen3D.h"
#include "report/DivergingRamp.h"

// The commands that need Qt; the rest of the tool is in cli/CliRun.cpp.

namespace {

int RunContours(const CliOptions& o, CommandOutput& out) {
    Batch batch(o, out.Messages());
    if (PrepareData(batch.Flow, o, true, true) != 1) return ExitFailed;
    // Choosing the contour draw type redraws: the Fill record's display range
    // is settled as the contour map sees it.
    ChooseDrawType(batch.Flow, DrawKind::Contour);
    ContourListing listing;
    TraceContours(batch.Flow.Record(DataKind::Fill), batch.Flow.Record(DataKind::Fill).Size, MapPictureSize,
                  MapPictureSize, o.BorderCount, ColormapPreset(), true, DrawingRampSet, listing);
    out.Buffer() += listing.Text();
    return ExitOk;
}

int RunImage(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    MapStyle style;
    style.CopyColormap = o.CopyColormap;
    style.BorderCount = o.BorderCount;
    if (!o.GradationFile.empty()) {
        // Colormap unticked, then Load in the gradation dialog.
        style.UseColormap = false;
        const int count = LoadColorSetting(o.GradationFile, style.Table, messages);
        if (count <= 0) {
            // Failures have shown their messages; a count of 0 or less has none.
            std::fprintf(err, "morvaplot-cli: no gradation loaded from %s\n", o.GradationFile.c_str());
            return ExitFailed;
        }
    }

    Batch batch(o, messages);
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
    // The sites the sampling misses, over the picture as the window lays them
    // over its map: a colour map of Raw or Grid data only.
    if (o.Sites && plan.Draw == DrawKind::Colormap && plan.Shown != DataKind::Fill)
        PaintSites(image, batch.Flow.Record(plan.Shown), plan.Ramp, style);
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

int RunRandom(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    if (MakeRandomData(*record, o.Random, o.Seed ? *o.Seed : ClockSeed(), messages) != 1) return ExitFailed;
    std::string error;
    if (WriteText(ThkText(*record), o.OutFile, error) != 1) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), error.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

int RunView3D(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    // The 3D picture needs OpenGL through the window system: the program's
    // entry makes the application object only when a display is there.
    if (QGuiApplication::instance() == nullptr) {
        std::fputs("morvaplot-cli: view3d needs a display with OpenGL (DISPLAY is not set)\n", err);
        return ExitFailed;
    }
    Batch batch(o, messages);
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

// diff written as a picture: the difference on the diverging colours centred
// on zero, sampled as the colour map samples a record, cells without data in
// the map's back colour.
int RunDiffImage(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    auto difference = std::make_unique<ThkData>();
    ClearThkData(difference.get(), 1);
    if (PrepareDifference(o, *difference, messages) != 1) return ExitFailed;
    QImage image;
    PaintDivergingMap(image, *difference, MapStyle{}.BackColor);
    std::string error;
    if (WritePng(image, o.OutFile, error) != 1) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), error.c_str());
        return ExitFailed;
    }
    return ExitOk;
}

int RunQtCommand(const CliOptions& options, CommandOutput& output, std::FILE* err) {
    switch (options.Command) {
        case CliCommand::Image:
            return RunImage(options, output.Messages(), err);
        case CliCommand::Contours:
            return RunContours(options, output);
        case CliCommand::Random:
            return RunRandom(options, output.Messages(), err);
        case CliCommand::View3D:
            return RunView3D(options, output.Messages(), err);
        case CliCommand::Report:
            return RunReport(options, output.Messages(), err);
        case CliCommand::Diff:
            if (!DiffWritesCsv(options)) return RunDiffImage(options, output.Messages(), err);
            break;
        default:
            break;
    }
    return ExitFailed;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return RunCliWith(args, out, err, RunQtCommand);
}
