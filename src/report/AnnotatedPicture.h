#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "analysis/Analysis.h"
#include "analysis/AreaStatistics.h"
#include "analysis/WaferGeometry.h"
#include "colour/MapPicture.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "data/ThkData.h"
#include "report/StatisticsCells.h"

class QPainter;

// The map as the user sees it, ready to be handed on: the picture with its
// ROIs and sites, the colour bar and its scale labels, a title line and the
// figures of the analysis layer. Everything is made with QtGui alone; the
// content may be made on any thread, painting text needs a QGuiApplication.

// An ROI outline over the map, in the map's pixels (301 x 301), with its
// value labels at their places.
struct RoiOutline {
    QRect Rect;
    bool Ellipse = true;
    QColor Pen = Qt::white;
    struct Label {
        QPoint TopLeft;
        QString Text;
    };
    std::vector<Label> Labels;
};

// What the picture shows and how.
struct AnnotatedRequest {
    DrawKind Draw = DrawKind::Colormap;
    RampSetKind Ramp = RampSetKind::Startup;
    MapStyle Style;
    // A difference map: the diverging colours centred on zero and their own
    // bar instead of the style's colours.
    bool Difference = false;
    // The markers of the cells the map's sampling cannot show (a colour map
    // of Raw or Grid data).
    bool Sites = false;
    std::vector<RoiOutline> Rois;
    WaferGeometry Wafer;
    QString FileName;
    QString DataType;  // "Raw", "Grid", "Fill", "Difference" ...
    QString Date;      // empty: today (yyyy-MM-dd)
};

// Everything one picture draws, made once; painting it again at any scale
// reads nothing else.
struct AnnotatedContent {
    QImage Map;                    // 301 x 301, overlays included
    QImage Bar;                    // the colour bar, 18 x 301, top = maximum
    std::array<QString, 5> Ticks;  // bottom (minimum) first
    QString MeanText;
    QString Title;
    QString ShownName;  // the first statistics column's heading
    AreaStatistics Shown;
    std::optional<AreaStatistics> Sites;  // the raw sites' figures, when there are sites
    // The statistics table's columns (StatisticCells) of Shown and of Sites.
    std::array<QString, StatisticRows> ShownCells;
    std::optional<std::array<QString, StatisticRows>> SitesCells;
};

// Paints the map, the overlays and the bar of record (raw: the measured
// sites, for their markers; nullptr: none) and takes the figures of the
// record and of its sites from figures, the analysis of that record under
// request.Wafer.
AnnotatedContent MakeAnnotatedContent(const ThkData& record, const ThkData* raw,
                                      const AnalysisResult& figures, const AnnotatedRequest& request);

// The picture's size at 1x, in pixels (points for PDF and SVG).
QSizeF AnnotatedPictureSize();

// Paints the content into target (any size; the layout scales with it).
void PaintAnnotatedPicture(QPainter& painter, const QRectF& target, const AnnotatedContent& content);

// The picture at scale (1, 2 or 4) as an RGB32 image.
QImage RenderAnnotatedImage(const AnnotatedContent& content, int scale);

enum class PictureFormat { Png, Svg, Pdf };
// The format named by the file's extension (any case); none for another one.
std::optional<PictureFormat> PictureFormatOf(const QString& path);

// Writes the picture at scale (1, 2 or 4) in the format of the path's
// extension. The file is written whole or not at all (core/WholeFile.h).
// Returns 1, or -1 after one message: "Unknown image format. -> <path>" or
// "File write error. -> <path>: <reason>".
int WriteAnnotatedPicture(const QString& path, const AnnotatedContent& content, int scale,
                          const MessageSink& messages);
