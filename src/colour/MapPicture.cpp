#include "colour/MapPicture.h"

#include <QImage>

#include "colour/ColorMap.h"
#include "colour/ContourMap.h"

MapStyle MapStyleOf(const ViewSettings& settings, const GradationTable& table) {
    MapStyle style;
    style.UseColormap = settings.UseColormap;
    style.Table = table;
    style.CopyColormap = settings.CopyColormap;
    style.BackColor = settings.MapBackColor;
    style.MinColor = settings.MapMinColor;
    style.MaxColor = settings.MapMaxColor;
    style.Condition = settings.Condition;
    style.BorderCount = settings.BorderCount;
    return style;
}

void PaintMap(QImage& image, const ThkData& record, DrawKind draw, RampSetKind ramp, const MapStyle& style) {
    if (image.width() != MapPictureSize || image.height() != MapPictureSize)
        image = QImage(MapPictureSize, MapPictureSize, QImage::Format_RGB32);
    if (draw == DrawKind::Contour) {
        PaintContourMap(image, record, style.BorderCount, style.CopyColormap, style.UseColormap,
                        style.MinColor, style.MaxColor, style.BackColor, style.Condition, style.Table);
        return;
    }
    DrawColorMap(image, record, style.UseColormap, RampSetOf(ramp), style.Condition, style.BackColor,
                 style.Table);
}
