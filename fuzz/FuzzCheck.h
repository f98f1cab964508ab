#pragma once

// What every fuzz target checks besides the sanitizers: the promises a reader
// makes to its caller. A broken promise aborts, so libFuzzer keeps the input.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Message.h"
#include "data/ThkData.h"

// Scans over the 251001 cells are checks, not code under test: left out of
// the coverage feedback, whose per-comparison hooks would otherwise take most
// of each run.
#define FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))

#define FUZZ_REQUIRE(condition)                                                                  \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

// A sink that keeps the texts shown to it.
class MessageCounter : public MessageSink {
public:
    MessageCounter() : MessageSink([this](const std::string& text) { Messages.push_back(text); }) {}
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;

    std::vector<std::string> Messages;
};

// A message a user can read: not empty, and no NUL byte that would cut it
// short wherever it is shown as a C string.
inline bool Readable(const std::string& text) {
    return !text.empty() && text.find('\0') == std::string::npos;
}

// The statistics of an accepted record agree with its cells: at most Count
// data cells, each within Min..Max; the mean between them (up to the rounding
// of a sum of Count terms) or NoData without data cells; everything finite.
FUZZ_NO_COVERAGE inline void RequireConsistentStatistics(const ThkData& r) {
    FUZZ_REQUIRE(r.Valid);
    FUZZ_REQUIRE(r.Count >= 0);
    FUZZ_REQUIRE(std::isfinite(r.Min) && std::isfinite(r.Max));
    FUZZ_REQUIRE(std::isfinite(r.Mean) && std::isfinite(r.Sigma) && r.Sigma >= 0.0);
    FUZZ_REQUIRE(std::isfinite(r.Range));
    FUZZ_REQUIRE(r.RangeMin == r.Min && r.RangeMax == r.Max);
    long cells = 0;
    for (const auto& column : r.Value) {
        for (const double v : column) {
            if (!HasData(v)) continue;
            ++cells;
            FUZZ_REQUIRE(r.Min <= v && v <= r.Max);
        }
    }
    FUZZ_REQUIRE(cells <= r.Count);
    if (r.Count == 0) return;
    FUZZ_REQUIRE(r.Min <= r.Max);
    if (cells == 0) {
        FUZZ_REQUIRE(r.Mean == NoData);
        return;
    }
    const double slack = static_cast<double>(cells) * 2.2e-16 * std::fmax(std::fabs(r.Min), std::fabs(r.Max));
    FUZZ_REQUIRE(r.Min - slack <= r.Mean && r.Mean <= r.Max + slack);
}

// The record after the caller's ClearThkData: nothing of a refused input left.
inline void RequireCleared(const ThkData& r) {
    FUZZ_REQUIRE(!r.Valid && r.Count == 0 && r.Points.empty());
    FUZZ_REQUIRE(r.Min == StatInitMin && r.Max == StatInitMax && r.Mean == NoData);
    static const auto empty = [] {
        auto cells = std::make_unique<double[]>(ThkGridDim * ThkGridDim);
        std::fill_n(cells.get(), ThkGridDim * ThkGridDim, NoData);
        return cells;
    }();
    FUZZ_REQUIRE(std::memcmp(r.Value, empty.get(), sizeof r.Value) == 0);
}
