#pragma once

// One file of a batch at a time, for Python: a worker process (or a thread)
// keeps one FileWorker and hands it file after file. The three records, the
// surface fitter's stores and the map's picture stay allocated from one file
// to the next, so a file allocates nothing large; and where the environment
// has the heap hand freed memory back to the system at once (as Dask's
// worker processes are set up), the heap keeps the few MB the steps of one
// file use for a moment, so that setting costs nothing per file.

#include <pybind11/pybind11.h>

#include <QImage>
#include <memory>
#include <mutex>
#include <string>

#include "analysis/SummaryRow.h"
#include "session/FileJob.h"

namespace py = pybind11;

class SurfaceFitter;

// The summary row as a dict keyed by SummaryColumns: size and count as int
// (None for a failed file), the figures as float (NaN for a failed file and
// for an area without a data cell), error and warnings as text ("" when
// there are none).
py::dict RowOf(const SummaryRow& row);

class FileWorker {
public:
    FileWorker();
    ~FileWorker();

    // RunFileJob on source, the row named name; with png, the map of the
    // analysed record as Session.colormap(data=...) paints it, as PNG bytes
    // (None when the file failed). Returns (row, png), and with sites
    // (row, png, sites): the file's measured sites as SiteColumns gives them
    // (None when the file failed). Runs without the interpreter lock; a
    // second thread's call while one runs raises Error.
    py::tuple Run(const SourceInput& source, const std::string& name, const FileJobRequest& request, bool png,
                  bool sites = false);

private:
    std::mutex busy_;
    std::unique_ptr<PreparedRecords> records_;
    std::unique_ptr<SurfaceFitter> fitter_;
    QImage picture_;
};
