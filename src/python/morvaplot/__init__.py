"""Thickness maps in Python: read .thk files, CSV tables and X/Y/Z text, grid
them (Calc), complete the surface (Fill), draw the map and its contours, and
take the figures an engineer reports.

    import morvaplot
    with morvaplot.Session() as s:        # the window's defaults
        s.open("dome.thk")
        s.calc()
        s.fill()
        fill = s.fill_record              # a Record: a snapshot that stays valid
    fill.values                           # (501, 501) float64, read-only, NaN where empty
    fill.statistics(wafer=morvaplot.Wafer(300, edge_exclusion=3)).to_frame()

Orientation: a record's cells sit at integer coordinates 0..500 on each
axis; values[x, y] is the value at X = x, Y = y, with y counting cells
downward as the map draws them. A picture from colormap() is indexed the
other way round, [row, column, channel], with y = 0 in its top row. A Wafer places millimetres on those cells; Wafer.positions_mm
and Record.to_xarray(wafer) give each cell's mm position as the figures use
it. The sigma of a Record (record.sigma, sigma1_pct, sigma3_pct) is the
record's own statistic as the window shows it; statistics() gives the
figures of an area.

Results: read_thk, read_csv, read_xyz and compare return a Record;
statistics() a Statistics dict (to_frame(): a one-row pandas DataFrame),
profile(), line_profile() and radial_profile() a Columns dict of equal-length
arrays (to_frame()), histogram() a Histogram dict (to_frame(): lower, upper,
count per bin), roi() a RoiResult. A figure of an area without data is NaN.

Surfaces: Session.residuals() predicts every measured site from the others
(Calc and Fill without it, or the thin-plate spline through the rest) or
from a Zernike model, radius_scan() gives that cross-validation per search
radius, surface() a thin-plate spline or Zernike surface through the sites
in place of the fill, and level() a record with its plane (and bow) taken
out; each as morvaplot-cli analyze gives it with --residuals, --radius-scan,
--surface and --level.

Errors: a failed operation raises morvaplot.Error with the message the
window shows (for a file that cannot be opened, with the system's reason
after it and errno and filename set); a message that does not stop an
operation is issued as a morvaplot.MessageWarning. An argument of the wrong
type raises TypeError; one out of its limits raises ValueError, for an
analysis request with the text morvaplot-cli gives for the same fault, e.g.
histogram(bins=0) raises ValueError("--histogram must be an integer from 1
to 10000"). File names may be str, bytes or os.PathLike.

Threads: the engine runs without the interpreter lock, so threads may each
work their own Session (or read the same Records) at the same time; a
Session used by two threads at once raises Error instead of mixing their
files. morvaplot.batch spreads many files over a Dask cluster.
"""

import os

# The OpenMP runtime behind Calc, Fill and the pictures reads its wait policy
# once, when it is loaded: idle threads then sleep instead of spinning, so
# several worker processes on as many cores do not take each other's cores.
# A policy the user chose is kept.
os.environ.setdefault("OMP_WAIT_POLICY", "passive")

# numpy before the extension: its arrays are set up when the extension loads.
import numpy  # noqa: E402,F401

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
    __version__,
    compare,
    png,
    read_csv,
    read_thk,
    read_xyz,
)
from ._results import Columns, Histogram, Statistics  # noqa: E402


def _to_xarray(self, wafer=None):
    """The values as an xarray.DataArray with dims ("x", "y") and the cell
    coordinates 0..500 as coordinates x and y; with a Wafer, also its mm
    positions of each cell as coordinates x_mm (along x) and y_mm (along y),
    as Wafer.positions_mm gives them. The record's kind, name, size and pitch
    are its attrs. Needs xarray (Debian: python3-xarray)."""
    try:
        import xarray
    except ImportError as e:
        raise ImportError("Record.to_xarray needs xarray (Debian package python3-xarray)") from e
    cells = numpy.arange(GRID_DIM)
    coords = {"x": cells, "y": cells}
    if wafer is not None:
        x_mm, y_mm = wafer.positions_mm(self.size)
        coords["x_mm"] = ("x", x_mm)
        coords["y_mm"] = ("y", y_mm)
    attrs = {"kind": self.kind, "name": self.name, "size": self.size, "pitch_x": self.pitch[0],
             "pitch_y": self.pitch[1]}
    return xarray.DataArray(self.values, dims=("x", "y"), coords=coords, name=self.kind, attrs=attrs)


Record.to_xarray = _to_xarray
del _to_xarray

for _name in ("Error", "MessageWarning", "Record", "RoiResult", "Session", "Wafer"):
    globals()[_name].__module__ = __name__
del _name

__all__ = [
    "GRID_DIM",
    "PICTURE_SIZE",
    "SUMMARY_COLUMNS",
    "Columns",
    "Error",
    "Histogram",
    "MessageWarning",
    "NoData",
    "Record",
    "RoiResult",
    "Session",
    "Statistics",
    "Wafer",
    "__version__",
    "compare",
    "png",
    "read_csv",
    "read_thk",
    "read_xyz",
]
