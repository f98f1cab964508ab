#pragma once

// The analysis of a record for Python: every figure, profile and histogram is
// one AnalysisRequest answered by AnalyzeRecord, so the wafer, the bins and
// the line are checked against the limits every front end uses, and a request
// out of range raises ValueError with the command line's text for it. The
// answers are the morvaplot._results types (dicts that turn into pandas
// frames); a figure of an area without a data cell is NaN.

#include <pybind11/pybind11.h>

#include <optional>
#include <string>

#include "analysis/Analysis.h"
#include "analysis/SitePairing.h"
#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

namespace py = pybind11;

AnalysisRequest ProfileRequest(const std::string& axis, const std::optional<WaferGeometry>& wafer);
AnalysisRequest LineRequest(double x0, double y0, double x1, double y1,
                            const std::optional<WaferGeometry>& wafer);
AnalysisRequest RadialRequest(const std::optional<WaferGeometry>& wafer);
AnalysisRequest HistogramRequest(long long bins, const std::optional<WaferGeometry>& wafer);

// Each runs the engine without the interpreter lock.
py::object StatisticsOf(const ThkData& record, const AnalysisRequest& request);
py::object ProfileOf(const ThkData& record, const AnalysisRequest& request);
py::object RadialProfileOf(const ThkData& record, const AnalysisRequest& request);
py::object HistogramOf(const ThkData& record, const AnalysisRequest& request);

// RoiResult(count, min, max, mean) of the region; NaN figures without a data
// cell inside.
py::object RoiOf(const ThkData& record, int x, int y, int size, const std::string& shape);

// The mm positions of the cells 0..500 on each axis for a wafer on a record
// of this Size, as the analysis measures them: (x_mm, y_mm).
py::tuple WaferPositions(const WaferGeometry& wafer, int size);

// The paired sites of a comparison as columns: site, x, y (mm on a wafer),
// first, second, difference, interpolated.
py::dict PairedSiteColumns(const std::vector<PairedSite>& sites);
