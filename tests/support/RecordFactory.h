#pragma once

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
