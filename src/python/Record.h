#pragma once

// A record as Python sees it: a snapshot of one of the engine's records that
// nothing changes any more, so several threads may read it and its arrays
// stay valid, with the figures of its own cells.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "data/ThkData.h"

namespace py = pybind11;

enum class RecordKind { Raw, Grid, Fill, Difference };

const char* RecordKindName(RecordKind kind);

struct Record {
    // The cells, and the record's figures: for Raw the reader's (Count the
    // data points read, Min and Max over the values as read); for the others
    // those of its cells, recomputed when the snapshot was taken (not the
    // display range a drawing settled), and a Fill's pitch is 1.
    std::shared_ptr<const ThkData> Data;
    RecordKind Kind = RecordKind::Raw;
    std::string Name;  // the source's name as the system spells it; may be empty
    long Cells = 0;    // cells holding data
    // The last node of the record's lattice on each axis: its cells lie in
    // 0..ExtentX, 0..ExtentY.
    int ExtentX = 0;
    int ExtentY = 0;
    // The cells with NaN where empty, made on first use; values is a view.
    std::shared_ptr<double[]> Values;
};

// A snapshot of from, which holds data of the given kind. Copies 2 MB; call
// it without the interpreter lock.
Record Snapshot(const ThkData& from, RecordKind kind, std::string name);

// A figure of the record's own statistics, NaN when no cell holds data.
double Figure(const Record& record, double value);

// The read-only (501, 501) float64 view of the record's cells, values[x, y]
// the value at X = x, Y = y (NaN where empty), which keeps the Python object
// self (a Record) alive.
py::array ValuesView(const py::object& self);

// True where a cell holds data: a new (501, 501) bool array.
py::array_t<bool> MaskOf(const Record& record);

// What pickle keeps of a record, and the record back from it: the figures,
// and the data cells (by position when they are few).
py::tuple RecordState(const Record& record);
Record RecordFromState(const py::tuple& state);
