#include "colour/ColorMap.h"

#include <QImage>
#include <algorithm>
#include <vector>

namespace {

// Grid index of every pixel along one axis: integer part of pixel * scale,
// the scale held in single precision. Kept inside the grid even for a damaged
// Size, so no pixel can read outside the record.
std::vector<int> SampleIndexes(int pixels, int size) {
    const float scale = static_cast<float>(static_cast<double>(size + 1) / pixels);
    std::vector<int> indexes(static_cast<size_t>(pixels));
    for (int i = 0; i < pixels; ++i) {
        const int index = static_cast<int>(i * static_cast<double>(scale));
        indexes[static_cast<size_t>(i)] = std::clamp(index, 0, ThkMaxSize);
    }
    return indexes;
}

}  // namespace

void DrawColorMap(QImage& image, const ThkData& record, bool useRamp, const DisplayCondition& condition,
                  Color backColor, const GradationTable& table) {
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

    QImage map(width, height, QImage::Format_RGB32);
    for (int j = 0; j < height; ++j) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(j));
        const int y = rows[static_cast<size_t>(j)];
        for (int i = 0; i < width; ++i) {
            double v = record.Value[columns[static_cast<size_t>(i)]][y];
            if (condition.Enabled) {
                if (divide && HasData(v)) v /= record.Divisor;
                if (!TestValueCondition(v, true, condition.Mode, condition.Low, condition.High)) v = NoData;
            }
            if (!HasData(v)) {
                line[i] = back;
                continue;
            }
            const double position = ScalePosition(v, min, max);
            const Color c = useRamp ? GetRampColor(static_cast<float>(position))
                                    : GetGradationColor(table, static_cast<float>(1.0 - position));
            line[i] = ColorToArgb(c);
        }
    }
    image = std::move(map);
}
