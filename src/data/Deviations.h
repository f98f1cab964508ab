#pragma once

#include <cstddef>

// The sum of squared deviations s = s + d * d, d = v - mean, over the values
// in order from +0.0, every operation rounded to double as written: the
// numerator of the sigma every statistic shows.
double SumOfSquaredDeviations(const float* values, std::size_t n, double mean);
double SumOfSquaredDeviations(const double* values, std::size_t n, double mean);
