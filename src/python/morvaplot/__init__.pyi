"""Types of the morvaplot module (see help(morvaplot) for what each call does).

Orientation: values[x, y] is the value at X = x, Y = y of cells 0..500, y
counting cells downward as the map draws them; a picture is indexed [row,
column, channel] with y = 0 in its top row. NaN marks a cell without data and
every figure of an area without data.
"""

import os
from typing import Any, NamedTuple, Optional, Union

import numpy
import numpy.typing as npt
import pandas

_Path = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]
_Column = Union[str, int, None]
_Number = Union[int, float]

__version__: str
GRID_DIM: int  # 501 cells per axis
PICTURE_SIZE: int  # 301 pixels per side of a map
NoData: float  # the engine's mark of an empty cell (-99999.0); Python shows NaN instead
SUMMARY_COLUMNS: tuple[str, ...]

class Error(RuntimeError):
    """A failed operation, with the window's message; for a file that could not be opened errno, strerror and
    filename are set (else None)."""

    errno: Optional[int]
    strerror: Optional[str]
    filename: Optional[str]

class MessageWarning(UserWarning):
    """A message an operation showed without failing."""

class RoiResult(NamedTuple):
    count: int
    min: float  # NaN when count is 0
    max: float
    mean: float

class Statistics(dict[str, Any]):
    """count (int), mean, min, min_x, min_y, max, max_x, max_y, range, sigma_n1 (sample sigma, n - 1),
    sigma1_pct_n1, sigma3_pct_n1, uniformity_mean_pct ((max-min)/(2 mean) %), uniformity_maxmin_pct
    ((max-min)/(max+min) %); all but count NaN for an area without data."""

    def to_dict(self) -> dict[str, Any]: ...
    def to_frame(self) -> pandas.DataFrame: ...

class Columns(dict[str, npt.NDArray[Any]]):
    """Equal-length columns: a profile (position, value, x, y) or the rings of a radial profile (inner, count,
    mean, min, max)."""

    def to_dict(self) -> dict[str, npt.NDArray[Any]]: ...
    def to_frame(self) -> pandas.DataFrame: ...

class Histogram(dict[str, Any]):
    """edges (bins + 1 floats), counts (bins ints), min, max, total."""

    def to_dict(self) -> dict[str, Any]: ...
    def to_frame(self) -> pandas.DataFrame: ...  # lower, upper, count

class Wafer:
    """The wafer on a record: diameter in mm spanning the Size, edge exclusion in mm, centre in file units."""

    def __init__(
        self,
        diameter: float,
        edge_exclusion: float = 0.0,
        centre_x: Optional[float] = None,
        centre_y: Optional[float] = None,
    ) -> None: ...
    @property
    def diameter(self) -> float: ...
    @property
    def edge_exclusion(self) -> float: ...
    @property
    def centre_x(self) -> Optional[float]: ...
    @property
    def centre_y(self) -> Optional[float]: ...
    def positions_mm(self, size: int) -> tuple[npt.NDArray[numpy.float64], npt.NDArray[numpy.float64]]:
        """(x_mm, y_mm) of the cell coordinates 0..500 for a record of this Size."""

class Record:
    """A snapshot of a record: read-only, shareable between threads, picklable."""

    @property
    def kind(self) -> str: ...  # 'raw', 'grid', 'fill' or 'difference'
    @property
    def name(self) -> str: ...
    @property
    def size(self) -> int: ...
    @property
    def pitch(self) -> tuple[int, int]: ...
    @property
    def extent(self) -> tuple[int, int]: ...
    @property
    def count(self) -> int: ...  # raw: data points read; else cells with data
    @property
    def cells(self) -> int: ...  # cells with data
    @property
    def min(self) -> float: ...
    @property
    def max(self) -> float: ...
    @property
    def range(self) -> float: ...
    @property
    def mean(self) -> float: ...
    @property
    def sigma(self) -> float: ...
    @property
    def ratio(self) -> float: ...
    @property
    def uniformity_pct(self) -> float: ...
    @property
    def sigma1_pct(self) -> float: ...
    @property
    def sigma3_pct(self) -> float: ...
    @property
    def values(self) -> npt.NDArray[numpy.float64]:
        """Read-only (501, 501) view: values[x, y], y downward; NaN where empty."""
    @property
    def mask(self) -> npt.NDArray[numpy.bool_]: ...
    def statistics(self, wafer: Optional[Wafer] = None) -> Statistics: ...
    def profile(self, axis: str = "x", wafer: Optional[Wafer] = None) -> Columns: ...
    def line_profile(
        self, x0: float, y0: float, x1: float, y1: float, wafer: Optional[Wafer] = None
    ) -> Columns: ...
    def radial_profile(self, wafer: Optional[Wafer] = None) -> Columns: ...
    def histogram(self, bins: int = 20, wafer: Optional[Wafer] = None) -> Histogram: ...
    def roi(self, x: int, y: int, size: int = 10, shape: str = "circle") -> RoiResult: ...
    def to_xarray(self, wafer: Optional[Wafer] = None) -> Any:
        """xarray.DataArray with dims (x, y), coordinates x, y (cells) and with a wafer x_mm, y_mm."""
    def __copy__(self) -> "Record": ...
    def __deepcopy__(self, memo: Any) -> "Record": ...

class Session:
    """The viewer's flow over one data set; one thread at a time; a context manager that closes it."""

    def __init__(
        self,
        *,
        pitch: Optional[int] = None,
        radius: Optional[_Number] = None,
        optimise: Optional[bool] = None,
        power: Optional[_Number] = None,
        degree: Optional[int] = None,
        min_count: Optional[int] = None,
        raw_range: Optional[bool] = None,
        border_count: Optional[int] = None,
        copy_colormap: Optional[bool] = None,
    ) -> None: ...
    pitch: int
    radius: float
    optimise: bool
    power: float
    degree: int
    min_count: int
    raw_range: bool
    border_count: int
    copy_colormap: bool
    def open(self, path: _Path) -> None: ...
    def open_xyz(self, text: str) -> None: ...
    def open_csv(
        self,
        path: _Path,
        *,
        x_col: _Column = None,
        y_col: _Column = None,
        z_col: _Column = None,
        units: str = "mm",
        wafer: Union[_Number, Wafer] = 0.0,
    ) -> None: ...
    def calc(self) -> None: ...
    def fill(self) -> None: ...
    @property
    def raw(self) -> Optional[Record]: ...
    @property
    def grid(self) -> Optional[Record]: ...
    @property
    def fill_record(self) -> Optional[Record]: ...
    def colormap(self, data: Optional[str] = None, draw: Optional[str] = None) -> npt.NDArray[numpy.uint8]:
        """(301, 301, 3) picture indexed [row, column, channel]."""
    def contours(self) -> list[tuple[int, float, list[npt.NDArray[numpy.float64]]]]: ...
    def roi(
        self, x: int, y: int, size: int = 10, shape: str = "circle", data: Optional[str] = None
    ) -> RoiResult: ...
    def statistics(self, data: Optional[str] = None, wafer: Optional[Wafer] = None) -> Statistics: ...
    def profile(self, axis: str = "x", data: Optional[str] = None, wafer: Optional[Wafer] = None) -> Columns: ...
    def line_profile(
        self,
        x0: float,
        y0: float,
        x1: float,
        y1: float,
        data: Optional[str] = None,
        wafer: Optional[Wafer] = None,
    ) -> Columns: ...
    def radial_profile(self, data: Optional[str] = None, wafer: Optional[Wafer] = None) -> Columns: ...
    def histogram(self, bins: int = 20, data: Optional[str] = None, wafer: Optional[Wafer] = None) -> Histogram: ...
    # (columns site, x, y, measured, predicted, residual, note; summary how, count, missing, rms, mean,
    # max_abs, max_abs_site, max_abs_x, max_abs_y)
    def residuals(
        self, kind: str = "spline", order: Optional[int] = None, wafer: Optional[Wafer] = None
    ) -> tuple[Columns, Statistics]: ...
    def radius_scan(self, start: _Number, stop: _Number, step: _Number) -> Columns: ...
    # (a 'fill' Record, figures kind, overshoot, coefficients by Zernike term name, rank, disc_radius)
    def surface(
        self, kind: str = "tps", order: Optional[int] = None, wafer: Optional[Wafer] = None
    ) -> tuple[Record, Statistics]: ...
    # (the levelled Record, figures kind, through, count, piston, tilt_x, tilt_y, tilt, tilt_direction_deg, bow)
    def level(
        self, kind: str = "tilt", data: Optional[str] = None, wafer: Optional[Wafer] = None
    ) -> tuple[Record, Statistics]: ...
    def close(self) -> None: ...
    def __enter__(self) -> "Session": ...
    def __exit__(self, type: Any, value: Any, traceback: Any) -> bool: ...

def read_thk(path: _Path) -> Record: ...
def read_xyz(text: str) -> Record: ...
def read_csv(
    path: _Path,
    *,
    x_col: _Column = None,
    y_col: _Column = None,
    z_col: _Column = None,
    units: str = "mm",
    wafer: Union[_Number, Wafer] = 0.0,
) -> Record: ...
def png(picture: npt.ArrayLike) -> bytes: ...
def compare(
    a: _Path,
    b: _Path,
    data: str = "fill",
    order: str = "a-b",
    rate_time: float = 0.0,
    *,
    x_col: _Column = None,
    y_col: _Column = None,
    z_col: _Column = None,
    units: str = "mm",
    wafer: Union[_Number, Wafer] = 0.0,
    pitch: Optional[int] = None,
    radius: Optional[_Number] = None,
    optimise: Optional[bool] = None,
    power: Optional[_Number] = None,
    degree: Optional[int] = None,
    min_count: Optional[int] = None,
    raw_range: Optional[bool] = None,
    border_count: Optional[int] = None,
    copy_colormap: Optional[bool] = None,
) -> Record: ...
