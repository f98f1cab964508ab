#include "colour/MapPicture.h"

#include <QImage>
#include <algorithm>

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

std::unique_ptr<ThkData> OnFixedRange(const ThkData& record, const FixedRange& range) {
    auto copy = std::make_unique<ThkData>();
    CopyThkData(record, *copy);
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            if (HasData(copy->Value[x][y]))
                copy->Value[x][y] = std::clamp(copy->Value[x][y], range.Min, range.Max);
    copy->Min = range.Min;
    copy->Max = range.Max;
    return copy;
}

std::pair<bool, bool> ClippedEnds(const ThkData& record, const FixedRange& range) {
    std::pair<bool, bool> clipped{false, false};
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            clipped.first = clipped.first || v < range.Min;
            clipped.second = clipped.second || v > range.Max;
        }
    return clipped;
}

void PaintMap(QImage& image, const ThkData& record, DrawKind draw, RampSetKind ramp, const MapStyle& style) {
    if (style.Range) {
        MapStyle plain = style;
        plain.Range.reset();
        PaintMap(image, *OnFixedRange(record, *style.Range), draw, ramp, plain);
        return;
    }
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
