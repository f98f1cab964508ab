#include "data/RandomData.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

#include "core/Message.h"

namespace {

// Uniform integers 0..m-1 from a Mersenne twister; 0 when m is 0.
class RandomSource {
public:
    explicit RandomSource(std::uint32_t seed) : engine_(seed) {}

    int Below(int m) {
        if (m <= 0) return 0;
        return std::uniform_int_distribution<int>(0, m - 1)(engine_);
    }

private:
    std::mt19937 engine_;
};

// Whether a cell of the square x +- r, y +- r inside the grid holds data.
// A negative r searches nothing.
bool Crowded(const ThkData& record, int x, int y, int r) {
    if (r < 0) return false;
    const int x0 = std::max(0, x - r);
    const int x1 = std::min(ThkMaxSize, x + r);
    const int y0 = std::max(0, y - r);
    const int y1 = std::min(ThkMaxSize, y + r);
    for (int i = x0; i <= x1; ++i)
        for (int j = y0; j <= y1; ++j)
            if (HasData(record.Value[i][j])) return true;
    return false;
}

}  // namespace

int MakeRandomData(ThkData& record, const RandomDataSettings& settings, std::uint32_t seed,
                   const MessageSink& messages) {
    const RandomDataSettings& s = settings;
    if (s.Size < 1 || s.Size > ThkMaxSize || s.Count < 0 || !(s.Width >= 0.0 && s.Width <= MaxRandomWidth) ||
        !std::isfinite(s.Base)) {
        messages.Show("<MakeRandomData> Settings out of range.");
        return -1;
    }

    RandomSource random(seed);
    // Truncated toward zero: a width of 10.9 spreads like 10.
    const int whole = static_cast<int>(s.Width);
    double min = RunningMinStart;
    double max = StatInitMax;
    int radius = s.CheckRadius;
    int failures = 0;
    for (int n = 0; n < s.Count; ++n) {
        int x = 0;
        int y = 0;
        for (;;) {
            x = random.Below(s.Size + 1);
            y = random.Below(s.Size + 1);
            if (!Crowded(record, x, y, radius)) break;
            if (++failures > 5) {
                --radius;
                failures = 0;
            }
        }
        // Whole thousandths from -1000w to 1000w - 1, then scaled.
        const double value = s.Base + (random.Below(2000 * whole) - 1000 * whole) * 0.001;
        record.Value[x][y] = value;
        if (min > value) min = value;
        if (value > max) max = value;
    }

    record.Valid = true;
    record.Unit.clear();
    record.Size = s.Size;
    record.PitchX = 1;
    record.PitchY = 1;
    record.Count = s.Count;
    StoreStatistics(record, min, max);
    CalcTextRatios(record);
    return 1;
}

std::uint32_t ClockSeed() {
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}
