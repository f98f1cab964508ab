#include "colour/SitesOverlay.h"

#include <QImage>
#include <algorithm>
#include <vector>

namespace {

// The cell each pixel of one axis samples, exactly as the colour map takes
// it: integer part of pixel x scale, the scale (Size + 1) / pixels held in
// single precision, kept inside the grid for a damaged Size.
std::vector<int> SampledCells(int pixels, int size) {
    const float scale = static_cast<float>(static_cast<double>(size + 1) / pixels);
    std::vector<int> cells(static_cast<std::size_t>(pixels));
    for (int i = 0; i < pixels; ++i)
        cells[static_cast<std::size_t>(i)] =
            std::clamp(static_cast<int>(i * static_cast<double>(scale)), 0, ThkMaxSize);
    return cells;
}

// For every cell 0..last of one axis: whether a pixel samples it, and the
// pixel whose block holds it (the last pixel sampling a cell at or before
// it; the samples never decrease along an axis).
struct AxisCover {
    std::vector<bool> Sampled;
    std::vector<int> Pixel;
};

AxisCover CoverOf(int pixels, int size, int last) {
    const std::vector<int> cells = SampledCells(pixels, size);
    AxisCover cover;
    cover.Sampled.assign(static_cast<std::size_t>(last + 1), false);
    cover.Pixel.assign(static_cast<std::size_t>(last + 1), 0);
    for (int i = 0; i < pixels; ++i) {
        const int cell = cells[static_cast<std::size_t>(i)];
        if (cell <= last) cover.Sampled[static_cast<std::size_t>(cell)] = true;
    }
    int pixel = 0;
    for (int cell = 0; cell <= last; ++cell) {
        while (pixel + 1 < pixels && cells[static_cast<std::size_t>(pixel + 1)] <= cell)
            ++pixel;
        cover.Pixel[static_cast<std::size_t>(cell)] = pixel;
    }
    return cover;
}

struct Marker {
    int X;
    int Y;
    QRgb Dot;
};

void FillSquare(QImage& picture, int cx, int cy, int half, QRgb argb) {
    const int left = std::max(cx - half, 0);
    const int right = std::min(cx + half, picture.width() - 1);
    const int top = std::max(cy - half, 0);
    const int bottom = std::min(cy + half, picture.height() - 1);
    for (int y = top; y <= bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = left; x <= right; ++x)
            line[x] = argb;
    }
}

}  // namespace

Color SiteRimColor(Color dot) {
    const int luma = 299 * ColorRed(dot) + 587 * ColorGreen(dot) + 114 * ColorBlue(dot);
    return luma >= 128 * 1000 ? Color{0x000000} : Color{0xFFFFFF};
}

int PaintSites(QImage& picture, const ThkData& record, RampSetKind ramp, const MapStyle& style) {
    const int width = picture.width();
    const int height = picture.height();
    if (width <= 0 || height <= 0) return 0;
    const QImage::Format format = picture.format();
    // Opaque 0xFFRRGGBB pixels mean the same in all three formats.
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int last = std::min(record.Size, ThkMaxSize);
    if (last < 0) return 0;
    const AxisCover columns = CoverOf(width, record.Size, last);
    const AxisCover rows = CoverOf(height, record.Size, last);

    // The colour map's range and condition (see DrawColorMap).
    const DisplayCondition& condition = style.Condition;
    double min = record.Min;
    double max = record.Max;
    const bool divide = condition.Enabled && record.Divisor != 0.0;
    if (divide) {
        min /= record.Divisor;
        max /= record.Divisor;
    }
    const RampPalette rampPalette(RampSetOf(ramp));
    const GradationPalette gradation(style.Table);
    const QRgb back = ColorToArgb(style.BackColor);

    std::vector<Marker> markers;
    for (int x = 0; x <= last; ++x) {
        const bool columnSampled = columns.Sampled[static_cast<std::size_t>(x)];
        for (int y = 0; y <= last; ++y) {
            if (columnSampled && rows.Sampled[static_cast<std::size_t>(y)]) continue;
            double v = record.Value[x][y];
            if (!HasData(v)) continue;
            if (condition.Enabled) {
                if (divide) v /= record.Divisor;
                if (!TestValueCondition(v, true, condition.Mode, condition.Low, condition.High)) continue;
            }
            QRgb dot = back;
            if (style.UseColormap)
                rampPalette.PaintValues(&v, 1, min, max, back, &dot);
            else
                gradation.PaintValues(&v, 1, min, max, back, &dot);
            markers.push_back(
                {columns.Pixel[static_cast<std::size_t>(x)], rows.Pixel[static_cast<std::size_t>(y)], dot});
        }
    }
    constexpr int dotHalf = SiteDotSide / 2;
    for (const Marker& m : markers)
        FillSquare(picture, m.X, m.Y, dotHalf + SiteRimWidth, ColorToArgb(SiteRimColor(ArgbToColor(m.Dot))));
    for (const Marker& m : markers)
        FillSquare(picture, m.X, m.Y, dotHalf, m.Dot | 0xFF000000u);
    return static_cast<int>(markers.size());
}
