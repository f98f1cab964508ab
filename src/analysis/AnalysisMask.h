#pragma once

#include <vector>

#include "analysis/WaferGeometry.h"

// The cells every analysis figure is taken over: the cells 0..Size of a
// record that lie in the wafer's kept disc (all of them without a wafer).
// In each column they form one run of rows, since the distance grows with
// the row's distance from the centre row; the runs are what the figures and
// the drawing walk.
struct ColumnSpan {
    int First = 0;  // first row inside
    int Last = -1;  // last row inside; Last < First: none
};

class AnalysisMask {
public:
    // The mask of a record of the given Size (clamped to 0..500) under a
    // geometry that passed CheckWaferGeometry.
    AnalysisMask(int size, const WaferGeometry& geometry);

    const WaferFrame& Frame() const { return frame_; }
    int Size() const { return frame_.Size; }

    // Whether cell (x, y) counts; any coordinates, cells beyond 0..Size never.
    bool Inside(int x, int y) const;

    // The run of column x, for x in 0..Size.
    ColumnSpan Column(int x) const { return columns_[static_cast<std::size_t>(x)]; }

    // Number of cells inside, whether they hold data or not.
    long CellCount() const { return cellCount_; }

private:
    WaferFrame frame_;
    std::vector<ColumnSpan> columns_;  // Size + 1 runs
    long cellCount_ = 0;
};
