#pragma once

// The vector unit generation the hot loops run on.
enum class VectorPath { Baseline, Avx2, Avx512 };

// The widest path the processor has, or a narrower one named by the
// environment variable MORVAPLOT_VECTOR_PATH ("avx2" or "baseline"; a path
// wider than the processor has, or any other text, is ignored). Read once, at
// the first call. Every path gives the same bits; the variable lets the tests
// run the paths this processor would not choose.
VectorPath ActiveVectorPath();
