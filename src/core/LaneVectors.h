#pragma once

#include <cstdint>
#include <cstring>

// Eight lanes of a value in one vector type, for loops the optimiser would
// otherwise unroll into scalar code. Each lane performs the IEEE operations
// written for it; the types are for functions of one source file, inlined
// into the loop (so their calling convention does not matter).
#pragma GCC diagnostic ignored "-Wpsabi"

inline constexpr int LaneCount = 8;
using DoubleLanes = double __attribute__((vector_size(LaneCount * sizeof(double))));
using FloatLanes = float __attribute__((vector_size(LaneCount * sizeof(float))));
using Bits32Lanes = std::uint32_t __attribute__((vector_size(LaneCount * sizeof(std::uint32_t))));
using Bits64Lanes = std::uint64_t __attribute__((vector_size(LaneCount * sizeof(std::uint64_t))));

template <typename Lanes, typename T>
[[gnu::always_inline]] inline Lanes LoadLanes(const T* values) {
    Lanes v;
    std::memcpy(&v, values, sizeof v);
    return v;
}

// Eight values widened to double.
[[gnu::always_inline]] inline DoubleLanes WidenLanes(const float* values) {
    return __builtin_convertvector(LoadLanes<FloatLanes>(values), DoubleLanes);
}
[[gnu::always_inline]] inline DoubleLanes WidenLanes(const double* values) {
    return LoadLanes<DoubleLanes>(values);
}

template <typename To, typename From>
[[gnu::always_inline]] inline To LaneBits(From v) {
    static_assert(sizeof(To) == sizeof(From));
    To bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

