#include "colour/ColorMap.h"

#include <QImage>
#include <algorithm>
#include <vector>

namespace {

// Pixel columns per strip: 32 record columns read side by side.
constexpr int MapStripWidth = 32;

}  // namespace

std::vector<int> SampleIndexes(int pixels, int size) {
    const float scale = static_cast<float>(static_cast<double>(size + 1) / pixels);
    std::vector<int> indexes(static_cast<size_t>(pixels));
    for (int i = 0; i < pixels; ++i) {
        const int index = static_cast<int>(i * static_cast<double>(scale));
        indexes[static_cast<size_t>(i)] = std::clamp(index, 0, ThkMaxSize);
    }
    return indexes;
}

void DrawColorMap(QImage& image, const ThkData& record, bool useRamp, const RampParameters& rampSet,
                  const DisplayCondition& condition, Color backColor, const GradationTable& table) {
    const int width = image.width();
    const int height = image.height();
    if (width <= 0 || height <= 0) return;

    const std::vector<int> columns = SampleIndexes(width, record.Size);
    const std::vector<int> rows = SampleIndexes(height, record.Size);

    double min = record.Min;
    double max = record.Max;
    const bool divide = condition.Enabled && record.Divisor != 0.0;
    if (divide) {
        min /= record.Divisor;
        max /= record.Divisor;
    }
    const QRgb back = ColorToArgb(backColor);
    const RampPalette ramp(rampSet);
    const GradationPalette gradation(table);

    // The value pixel (i, j) shows, NoData when it takes the back colour.
    auto shown = [&](int i, int j) {
        double v = record.Value[columns[static_cast<size_t>(i)]][rows[static_cast<size_t>(j)]];
        if (condition.Enabled) {
            if (divide && HasData(v)) v /= record.Divisor;
            if (!TestValueCondition(v, true, condition.Mode, condition.Low, condition.High)) v = NoData;
        }
        return v;
    };

    QImage map(width, height, QImage::Format_RGB32);
    uchar* const bits = map.bits();
    const qsizetype bytesPerLine = map.bytesPerLine();
    // Strips of pixel columns, each walked down row by row: a strip reads a
    // few record columns (x-major) front to back instead of one value from
    // every column per pixel row.
    // Strips are independent (each writes its own pixels and nothing else),
    // so a large picture shares them between the cores.
    const int strips = (width + MapStripWidth - 1) / MapStripWidth;
#pragma omp parallel for schedule(static) if (static_cast <long>(width) * height >= 20000)
    for (int s = 0; s < strips; ++s) {
        const int first = s * MapStripWidth;
        const int count = std::min(MapStripWidth, width - first);
        double values[MapStripWidth];
        for (int j = 0; j < height; ++j) {
            for (int k = 0; k < count; ++k)
                values[k] = shown(first + k, j);
            auto* line = reinterpret_cast<QRgb*>(bits + j * bytesPerLine) + first;
            if (useRamp)
                ramp.PaintValues(values, count, min, max, back, line);
            else
                gradation.PaintValues(values, count, min, max, back, line);
        }
    }

    image = std::move(map);
}
