#include "report/AnnotatedPicture.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "analysis/AnalysisMask.h"
#include "colour/ColorMap.h"
#include "colour/ColorScale.h"
#include "colour/DivergingRamp.h"
#include "colour/ScaleLabels.h"
#include "colour/SitesOverlay.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "report/QtWholeFile.h"
#include "report/StatisticsCells.h"

namespace {

// The layout at 1x, in pixels.
constexpr double PictureWidth = 700.0;
constexpr double PictureHeight = 372.0;
constexpr double Margin = 10.0;
constexpr double MapTop = 34.0;
constexpr double MapSide = MapPictureSize;
const QRectF MapRect(Margin, MapTop, MapSide, MapSide);
const QRectF BarRect(Margin + MapSide + 12.0, MapTop, 18.0, MapSide);
constexpr double TableLeft = 452.0;
constexpr double RowHeight = 20.0;

QFont PixelFont(double pixels, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    return font;
}

// Text in colour with a one-pixel rim that contrasts with it, so it reads on
// any part of the map.
void DrawRimmedText(QPainter& painter, QPoint topLeft, const QString& text, const QColor& colour) {
    const QFont font = PixelFont(12, true);
    QPainterPath path;
    path.addText(QPointF(topLeft) + QPointF(0, QFontMetricsF(font).ascent()), font, text);
    const bool light = 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue() >= 128.0;
    painter.setPen(QPen(light ? Qt::black : Qt::white, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.fillPath(path, colour);
}

void PaintOverlays(QImage& map, const ThkData& record, const AnnotatedRequest& request) {
    const bool sampled = !request.Difference && request.Draw == DrawKind::Colormap;
    if (request.Sites && sampled) {
        QImage sites(map.size(), QImage::Format_ARGB32_Premultiplied);
        sites.fill(Qt::transparent);
        if (PaintSites(sites, record, request.Ramp, request.Style) > 0) {
            QPainter painter(&map);
            painter.drawImage(0, 0, sites);
        }
    }
    if (request.Rois.empty()) return;
    QPainter painter(&map);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const RoiOutline& roi : request.Rois) {
        painter.setPen(QPen(roi.Pen, 2.0));
        painter.setBrush(Qt::NoBrush);
        // The outline lies inside its rectangle, as the window's swatch draws it.
        const QRectF inside = QRectF(roi.Rect).adjusted(1, 1, -1, -1);
        if (roi.Ellipse)
            painter.drawEllipse(inside);
        else
            painter.drawRect(inside);
        for (const RoiOutline::Label& label : roi.Labels)
            DrawRimmedText(painter, label.TopLeft, label.Text, roi.Pen);
    }
}

// The map of a wafer as the wafer is seen: every pixel whose cell lies
// outside the kept disc in the back colour, the wafer's rim and the
// exclusion circle, and the notch at the bottom of the rim.
void PaintWaferAsSeen(QImage& map, const WaferFrame& frame, const AnnotatedRequest& request) {
    const std::vector<int> columns = SampleIndexes(map.width(), frame.Size);
    const std::vector<int> rows = SampleIndexes(map.height(), frame.Size);
    const QRgb back = ColorToArgb(request.Style.BackColor);
    for (int j = 0; j < map.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(j));
        const int y = rows[static_cast<std::size_t>(j)];
        for (int i = 0; i < map.width(); ++i) {
            const int x = columns[static_cast<std::size_t>(i)];
            if (!InsideKeptDisc(frame, DistanceSqUnits(frame, x, y))) line[i] = back;
        }
    }
    // Cell c covers the pixels from c * W / (Size + 1): circles in pixels.
    const double pixelsPerUnit = map.width() / (frame.Size + 1.0);
    const QPointF centre((frame.CentreX + 0.5) * pixelsPerUnit, (frame.CentreY + 0.5) * pixelsPerUnit);
    const double rim = request.Wafer.DiameterMm / 2.0 / frame.MmPerUnit * pixelsPerUnit;
    QPainter painter(&map);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(200, 200, 200), 1.0));
    painter.drawEllipse(centre, rim, rim);
    if (frame.KeptRadiusSqUnits > 0.0 && request.Wafer.EdgeExclusionMm > 0.0) {
        const double kept = std::sqrt(frame.KeptRadiusSqUnits) * pixelsPerUnit;
        painter.setPen(QPen(QColor(200, 200, 200), 1.0, Qt::DashLine));
        painter.drawEllipse(centre, kept, kept);
    }
    // The notch: a small V cut into the rim at the bottom (+Y up, so the
    // wafer's -Y side).
    const double depth = std::max(4.0, rim * 0.04);
    QPainterPath notch;
    notch.moveTo(centre.x() - depth, centre.y() + rim);
    notch.lineTo(centre.x(), centre.y() + rim - depth);
    notch.lineTo(centre.x() + depth, centre.y() + rim);
    painter.setPen(QPen(QColor(230, 230, 230), 1.5));
    painter.drawPath(notch);
}

// The map scaled to the device pixels it covers, nearest neighbour, so a
// viewer never blurs the cells.
QImage MapForDevice(const QImage& map, const QPainter& painter, const QRectF& rect) {
    const QRectF device = painter.worldTransform().mapRect(rect);
    const int w = std::max(1, static_cast<int>(std::lround(device.width())));
    const int h = std::max(1, static_cast<int>(std::lround(device.height())));
    if (w == map.width() && h == map.height()) return map;
    return map.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace

AnnotatedContent MakeAnnotatedContent(const ThkData& record, const ThkData* raw,
                                      const AnalysisResult& figures, const AnnotatedRequest& request) {
    AnnotatedContent content;
    content.Map = QImage(MapPictureSize, MapPictureSize, QImage::Format_RGB32);
    // On a fixed scale the map, its bar and its labels follow the range.
    std::unique_ptr<ThkData> ranged;
    if (request.Style.Range && !request.Difference) ranged = OnFixedRange(record, *request.Style.Range);
    const ThkData& drawn = ranged ? *ranged : record;
    if (request.Difference)
        PaintDivergingMap(content.Map, record, request.Style.BackColor);
    else
        PaintMap(content.Map, drawn, request.Draw, request.Ramp, request.Style);
    PaintOverlays(content.Map, drawn, request);
    const bool wafer = figures.Frame.HasWafer;
    if (wafer) PaintWaferAsSeen(content.Map, figures.Frame, request);

    // The bar at the map's height, so that it is drawn 1:1 beside the map.
    content.Bar = QImage(18, MapPictureSize, QImage::Format_RGB32);
    const ScaleLabelTexts scale = ScaleLabels(drawn);
    std::array<std::string, 5> ticks = scale.Range;
    if (request.Difference) {
        DrawDivergingBar(content.Bar);
        ticks = DivergingScaleLabels(record);
    } else {
        DrawColorBar(content.Bar, request.Style.UseColormap, RampSetOf(RampSetKind::Startup),
                     request.Style.Table);
        if (request.Draw == DrawKind::Contour) ticks = ContourScaleLabels(drawn);
    }
    for (std::size_t i = 0; i < 5; ++i)
        content.Ticks[i] = QString::fromStdString(ticks[i]);
    if (ranged) {
        // Values beyond the fixed scale share its end colours: the end says so.
        const auto [below, above] = ClippedEnds(record, *request.Style.Range);
        if (below) content.Ticks[0] = QStringLiteral("\u2264 ") + content.Ticks[0];
        if (above) content.Ticks[4] = QStringLiteral("\u2265 ") + content.Ticks[4];
    }
    // With a wafer the picture is the wafer: its mean is of the cells inside.
    content.MeanText = wafer ? QString::fromStdString(FormatFixed(figures.Shown.Mean, 8, 3))
                             : QString::fromStdString(scale.Mean);

    const QString date = request.Date.isEmpty() ? QDate::currentDate().toString(Qt::ISODate) : request.Date;
    QStringList title;
    QString waferText;
    if (wafer)
        waferText = QStringLiteral("%1 mm wafer, %2 mm edge exclusion")
                        .arg(request.Wafer.DiameterMm, 0, 'g', 6)
                        .arg(request.Wafer.EdgeExclusionMm, 0, 'g', 6);
    const QString unit =
        record.Unit.empty() ? QString() : QStringLiteral("(%1)").arg(QString::fromStdString(record.Unit));
    for (const QString& part : {request.FileName, request.DataType, unit, waferText, date})
        if (!part.isEmpty()) title << part;
    content.Title = title.join(QStringLiteral("   "));
    content.ShownName = request.DataType.isEmpty() ? QStringLiteral("Map") : request.DataType;

    content.Shown = figures.Shown;
    content.ShownCells = StatisticCells(content.Shown);
    if (raw && raw->Valid && figures.Sites) {
        content.Sites = figures.Sites;
        content.SitesCells = StatisticCells(*content.Sites);
    }
    return content;
}

QSizeF AnnotatedPictureSize() {
    return {PictureWidth, PictureHeight};
}

void PaintAnnotatedPicture(QPainter& painter, const QRectF& target, const AnnotatedContent& content) {
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / PictureWidth, target.height() / PictureHeight);
    painter.fillRect(QRectF(0, 0, PictureWidth, PictureHeight), Qt::white);
    painter.setPen(Qt::black);

    const QFont titleFont = PixelFont(14, true);
    const QFont labelFont = PixelFont(11);
    const QFont headingFont = PixelFont(11, true);
    painter.setFont(titleFont);
    painter.drawText(QRectF(Margin, 6, PictureWidth - 2 * Margin, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     content.Title);

    painter.drawImage(MapRect, MapForDevice(content.Map, painter, MapRect));
    painter.drawImage(BarRect, MapForDevice(content.Bar, painter, BarRect));
    painter.setPen(QPen(Qt::black, 0.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(MapRect);
    painter.drawRect(BarRect);

    // Scale labels beside the bar: the minimum at the bottom edge, the
    // maximum at the top one, as the window sets them.
    painter.setFont(labelFont);
    for (int i = 0; i < 5; ++i) {
        const double y = BarRect.bottom() - BarRect.height() * i / 4.0;
        painter.drawLine(QPointF(BarRect.right(), y), QPointF(BarRect.right() + 4, y));
        painter.drawText(QRectF(BarRect.right() + 7, y - 8, 90, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         content.Ticks[static_cast<std::size_t>(i)]);
    }
    painter.drawText(QRectF(Margin, MapRect.bottom() + 6, MapSide, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Mean: ") + content.MeanText);

    // The statistics table: names, the shown record, the raw sites.
    const double nameWidth = 92.0;
    const double columnWidth = (PictureWidth - Margin - TableLeft - nameWidth) / 2.0;
    painter.setFont(headingFont);
    const double top = MapTop;
    painter.drawText(QRectF(TableLeft + nameWidth, top, columnWidth - 4, RowHeight),
                     Qt::AlignRight | Qt::AlignVCenter, content.ShownName);
    if (content.SitesCells)
        painter.drawText(QRectF(TableLeft + nameWidth + columnWidth, top, columnWidth - 4, RowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Raw sites"));
    painter.drawLine(QPointF(TableLeft, top + RowHeight), QPointF(PictureWidth - Margin, top + RowHeight));
    painter.setFont(labelFont);
    for (int r = 0; r < StatisticRows; ++r) {
        const double y = top + RowHeight * (r + 1);
        const auto row = static_cast<std::size_t>(r);
        painter.drawText(QRectF(TableLeft, y, nameWidth, RowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(StatisticShortNames[r]));
        painter.drawText(QRectF(TableLeft + nameWidth, y, columnWidth - 4, RowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, content.ShownCells[row]);
        if (content.SitesCells)
            painter.drawText(QRectF(TableLeft + nameWidth + columnWidth, y, columnWidth - 4, RowHeight),
                             Qt::AlignRight | Qt::AlignVCenter, (*content.SitesCells)[row]);
    }
    // Which formula each figure is: a signed picture says it.
    painter.setFont(PixelFont(9));
    painter.drawText(
        QRectF(TableLeft, top + RowHeight * (StatisticRows + 1) + 4, PictureWidth - Margin - TableLeft,
               PictureHeight - top - RowHeight * (StatisticRows + 1) - 4),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromLatin1(FormulaNote));
    painter.restore();
}

QImage RenderAnnotatedImage(const AnnotatedContent& content, int scale) {
    const QSizeF size = AnnotatedPictureSize() * scale;
    QImage image(size.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintAnnotatedPicture(painter, QRectF(QPointF(0, 0), size), content);
    return image;
}

std::optional<PictureFormat> PictureFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return PictureFormat::Png;
    if (suffix == QLatin1String("svg")) return PictureFormat::Svg;
    if (suffix == QLatin1String("pdf")) return PictureFormat::Pdf;
    return std::nullopt;
}

int WriteAnnotatedPicture(const QString& path, const AnnotatedContent& content, int scale,
                          const MessageSink& messages) {
    const std::optional<PictureFormat> format = PictureFormatOf(path);
    if (!format) {
        messages.Show("Unknown image format. -> " + QFile::encodeName(path).toStdString());
        return -1;
    }
    scale = std::clamp(scale, 1, 4);
    const QSizeF size = AnnotatedPictureSize() * scale;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (*format) {
        case PictureFormat::Png:
            RenderAnnotatedImage(content, scale).save(&buffer, "PNG");
            break;
        case PictureFormat::Svg: {
            QSvgGenerator svg;
            svg.setOutputDevice(&buffer);
            svg.setSize(size.toSize());
            svg.setViewBox(QRectF(QPointF(0, 0), size));
            svg.setTitle(content.Title);
            QPainter painter(&svg);
            PaintAnnotatedPicture(painter, QRectF(QPointF(0, 0), size), content);
            break;
        }
        case PictureFormat::Pdf: {
            // One point per 1x pixel; the resolution carries the scale, so
            // the map's raster keeps scale x scale device pixels per pixel.
            QPdfWriter pdf(&buffer);
            pdf.setPageSize(QPageSize(AnnotatedPictureSize(), QPageSize::Point));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            pdf.setResolution(72 * scale);
            pdf.setTitle(content.Title);
            pdf.setCreator(QStringLiteral("Morvaplot"));
            QPainter painter(&pdf);
            PaintAnnotatedPicture(painter, QRectF(QPointF(0, 0), size), content);
            break;
        }
    }
    buffer.close();
    return WriteFileWhole(path, bytes, messages);
}
