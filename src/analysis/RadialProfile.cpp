#include "analysis/RadialProfile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// Squared inner radius of every ring in file units, lowered by the slack:
// a squared distance s lies in ring k when Start[k] <= s < Start[k + 1].
// One entry past the outermost ring that any cell of the area can reach is
// +infinity, so the walk never leaves the table.
std::vector<double> RingStarts(const WaferFrame& frame) {
    const double farX = std::max(frame.CentreX, frame.Size - frame.CentreX);
    const double farY = std::max(frame.CentreY, frame.Size - frame.CentreY);
    const double farthest = std::sqrt(farX * farX + farY * farY) * frame.MmPerUnit;
    const std::size_t rings = static_cast<std::size_t>(farthest) + 2;
    std::vector<double> start(rings + 1);
    for (std::size_t k = 0; k < rings; ++k) {
        const double inner = static_cast<double>(k) / frame.MmPerUnit;  // file units
        start[k] = inner * inner * (1.0 - CircleSlack);
    }
    start[rings] = std::numeric_limits<double>::infinity();
    return start;
}

}  // namespace

std::vector<RingStats> RadialProfile(const ThkData& record, const AnalysisMask& mask) {
    const WaferFrame& frame = mask.Frame();
    const std::vector<double> start = RingStarts(frame);
    std::vector<RingStats> rings(start.size() - 1);
    for (std::size_t k = 0; k < rings.size(); ++k) {
        rings[k].Inner = static_cast<double>(k);
        rings[k].Min = std::numeric_limits<double>::infinity();
        rings[k].Max = -std::numeric_limits<double>::infinity();
    }
    std::size_t outermost = 0;
    bool any = false;
    for (int x = 0; x <= mask.Size(); ++x) {
        const ColumnSpan span = mask.Column(x);
        if (span.Last < span.First) continue;
        // Down a column the distance falls, then rises: the ring moves a step
        // or two from the previous cell's, starting near the first cell's.
        std::size_t k =
            static_cast<std::size_t>(std::sqrt(DistanceSqUnits(frame, x, span.First)) * frame.MmPerUnit);
        k = std::min(k, rings.size() - 1);
        // The ring's figures are carried in registers while the ring stays
        // the same; the sum goes on from the ring's own, so its order of
        // additions is the x-major one.
        RingStats run = rings[k];
        for (int y = span.First; y <= span.Last; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            const double s = DistanceSqUnits(frame, x, y);
            if (s >= start[k + 1] || s < start[k]) {
                rings[k] = run;
                while (s >= start[k + 1])
                    ++k;
                while (s < start[k])
                    --k;
                run = rings[k];
            }
            run.Mean += v;  // the running sum until the division below
            ++run.Count;
            if (v < run.Min) run.Min = v;
            if (v > run.Max) run.Max = v;
            outermost = std::max(outermost, k);
            any = true;
        }
        rings[k] = run;
    }
    if (!any) return {};
    rings.resize(outermost + 1);
    for (RingStats& ring : rings) {
        if (ring.Count == 0) {
            ring.Min = ring.Max = 0.0;
            continue;
        }
        ring.Mean /= static_cast<double>(ring.Count);
    }
    return rings;
}
