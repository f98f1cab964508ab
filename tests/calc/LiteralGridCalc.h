#pragma once

// Literal twins of the grid calculation, written straight from the described
// loops with no shortcut: the full (2 trunc(R) + 1)^2 window per node, a square
// root per cell and a power per data cell, and a radius search that restarts
// the whole lattice scan after every 0.1 step. They are slow on purpose; the
// product code must give the same bits. Also the seeded data sets shared by
// the tests and the benchmarks.

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "core/Message.h"
#include "data/ThkData.h"
#include "support/PlainStatistics.h"

namespace literal {

inline double IdwNodeValue(const ThkData& record, int x0, int y0, float R, double p) {
    double sumW = 0.0;
    double sumWZ = 0.0;
    const int k0 = static_cast<int>(-R);
    for (int dx = k0; static_cast<float>(dx) <= R; ++dx) {
        for (int dy = k0; static_cast<float>(dy) <= R; ++dy) {
            const int x = x0 + dx;
            const int y = y0 + dy;
            if (x < 0 || x > record.Size || y < 0 || y > record.Size) continue;
            const float d = static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
            if (d > R) continue;
            const double v = record.Value[x][y];
            if (!(v > -99999.0)) continue;
            const double w = d > 0.0f ? 1.0 / std::pow(static_cast<double>(d), p) : 1.0;
            sumWZ += v * w;
            sumW += w;
        }
    }
    return sumW != 0.0 ? sumWZ / sumW : -99999.0;
}

inline double NeighbourMean(const ThkData& record, int x0, int y0, int n, float R) {
    if (n <= 0) n = 1;
    double sum = 0.0;
    int count = 0;
    const int k0 = static_cast<int>(-R);
    for (int dx = k0; static_cast<float>(dx) <= R; ++dx) {
        for (int dy = k0; static_cast<float>(dy) <= R; ++dy) {
            const int x = x0 + dx;
            const int y = y0 + dy;
            if (x < 0 || x > record.Size || y < 0 || y > record.Size) continue;
            const float d = static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
            if (d > R) continue;
            const double v = record.Value[x][y];
            if (!(v > -99999.0)) continue;
            sum += v;
            ++count;
            if (count == n) return sum / count;
        }
    }
    return -99999.0;
}

inline void CalcGrid(const ThkData& source, ThkData& target, double p, float R, int P) {
    ClearThkData(&target, 1);
    target.Size = source.Size;
    for (int x = 0; x <= source.Size; x += P)
        for (int y = 0; y <= source.Size; y += P)
            target.Value[x][y] = literal::IdwNodeValue(source, x, y, R, p);
    target.Valid = true;
    target.Size = source.Size;
    target.PitchX = target.PitchY = P;
    target.ExtentX = target.ExtentY = target.Size;
    plain::RecalcStatistics(target);
}

inline float OptimizeSearchRadius(const ThkData& record, int P, int n, const MessageSink& messages) {
    float R = static_cast<float>(P);
restart:
    for (int x = 0; x <= record.Size; x += P) {
        for (int y = 0; y <= record.Size; y += P) {
            if (literal::NeighbourMean(record, x, y, n, R) > -99999.0) continue;
            R = static_cast<float>(static_cast<double>(R) + 0.1);
            if (static_cast<float>(record.Size) > R) goto restart;
            messages.Show("Data search error.(Unable to find data.)\nPitch: " + std::to_string(P) +
                          " NMin: " + std::to_string(n));
            return -1.0f;
        }
    }
    return R;
}

}  // namespace literal

// Seeded data sets. Each starts from a cleared record of the given Size and
// leaves it Valid with its statistics computed, as a load would.
namespace workload {

// Uniform integer in 0..bound from the raw generator output, which (unlike the
// standard distributions) is the same on every platform.
inline int Draw(std::mt19937& rng, int bound) {
    return static_cast<int>(rng() % static_cast<std::uint32_t>(bound + 1));
}

inline void Begin(ThkData& record, int size, int pitch) {
    ClearThkData(&record, 1);
    record.Size = size;
    record.PitchX = record.PitchY = pitch;
}

inline void Finish(ThkData& record) {
    record.Valid = true;
    RecalcStatistics(record);
}

// Film-like values on a pitch lattice: a dome, a tilt and +-0.5 of noise.
inline void Dome(ThkData& record, int size, int pitch, std::uint32_t seed) {
    Begin(record, size, pitch);
    std::mt19937 rng(seed);
    const double c = size / 2.0;
    for (int x = 0; x <= size; x += pitch) {
        for (int y = 0; y <= size; y += pitch) {
            const double r2 = ((x - c) * (x - c) + (y - c) * (y - c)) / (c * c + 1.0);
            const double noise = (Draw(rng, 1000) - 500) / 1000.0;
            record.Value[x][y] = 1000.0 + 80.0 * (1.0 - r2) + 0.05 * x - 0.03 * y + noise;
        }
    }
    Finish(record);
}

// count distinct random positions in 0..size with values around 500.
inline void RandomPoints(ThkData& record, int size, int count, std::uint32_t seed) {
    Begin(record, size, 1);
    std::mt19937 rng(seed);
    const long cells = static_cast<long>(size + 1) * (size + 1);
    for (int placed = 0; placed < count && placed < cells;) {
        const int x = Draw(rng, size);
        const int y = Draw(rng, size);
        if (HasData(record.Value[x][y])) continue;
        record.Value[x][y] = 500.0 + (Draw(rng, 20000) - 10000) / 100.0;
        ++placed;
    }
    Finish(record);
}

// Every coordinate holds data.
inline void Dense(ThkData& record, int size, std::uint32_t seed) {
    Dome(record, size, 1, seed);
}

// Points only within `band` of the four borders.
inline void BorderPoints(ThkData& record, int size, int band, int count, std::uint32_t seed) {
    Begin(record, size, 1);
    std::mt19937 rng(seed);
    for (int placed = 0; placed < count; ++placed) {
        int x = Draw(rng, size);
        int y = Draw(rng, band);
        if (rng() % 2) y = size - y;
        if (rng() % 2) std::swap(x, y);
        record.Value[x][y] = -20.0 + Draw(rng, 4000) / 100.0;
    }
    Finish(record);
}

// Empties the disc of radius r around (cx, cy).
inline void CarveHole(ThkData& record, int cx, int cy, int r) {
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) record.Value[x][y] = NoData;
    RecalcStatistics(record);
}

}  // namespace workload
