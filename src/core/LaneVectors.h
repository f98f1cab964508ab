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
using Bits64Lanes = std::uint64_t __attribute__((vector_size(LaneCount * sizeof(std::uint64_t))));

// Eight consecutive values, as they are or widened to double.
template <typename Lanes, typename T>
[[gnu::always_inline]] inline void LoadLanes(Lanes& lanes, const T* values) {
    static_assert(sizeof(Lanes) == LaneCount * sizeof(T));
    std::memcpy(&lanes, values, sizeof lanes);
}
[[gnu::always_inline]] inline void WidenLanes(DoubleLanes& lanes, const float* values) {
    FloatLanes narrow;
    LoadLanes(narrow, values);
    lanes = __builtin_convertvector(narrow, DoubleLanes);
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
