#pragma once

#ifdef _OPENMP
#include <omp.h>
#endif

// The calling thread's number in its parallel region (0 outside one) and the
// region's thread count (1 outside one, or without OpenMP).
inline int TeamThread() {
#ifdef _OPENMP
    return omp_get_thread_num();
#else
    return 0;
#endif
}

inline int TeamSize() {
#ifdef _OPENMP
    return omp_get_num_threads();
#else
    return 1;
#endif
}

// The most threads a parallel region started by the calling thread can have
// (1 without OpenMP): a store kept per thread of such a region needs this
// many entries.
inline int TeamLimit() {
#ifdef _OPENMP
    return omp_get_max_threads();
#else
    return 1;
#endif
}
