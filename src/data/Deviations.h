#pragma once

#include <cstddef>
#include <vector>

// The sum of squared deviations s = s + d * d, d = v - mean, over the values
// in order from +0.0, every operation rounded to double as written: the
// numerator of the sigma every statistic shows.
double SumOfSquaredDeviations(const float* values, std::size_t n, double mean);
double SumOfSquaredDeviations(const double* values, std::size_t n, double mean);

// Sums of many values are taken in two parts on two threads (when two are
// free): the first part in order, while the second part's chunks are taken
// as integer units of the binade an estimate of the running sum is in where
// they begin; the second part is then settled against the exact sum of the
// first. Any estimate gives the bits of the in-order sum; a close one saves
// the second part's work.
struct DeviationChunk {
    double PerUnit = 0.0;  // 1 / u of the binade the units were taken in; 0: not taken
    double Total = 0.0;    // the chunk's terms in units, rounded to the nearest
    bool NoTie = false;    // no term lay halfway between two units
};

// For a caller that runs the two parts on threads of its own: the chunks of
// values (the second part), from an estimate of the sum before them, and
// the whole sum from the first part's exact sum head.
void TakeDeviationChunks(const float* values, std::size_t n, double mean, double estimate,
                         std::vector<DeviationChunk>& chunks);
double SettleSquaredDeviations(const float* values, std::size_t n, double mean, double head,
                               const std::vector<DeviationChunk>& chunks);
