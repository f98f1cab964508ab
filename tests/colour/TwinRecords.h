#pragma once

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/RecordFactory.h"

// Labelled records on which the fast colour map and contour scan are compared
// with the plain code they replace: smooth surfaces, empty cells, NaN and huge
// values, constant data, tiny and damaged sizes, odd statistics.
struct TwinRecord {
    std::string label;
    std::unique_ptr<ThkData> record;
};

inline std::vector<TwinRecord> TwinRecords() {
    std::vector<TwinRecord> records;
    auto add = [&](std::string label, int size, auto fill, bool recalc = true) {
        auto record = NewRecord(size);
        record->Valid = true;
        for (int x = 0; x < ThkGridDim; ++x)
            for (int y = 0; y < ThkGridDim; ++y)
                record->Value[x][y] = fill(x, y);
        if (recalc) RecalcStatistics(*record);
        records.push_back({std::move(label), std::move(record)});
    };
    auto smooth = SmoothThickness;
    add("smooth 500", 500, smooth);
    add("smooth 77", 77,
        [](int x, int y) { return x <= 77 && y <= 77 ? std::sin(x / 9.0) + std::cos(y / 7.0) : NoData; });
    add("empty margin and holes", 500, [&](int x, int y) {
        if (x > 470 || y > 455 || (x - 200) * (x - 200) + (y - 260) * (y - 260) < 900 ||
            (x * 7 + y * 3) % 53 == 0)
            return NoData;
        return smooth(x, y);
    });
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> uniform(-5.0, 5.0);
    std::vector<double> noise(ThkGridDim * ThkGridDim);
    for (double& v : noise)
        v = uniform(random);
    add("noise with whole values on the levels", 120, [&](int x, int y) {
        const double v = noise[static_cast<size_t>(x * ThkGridDim + y)];
        return (x + y) % 5 == 0 ? std::round(v) : v;
    });
    add("NaN, infinities and huge values", 200, [&](int x, int y) {
        const int r = (x * 31 + y * 17) % 23;
        if (r == 0) return std::numeric_limits<double>::quiet_NaN();
        if (r == 1) return std::numeric_limits<double>::infinity();
        if (r == 2) return -std::numeric_limits<double>::infinity();
        if (r == 3) return 1e300;
        if (r == 4) return -1e300;
        if (r == 5) return NoData;
        return smooth(x, y);
    });
    add("constant", 300, [](int, int) { return 42.0; });
    add("tiny size 2", 2, [](int x, int y) { return x == 1 && y == 1 ? 5.0 : x + 0.5 * y; });
    add("size 0", 0, [](int x, int y) { return x + y; });
    add("damaged size -7", -7, smooth);
    add("damaged size 9999", 9999, smooth);
    // Statistics that do not come from the cells.
    add("min above max", 300, smooth, false);
    records.back().record->Min = 1010.0;
    records.back().record->Max = 990.0;
    add("NaN min", 300, smooth, false);
    records.back().record->Min = std::numeric_limits<double>::quiet_NaN();
    records.back().record->Max = 1010.0;
    add("huge range", 300, [&](int x, int y) { return 1e307 * std::sin(x / 30.0 + y / 40.0); });
    add("no data at all", 300, [](int, int) { return NoData; });
    return records;
}
