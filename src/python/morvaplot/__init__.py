"""Thickness maps in Python: read .thk files and X/Y/Z text, grid them (Calc),
complete the surface (Fill), draw the map and its contours, and take the
figures an engineer reports.

    import morvaplot
    s = morvaplot.Session()          # the window's defaults
    s.open("dome.thk")
    s.calc()
    s.fill()
    s.fill_record.values             # 501 x 501 float64, NaN where empty
    s.statistics(wafer=morvaplot.Wafer(300, edge_exclusion=3))

A failed operation raises morvaplot.Error with the message the window shows.
An argument out of its limits raises ValueError: a setting, or an analysis
request (the wafer, the histogram's bins, a profile's line) with the text
morvaplot-cli gives for the same fault, e.g. histogram(bins=0) raises
ValueError("--histogram must be an integer from 1 to 10000").
morvaplot.compare(a, b) gives the difference of two files as
morvaplot-cli diff takes it.
The engine runs without the interpreter lock: threads may each work their
own Session at the same time. morvaplot.batch spreads many files over a Dask
cluster.
"""

import os

# The OpenMP runtime behind Calc, Fill and the pictures reads its wait policy
# once, when it is loaded: idle threads then sleep instead of spinning, so
# several worker processes on as many cores do not take each other's cores.
# A policy the user chose is kept.
os.environ.setdefault("OMP_WAIT_POLICY", "passive")

from ._morvaplot import (  # noqa: E402
    GRID_DIM,
    PICTURE_SIZE,
    SUMMARY_COLUMNS,
    Error,
    MessageWarning,
    NoData,
    Record,
    RoiResult,
    Session,
    Wafer,
    compare,
    png,
    read_csv,
    read_thk,
    read_xyz,
)

for _name in ("Error", "MessageWarning", "Record", "Session", "Wafer"):
    globals()[_name].__module__ = __name__
del _name

__all__ = [
    "GRID_DIM",
    "PICTURE_SIZE",
    "SUMMARY_COLUMNS",
    "Error",
    "MessageWarning",
    "NoData",
    "Record",
    "RoiResult",
    "Session",
    "Wafer",
    "compare",
    "png",
    "read_csv",
    "read_thk",
    "read_xyz",
]
