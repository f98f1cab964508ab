#include "roi/RoiStats.h"

#include <cmath>

int CalcRoiStatistics(const ThkData& record, RoiShape shape, int x0, int y0, int size, RoiStats& stats) {
    if (!record.Valid) return RoiNoRecord;
    double min = RunningMinStart;  // read only when a cell was counted
    double max = StatInitMax;
    double sum = 0.0;
    int count = 0;
    const float radius = static_cast<float>(size);
    for (int dx = -size; dx <= size; ++dx) {
        for (int dy = -size; dy <= size; ++dy) {
            if (shape != RoiShape::Square) {
                // Distance rounded to float before the test, as the outline is drawn.
                const float d = static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
                if (!(d <= radius)) continue;
            }
            const int x = x0 + dx;
            const int y = y0 + dy;
            if (x < 0 || x > ThkMaxSize || y < 0 || y > ThkMaxSize) continue;
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            sum += v;
            ++count;
            if (min > v) min = v;
            if (max < v) max = v;
        }
    }
    if (count > 0) {
        stats.Min = min;
        stats.Max = max;
        stats.Mean = sum / count;
    } else {
        stats.Min = NoData;
        stats.Max = NoData;
        stats.Mean = NoData;
    }
    return count;
}
