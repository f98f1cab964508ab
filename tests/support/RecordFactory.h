#pragma once

#include <cmath>
#include <memory>

#include "data/ThkData.h"

// A cleared record on the heap, ready for a producer or for hand-made cells.
inline std::unique_ptr<ThkData> NewRecord(int size = 0, int pitchX = 0, int pitchY = 0) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    record->Size = size;
    record->PitchX = pitchX;
    record->PitchY = pitchY;
    return record;
}

// A smooth film about 1000 thick with gentle waves and a slight tilt, at
// coordinate (x, y).
inline double SmoothThickness(int x, int y) {
    return 1000.0 + 20.0 * std::sin(x / 80.0) * std::cos(y / 110.0) + 0.01 * (x - y);
}

// A Valid Size-500 record with SmoothThickness in every cell, statistics
// computed.
inline std::unique_ptr<ThkData> SmoothRecord() {
    auto record = NewRecord(500, 1, 1);
    record->Valid = true;
    for (int x = 0; x <= 500; ++x)
        for (int y = 0; y <= 500; ++y)
            record->Value[x][y] = SmoothThickness(x, y);
    RecalcStatistics(*record);
    return record;
}
