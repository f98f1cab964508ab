#include "cli/Commands.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/Analysis.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/Listing.h"
#include "cli/OutputFile.h"
#include "cli/ReportCommand.h"
#include "colour/ColorSettingFile.h"
#include "colour/ContourMap.h"
#include "colour/DifferenceScale.h"
#include "colour/MapPicture.h"
#include "colour/SitesOverlay.h"
#include "data/RandomData.h"
#include "data/ThkWriter.h"
#include "render3d/Offscreen3D.h"
#include "report/AnnotatedPicture.h"
#include "report/ReportApplication.h"
#include "session/MapPlan.h"

// The commands that need Qt; the rest of the tool is in cli/CliRun.cpp.

namespace {

// The name a user reads for a path: its last part.
std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

int RunContours(const CliOptions& o, CommandOutput& out) {
    PreparedInput input;
    if (PrepareInput(o, DataKind::Fill, input, out.Messages()) != 1) return ExitFailed;
    // The Fill record's display range settled as the contour map sees it.
    const ThkData& fill = input.Records->Record(DataKind::Fill);
    ContourListing listing;
    TraceContours(fill, fill.Size, MapPictureSize, MapPictureSize, o.BorderCount, ColormapPreset(), true,
                  DrawingRampSet, listing);
    out.Buffer() += listing.Text();
    return ExitOk;
}

int RunImage(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    MapStyle style = MapStyleOf(SettingsFrom(o));
    if (o.Range) style.Range = FixedRange{o.RangeMin, o.RangeMax};
    if (!o.GradationFile.empty()) {
        // Colormap unticked (the settings say so), then Load in the gradation dialog.
        const int count = LoadColorSetting(o.GradationFile, style.Table, messages);
        if (count <= 0) {
            // Failures have shown their messages; a count of 0 or less has none.
            std::fprintf(err, "morvaplot-cli: no gradation loaded from %s\n", o.GradationFile.c_str());
            return ExitFailed;
        }
    }

    // The draw type can be chosen only while Fill is shown, so a contour
    // picture of any data type comes after Calc and Fill.
    const bool contour = o.DrawType == DrawKind::Contour;
    PreparedInput input;
    if (PrepareInput(o, contour ? DataKind::Fill : o.DataType, input, messages) != 1) return ExitFailed;
    input.Settings.DataType = o.DataType;
    input.Settings.DrawType = o.DrawType;
    const MapPlan plan = PlanMap(input.Settings);
    ThkData& record = input.Records->Record(plan.Shown);
    SettleDisplayRange(record, input.Records->Record(DataKind::Raw), plan.Shown, input.Settings.RawRange);
    QImage image;
    PaintMap(image, record, plan.Draw, plan.Ramp, style);
    // The sites the sampling misses, over the picture as the window lays them
    // over its map: a colour map of Raw or Grid data only.
    if (o.Sites && plan.Draw == DrawKind::Colormap && plan.Shown != DataKind::Fill)
        PaintSites(image, record, plan.Ramp, style);
    std::string error;
    if (WritePng(image, o.OutFile, error) != 1) {
        std::fprintf(err, "morvaplot-cli: cannot write %s: %s\n", o.OutFile.c_str(), error.c_str());
        return ExitFailed;
    }
    return ExitOk;
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
    PreparedInput input;
    if (PrepareInput(o, DataKind::Fill, input, messages) != 1) return ExitFailed;
    const QImage picture =
        RenderView3DImage(input.Records->Record(DataKind::Fill), o.View, o.PictureWidth, o.PictureHeight);
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

// diff written as a picture, annotated as Save Image writes the map: the
// difference on the colours its scale option chooses, the colour bar with
// its labels, the title "A - B" and the figures of the difference and of the
// paired sites under the wafer of the options.
int RunDiffImage(const CliOptions& o, const MessageSink& messages, std::FILE* err) {
    auto difference = std::make_unique<ThkData>();
    ClearThkData(difference.get(), 1);
    std::vector<PairedSite> sites;
    if (PrepareDifference(o, *difference, sites, messages) != 1) return ExitFailed;
    if (WriteDiffSites(o, sites, err) != ExitOk) return ExitFailed;
    // The picture's text is laid out with the application's fonts.
    ReportApplication application;
    AnalysisRequest analysis;
    analysis.Wafer = WaferOf(o);
    const ThkData* paired = difference->Points.empty() ? nullptr : difference.get();
    AnalysisResult figures;
    if (AnalyzeRecord(*difference, paired, analysis, figures, messages) != 1) return ExitFailed;
    AnnotatedRequest request;
    request.Difference = DrawsDiverging(*difference, o.Scale);
    if (o.Range) {
        // A fixed scale is the ordinary ramp over the range, as for maps.
        request.Difference = false;
        request.Style.Range = FixedRange{o.RangeMin, o.RangeMax};
    }
    request.Wafer = analysis.Wafer;
    const std::string& a = o.Order == DifferenceOrder::FirstMinusSecond ? o.File : o.File2;
    const std::string& b = o.Order == DifferenceOrder::FirstMinusSecond ? o.File2 : o.File;
    request.FileName = QString::fromStdString(FileNameOf(a) + " - " + FileNameOf(b));
    request.DataType = o.RateTime > 0.0 ? QStringLiteral("Rate") : QStringLiteral("Difference");
    if (!difference->Unit.empty())
        request.DataType += QStringLiteral(" (") + QString::fromStdString(difference->Unit) +
                            (o.RateTime > 0.0 ? QStringLiteral(" per time unit)") : QStringLiteral(")"));
    const AnnotatedContent content = MakeAnnotatedContent(*difference, paired, figures, request);
    // The file name as the system's bytes, so a Latin-1 name is kept.
    return WriteAnnotatedPicture(QFile::decodeName(o.OutFile.c_str()), content, 1, messages) == 1
               ? ExitOk
               : ExitFailed;
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
