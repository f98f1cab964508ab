#pragma once

// The honest surfaces for Python: how well a surface predicts the measured
// sites (each site left out in turn), the search radius's cross-validation
// curve, a smooth surface through the sites in place of the fill, and the
// levelling of a record. Each works on a Session's data and settings with
// the interpreter lock released, as morvaplot-cli analyze does with
// --residuals, --radius-scan, --surface and --level.

#include <pybind11/pybind11.h>

#include "PythonSession.h"

namespace py = pybind11;

// Adds residuals, radius_scan, surface and level to Session.
void RegisterSurfaces(py::class_<PySession>& session);
