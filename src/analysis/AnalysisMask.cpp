#include "analysis/AnalysisMask.h"

AnalysisMask::AnalysisMask(int size, const WaferGeometry& geometry)
    : frame_(FrameOf(geometry, size)), columns_(static_cast<std::size_t>(frame_.Size) + 1) {
    for (int x = 0; x <= frame_.Size; ++x) {
        ColumnSpan span;
        // Every cell is tested with the same comparison as Inside, so the
        // run and the single-cell test never disagree; the first and the last
        // hit bound the run because the cells between are nearer the centre.
        for (int y = 0; y <= frame_.Size; ++y) {
            if (!InsideKeptDisc(frame_, DistanceSqUnits(frame_, x, y))) continue;
            if (span.Last < span.First) span.First = y;
            span.Last = y;
        }
        columns_[static_cast<std::size_t>(x)] = span;
        if (span.Last >= span.First) cellCount_ += span.Last - span.First + 1;
    }
}

bool AnalysisMask::Inside(int x, int y) const {
    if (x < 0 || x > frame_.Size || y < 0 || y > frame_.Size) return false;
    const ColumnSpan span = columns_[static_cast<std::size_t>(x)];
    return span.First <= y && y <= span.Last;
}
