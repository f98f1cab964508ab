#include "colour/DivergingRamp.h"

#include "colour/ColorMap.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/NumberText.h"

namespace {

constexpr int BlueR = 0x20, BlueG = 0x40, BlueB = 0xC0;
constexpr int RedR = 0xC0, RedG = 0x20, RedB = 0x20;

int Mix(int from, int to, double t) {
    return static_cast<int>(std::lround(from + (to - from) * t));
}

}  // namespace

double DivergingLimit(const ThkData& record) {
    if (!record.Valid || record.Count <= 0) return 0.0;
    const double limit = std::max(std::fabs(record.Min), std::fabs(record.Max));
    return std::isfinite(limit) ? limit : 0.0;
}

Color DivergingColor(double value, double limit) {
    if (!(limit > 0.0)) return MakeColor(255, 255, 255);
    const double t = std::clamp(value / limit, -1.0, 1.0);
    if (t < 0.0) return MakeColor(Mix(255, BlueR, -t), Mix(255, BlueG, -t), Mix(255, BlueB, -t));
    return MakeColor(Mix(255, RedR, t), Mix(255, RedG, t), Mix(255, RedB, t));
}

void PaintDivergingMap(QImage& image, const ThkData& record, Color back) {
    if (image.width() != 301 || image.height() != 301 || image.format() != QImage::Format_RGB32)
        image = QImage(301, 301, QImage::Format_RGB32);
    const int size = std::clamp(record.Size, 0, ThkMaxSize);
    const std::vector<int> columns = SampleIndexes(image.width(), size);
    const std::vector<int> rows = SampleIndexes(image.height(), size);
    const double limit = DivergingLimit(record);
    const QRgb backArgb = ColorToArgb(back);
    for (int j = 0; j < image.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = 0; i < image.width(); ++i) {
            const double v =
                record.Value[columns[static_cast<std::size_t>(i)]][rows[static_cast<std::size_t>(j)]];
            line[i] = HasData(v) ? ColorToArgb(DivergingColor(v, limit)) : backArgb;
        }
    }
}

void DrawDivergingBar(QImage& image) {
    const int w = image.width();
    const int h = image.height();
    image = QImage(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        // Top row +1, bottom row -1.
        const double t = h > 1 ? 1.0 - 2.0 * y / (h - 1) : 0.0;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + w, ColorToArgb(DivergingColor(t, 1.0)));
    }
}

std::array<std::string, 5> DivergingScaleLabels(const ThkData& record) {
    const double limit = DivergingLimit(record);
    std::array<std::string, 5> texts;
    for (std::size_t i = 0; i < 5; ++i)
        texts[i] = limit > 0.0 ? FormatFixed(-limit + limit * 0.5 * static_cast<double>(i), 7, 3) : "---.---";
    return texts;
}
