#pragma once

#include <cstdint>
#include <cstring>

// Eight lanes of a value in one vector type, for loops the optimiser would
// otherwise unroll into scalar code. Each lane performs the IEEE operations
// written for it. The helpers pass lanes by reference: a vector passed by
// value would depend on the vector unit the caller was compiled for.

inline constexpr int LaneCount = 8;
using DoubleLanes = double __attribute__((vector_size(LaneCount * sizeof(double))));
using FloatLanes = float __attribute__((vector_size(LaneCount * sizeof(float))));
using Bits32Lanes = std::uint32_t __attribute__((vector_size(LaneCount * sizeof(std::uint32_t))));
using SignedBits32Lanes = std::int32_t __attribute__((vector_size(LaneCount * sizeof(std::int32_t))));
using Bits64Lanes = std::uint64_t __attribute__((vector_size(LaneCount * sizeof(std::uint64_t))));

// Eight consecutive values, as they are or widened to double.
template <typename Lanes, typename T>
[[gnu::always_inline]] inline void LoadLanes(Lanes& lanes, const T* values) {
    static_assert(sizeof(Lanes) == LaneCount * sizeof(T));
    std::memcpy(&lanes, values, sizeof lanes);
}
// Written value by value, which the compiler turns into one widening load
// (a whole-vector conversion it splits in halves).
[[gnu::always_inline]] inline void WidenLanes(DoubleLanes& lanes, const float* values) {
    lanes =
        DoubleLanes{values[0], values[1], values[2], values[3], values[4], values[5], values[6], values[7]};
}
[[gnu::always_inline]] inline void WidenLanes(DoubleLanes& lanes, const double* values) {
    LoadLanes(lanes, values);
}

// Clears the sign bit of every lane.
[[gnu::always_inline]] inline void TakeMagnitudes(DoubleLanes& lanes) {
    Bits64Lanes bits;
    std::memcpy(&bits, &lanes, sizeof bits);
    bits &= 0x7FFFFFFFFFFFFFFFu;
    std::memcpy(&lanes, &bits, sizeof lanes);
}

// Rounds every lane to float and stores the eight floats.
[[gnu::always_inline]] inline void StoreNarrowed(float* out, const DoubleLanes& lanes) {
    const FloatLanes narrow = __builtin_convertvector(lanes, FloatLanes);
    std::memcpy(out, &narrow, sizeof narrow);
}
