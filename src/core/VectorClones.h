#pragma once

// Marks a hot loop to be compiled once per vector unit generation and chosen
// when the program starts (AVX-512, AVX2 or the baseline). Each version
// performs the same IEEE operations in the same order for every element, and
// the build never fuses a multiply with an add, so the results do not depend
// on which version the processor runs.
// Only GCC: clang names the clones of a function so that a caller in
// another source file, seeing a plain declaration, cannot link to them.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && defined(__linux__)
#define MORVAPLOT_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define MORVAPLOT_VECTOR_CLONES
#endif
