#pragma once

#include <utility>

#include "core/VectorPath.h"

// A hot loop is written once as a body (MORVAPLOT_VECTOR_BODY) and run through
// RunVectorized, which holds one copy of the body per vector unit generation
// (AVX-512, AVX2, the baseline) and calls the one ActiveVectorPath names. Each
// copy performs the same IEEE operations in the same order for every element,
// and the build never fuses a multiply with an add, so the results do not
// depend on which copy runs.
#define MORVAPLOT_VECTOR_BODY [[gnu::always_inline]] inline

#if defined(__x86_64__) && defined(__GNUC__) && defined(__linux__)

template <auto Body, typename... Args>
__attribute__((target("avx512f"))) decltype(auto) RunOnAvx512(Args&&... args) {
    return Body(std::forward<Args>(args)...);
}

template <auto Body, typename... Args>
__attribute__((target("avx2"))) decltype(auto) RunOnAvx2(Args&&... args) {
    return Body(std::forward<Args>(args)...);
}

template <auto Body, typename... Args>
decltype(auto) RunVectorized(Args&&... args) {
    switch (ActiveVectorPath()) {
        case VectorPath::Avx512:
            return RunOnAvx512<Body>(std::forward<Args>(args)...);
        case VectorPath::Avx2:
            return RunOnAvx2<Body>(std::forward<Args>(args)...);
        case VectorPath::Baseline:
            break;
    }
    return Body(std::forward<Args>(args)...);
}

#else

template <auto Body, typename... Args>
decltype(auto) RunVectorized(Args&&... args) {
    return Body(std::forward<Args>(args)...);
}

#endif

