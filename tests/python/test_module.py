"""The module gives the command-line tool's bits, on one thread or several."""

import ast
import copy
import errno
import io
import json
import math
import pathlib
import pickle
import re
import subprocess
import sys
import threading

import numpy as np
import pandas
import pytest

import morvaplot
from morvaplot import batch
from conftest import SAMPLE_FILES, SAMPLES, g17, run_cli

# Settings as Session keywords and as the same options of morvaplot-cli.
SETTINGS = {
    "defaults": ({}, []),
    "pitch 10, radius 200, power 2.5, degree 2": (
        {"pitch": 10, "radius": 200, "power": 2.5, "degree": 2},
        ["--pitch", 10, "--radius", 200, "--power", 2.5, "--order", 2],
    ),
}


def filled(path, **settings):
    session = morvaplot.Session(**settings)
    session.open(str(path))
    session.calc()
    session.fill()
    return session


def cell_listing(text):
    """x, y, value columns of a grid or fill listing after its Radius line."""
    head, _, cells = text.partition("\n")
    table = pandas.read_csv(io.StringIO(cells), sep="\t", header=None, names=["x", "y", "v"],
                            float_precision="round_trip")
    return float(head.split("\t")[1]), table


def bits(array):
    return np.ascontiguousarray(array).view(np.uint64)


@pytest.mark.parametrize("path", SAMPLE_FILES, ids=lambda p: p.name)
def test_reader_statistics_as_listed(path):
    record = morvaplot.read_thk(str(path))
    listed = dict(line.split("\t") for line in run_cli("stats", path)[1].decode().splitlines())
    ours = {
        "Size": record.size, "PitchX": record.pitch[0], "PitchY": record.pitch[1], "Count": record.count,
        "Min": g17(record.min), "Max": g17(record.max), "Range": g17(record.range), "Mean": g17(record.mean),
        "Sigma": g17(record.sigma), "Ratio": g17(record.ratio), "UniformityPct": g17(record.uniformity_pct),
        "Sigma1Pct": g17(record.sigma1_pct), "Sigma3Pct": g17(record.sigma3_pct),
    }
    assert {k: str(v) for k, v in ours.items()} == listed
    # values and mask say the same as the cells of the record
    assert np.count_nonzero(record.mask) == np.count_nonzero(~np.isnan(record.values))


@pytest.mark.parametrize("path", SAMPLE_FILES, ids=lambda p: p.name)
@pytest.mark.parametrize("name", SETTINGS)
def test_fill_as_listed(path, name):
    keywords, options = SETTINGS[name]
    session = filled(path, **keywords)
    radius, cells = cell_listing(run_cli("fill", path, *options)[1].decode())
    assert session.radius == radius
    values = session.fill_record.values
    assert np.count_nonzero(~np.isnan(values)) == len(cells)
    assert np.array_equal(bits(values[cells.x, cells.y]), bits(cells.v.to_numpy()))


@pytest.mark.parametrize("path", SAMPLE_FILES, ids=lambda p: p.name)
def test_contours_and_pictures_as_the_tool_makes_them(path, tmp_path):
    session = filled(path, border_count=7)
    lines = []
    for k, level, traces in session.contours():
        lines.append(f"Level\t{k}\t{g17(level)}")
        lines += [" ".join(f"{g17(x)},{g17(y)}" for x, y in trace) for trace in traces]
    listed = run_cli("contours", path, "--borders", 7)[1].decode()
    assert "".join(line + "\n" for line in lines) == listed

    for data, draw in [("fill", "contour"), ("fill", "colormap"), ("raw", "colormap")]:
        out = tmp_path / f"{data}-{draw}.png"
        run_cli("image", path, "--data", data, "--draw", draw, "--borders", 7, "--out", out)
        picture = session.colormap(data=data, draw=draw)
        assert picture.shape == (301, 301, 3) and picture.dtype == np.uint8
        assert morvaplot.png(picture) == out.read_bytes(), (data, draw)

    roi = session.roi(120, 200, size=15, shape="square", data="fill")
    listed = run_cli("roi", path, "--x", 120, "--y", 200, "--size", 15, "--square", "--data", "fill")[1].decode()
    # The tool lists the empty mark where no data cell lies inside; Python NaN.
    figures = [g17(morvaplot.NoData) if roi.count == 0 else g17(v) for v in (roi.min, roi.max, roi.mean)]
    assert listed.splitlines()[:4] == [f"Count\t{roi.count}", f"Min\t{figures[0]}", f"Max\t{figures[1]}",
                                       f"Mean\t{figures[2]}"]


def test_compare_gives_the_tools_difference(tmp_path):
    """The second file is filled on the first's lattice with the radius the
    first one's search found, as diff does; b - a per unit of time."""
    a, b = SAMPLES / "wafer49.thk", SAMPLES / "dome.thk"
    out = tmp_path / "rate.csv"
    run_cli("diff", a, b, "--order", "b-a", "--rate-time", 60, "--pitch", 10, "--out", out)
    listed = pandas.read_csv(out, float_precision="round_trip")
    values = morvaplot.compare(str(a), str(b), order="b-a", rate_time=60, pitch=10).values
    assert len(listed) > 0 and np.count_nonzero(~np.isnan(values)) == len(listed)
    assert np.array_equal(bits(values[listed.x, listed.y]), bits(listed.value.to_numpy()))


@pytest.mark.parametrize("bins", [0, 10**9], ids=["no bins", "a billion bins"])
def test_histogram_bins_refused_as_the_tool_refuses_them(bins):
    path = SAMPLE_FILES[0]
    status, _, shown = run_cli("analyze", path, "--histogram", bins, check=False)
    assert status == 2
    with pytest.raises(ValueError) as refused:
        morvaplot.read_thk(str(path)).histogram(bins=bins)
    assert shown.startswith(f"morvaplot-cli: {refused.value}\n")


def test_four_threads_give_the_serial_bits():
    assert len(SAMPLE_FILES) >= 4

    def work(path):
        session = filled(path)
        return (session.fill_record.values.tobytes(), session.colormap().tobytes(),
                session.statistics(wafer=morvaplot.Wafer(200, edge_exclusion=5)), session.radius)

    serial = [work(p) for p in SAMPLE_FILES[:4]]
    results = [None] * 4
    start = threading.Barrier(4)

    def thread(i):
        start.wait()
        results[i] = work(SAMPLE_FILES[i])

    threads = [threading.Thread(target=thread, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results == serial


@pytest.mark.parametrize("content, options", [
    ("10\n1,1\n1,2,abc,\n", []),
    ("300\n15,15\n" + "".join(f"{x},{y},1.5,\n" for x in range(0, 301, 15) for y in range(0, 301, 15)),
     ["--pitch", 100, "--radius", 200]),
], ids=["reader", "fill"])
def test_failure_raises_the_message_shown(content, options, tmp_path):
    path = tmp_path / "input.thk"
    path.write_text(content)
    status, _, shown = run_cli("fill", path, *options, check=False)
    assert status == 1
    session = morvaplot.Session(pitch=100, radius=200) if options else morvaplot.Session()
    with pytest.raises(morvaplot.Error) as failure:
        session.open(str(path))
        session.calc()
        session.fill()
    assert str(failure.value) + "\n" == shown


def test_csv_import_places_millimetres_about_the_centre(tmp_path):
    """A CSV of a 100 mm wafer gives the cells of the same points in a .thk file (+Y up: cell y = 50 - y)."""
    points = [(x, y, 900.0 + x * 0.5 - y * 0.25) for x in range(-50, 51, 10) for y in range(-50, 51, 10)]
    csv = tmp_path / "wafer.csv"
    csv.write_text("Site;X (mm);Y (mm);Thickness\n" + "".join(
        f"{i};{x};{y};{z}\n" for i, (x, y, z) in enumerate(points)))
    thk = tmp_path / "wafer.thk"
    thk.write_text("100\n10,10\n" + "".join(f"{x + 50},{50 - y},{z},\n" for x, y, z in points))
    imported = morvaplot.read_csv(str(csv), wafer=100)
    assert imported.size == 100
    assert np.array_equal(bits(imported.values), bits(morvaplot.read_thk(str(thk)).values))
    session = morvaplot.Session()
    session.open_csv(str(csv), wafer=100)
    assert session.raw.count == len(points)
    csv.write_text("x,y,thickness\n0,0,1\n1,1,x\n")
    with pytest.raises(morvaplot.Error, match=r"^CSV data error\. -> 'x' Line: 3$"):
        morvaplot.read_csv(str(csv))


def test_first_arrays_on_two_threads_do_not_hang():
    """Two threads started together, each making its first arrays right
    after the import (numpy not imported by the caller), finish."""
    script = f"""
import threading, morvaplot
paths = {[str(p) for p in SAMPLE_FILES[:2]]!r}
start = threading.Barrier(2)
def first_arrays(i):
    start.wait()
    morvaplot.read_thk(paths[i]).values
    s = morvaplot.Session()
    s.open(paths[i])
    s.calc()
    s.fill()
    s.colormap(); s.contours(); s.radial_profile(); s.histogram()
threads = [threading.Thread(target=first_arrays, args=(i,)) for i in range(2)]
for t in threads: t.start()
for t in threads: t.join()
print("done")
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=120)
    assert (done.returncode, done.stdout) == (0, "done\n"), done.stderr


def test_argument_faults_name_themselves(tmp_path):
    dome = str(SAMPLES / "dome.thk")
    missing = str(tmp_path / "missing.thk")
    faults = {
        "no bins": (lambda s: s.raw.histogram(bins=0), ValueError,
                    "--histogram must be an integer from 1 to 10000"),
        "a hundred million bins": (lambda s: s.histogram(bins=10**8), ValueError,
                                   "--histogram must be an integer from 1 to 10000"),
        "pitch as text": (lambda s: setattr(s, "pitch", "10"), TypeError, "pitch must be a whole number, not str"),
        "pitch below its limits": (lambda s: morvaplot.Session(pitch=1), ValueError,
                                   "pitch must be a whole number from 2 to 100"),
        "power as text": (lambda s: morvaplot.Session(power="3"), TypeError, "power must be a number, not str"),
        "raw_range None": (lambda s: setattr(s, "raw_range", None), TypeError,
                           "raw_range must be True or False, not NoneType"),
        "unknown setting": (lambda s: morvaplot.compare(dome, dome, pich=10), TypeError,
                            "unexpected keyword argument 'pich' (the settings are Session's keywords: pitch, "
                            "radius, optimise, power, degree, min_count, raw_range, border_count, copy_colormap)"),
        "NUL in a path": (lambda s: morvaplot.read_thk(dome + "\0junk"), ValueError, "embedded null byte"),
        "path of no type": (lambda s: morvaplot.read_thk(42), TypeError,
                            "expected str, bytes or os.PathLike object, not int"),
        "missing file": (lambda s: s.open(missing), morvaplot.Error,
                         f"File open error. -> {missing} (No such file or directory)"),
        "folder": (lambda s: morvaplot.read_thk(tmp_path), morvaplot.Error,
                   f"File open error. -> {tmp_path} (Is a directory)"),
        "Size line without TAB": (lambda s: morvaplot.read_xyz("100\n1\t2\t3\n"), morvaplot.Error,
                                  "The Size line must end with a TAB. -> '100' Line: 1"),
        "ROI beyond the area": (lambda s: s.roi(600, 0), ValueError, "x and y must be whole numbers from 0 to 500"),
        # A batch refuses what would fail every file before it starts a cluster.
        "batch setting out of its limits": (lambda s: batch.run(dome, settings={"pitch": 1}), ValueError,
                                            "pitch must be a whole number from 2 to 100"),
        "batch wafer as a number": (lambda s: batch.run(dome, wafer=300), TypeError,
                                    "wafer must be a morvaplot.Wafer or None, not int"),
        "batch paths of no type": (lambda s: batch.run([dome, 7]), TypeError,
                                   "paths must be a path or a list of paths (str, bytes or os.PathLike), not a "
                                   "list holding int"),
        "batch table option": (lambda s: batch.run(dome, csv={"x": 1}), TypeError,
                               "unexpected csv keyword 'x' (the csv keywords are x_col, y_col, z_col, units)"),
    }
    for what, (call, kind, text) in faults.items():
        session = filled(SAMPLES / "wafer49.thk", pitch=20)
        with pytest.raises(kind) as raised:
            call(session)
        assert (type(raised.value), str(raised.value)) == (kind, text), what
    # The system's reason is also the error's errno; a path object is a path.
    with pytest.raises(morvaplot.Error) as raised:
        morvaplot.read_thk(pathlib.Path(missing))
    assert (raised.value.errno, raised.value.filename) == (errno.ENOENT, missing)
    assert np.array_equal(bits(morvaplot.read_thk(pathlib.Path(dome)).values), bits(morvaplot.read_thk(dome).values))


def test_a_failed_open_leaves_no_data(tmp_path):
    session = filled(SAMPLES / "dome.thk")
    with pytest.raises(morvaplot.Error):
        session.open(str(tmp_path / "missing.thk"))
    assert session.raw is None and session.fill_record is None
    for call in (session.calc, session.fill, session.statistics):
        with pytest.raises(morvaplot.Error):
            call()


def test_a_session_refuses_a_second_thread():
    """While one thread's call runs, another thread's call on the same
    session raises at once; neither gets a file of the other."""
    session = morvaplot.Session(pitch=2, radius=30)
    session.open(str(SAMPLES / "film-scan.thk"))
    start = threading.Barrier(2)
    refused = []
    grids = []

    def calculate():
        start.wait()
        for _ in range(20):
            try:
                session.calc()
                grids.append(session.grid.values.tobytes())
            except morvaplot.Error as e:
                refused.append(str(e))

    worker = threading.Thread(target=calculate)
    worker.start()
    start.wait()
    while worker.is_alive():
        try:
            session.pitch
        except morvaplot.Error as e:
            refused.append(str(e))
    worker.join()
    assert refused and set(refused) == {"this Session is in use by another thread: a Session serves one thread "
                                        "at a time (give each thread its own Session)"}
    assert len(set(grids)) == 1


def test_records_know_their_own_figures(tmp_path):
    with filled(SAMPLES / "dome.thk", pitch=20) as session:
        raw, grid, fill = session.raw, session.grid, session.fill_record
        assert repr(session).startswith(f"<morvaplot.Session '{SAMPLES / 'dome.thk'}': raw grid fill (shown: fill)")
    with pytest.raises(morvaplot.Error, match="^this Session is closed$"):
        session.calc()
    assert re.fullmatch(r"\d+\.\d+(\.\d+)?", morvaplot.__version__)

    for record, pitch, extent in [(grid, (20, 20), (500, 500)), (fill, (1, 1), (500, 500))]:
        values = record.values
        cells = values[~np.isnan(values)]
        mean = math.fsum(cells) / len(cells)
        assert (record.pitch, record.extent, record.count, record.cells) == (pitch, extent, len(cells), len(cells))
        assert (record.min, record.max) == (cells.min(), cells.max())
        assert record.mean == pytest.approx(mean, rel=1e-14)
        assert record.uniformity_pct == pytest.approx((cells.max() - cells.min()) / (2 * mean) * 100, rel=1e-12)
    assert raw.extent == (500, 500) and raw.min < grid.min

    # Read-only, the same cells after pickling; a copy is the record itself.
    with pytest.raises(ValueError):
        fill.values[0, 0] = 1.0
    with pytest.raises(ValueError):
        fill.values.flags.writeable = True
    for record in (raw, fill):
        back = pickle.loads(pickle.dumps(record))
        assert np.array_equal(bits(back.values), bits(record.values)) and repr(back) == repr(record)
        assert copy.copy(record) is record and copy.deepcopy(record) is record

    # Figures of an area without data are NaN; results go into pandas.
    wafer = morvaplot.Wafer(500, centre_x=5, centre_y=5, edge_exclusion=249)
    empty = raw.statistics(wafer=wafer)
    assert empty["count"] == 0 and all(math.isnan(v) for k, v in empty.items() if k != "count")
    assert all(math.isnan(v) for v in raw.roi(5, 5, size=3)[1:])
    assert list(fill.statistics().to_frame().columns) == list(fill.statistics())
    histogram = fill.histogram(bins=7).to_frame()
    assert len(histogram) == 7 and histogram["count"].sum() == fill.cells

    # xarray: cells as coordinates, and the wafer's mm positions beside them.
    array = fill.to_xarray(wafer=morvaplot.Wafer(250))
    assert array.dims == ("x", "y") and float(array.sel(x=40, y=120)) == fill.values[40, 120]
    assert array.x_mm.values[250] == 0 and array.x_mm.values[500] == 125


def test_stub_names_what_the_module_holds():
    """Every public name of the module and of its classes is in the type
    stub, and every name of the stub exists."""
    stub = ast.parse((pathlib.Path(morvaplot.__file__).parent / "__init__.pyi").read_text())
    declared = {}
    for node in stub.body:
        if isinstance(node, ast.ClassDef):
            declared[node.name] = {n.name for n in node.body if isinstance(n, ast.FunctionDef)} | {
                n.target.id for n in node.body if isinstance(n, ast.AnnAssign)}
        elif isinstance(node, ast.FunctionDef):
            declared[node.name] = set()
        elif isinstance(node, ast.AnnAssign):
            declared[node.target.id] = set()
    public = lambda names: {n for n in names if not n.startswith("_")}
    assert public(declared) == public(morvaplot.__all__)
    for name, members in declared.items():
        runtime = getattr(morvaplot, name)
        if isinstance(runtime, type) and name not in ("Error", "MessageWarning", "RoiResult"):
            base = dict if issubclass(runtime, dict) else object
            assert public(members) == public(dir(runtime)) - public(dir(base)), name


def test_figures_an_engineer_reports_against_numpy():
    # Seven sites of a small wafer: the sample sigma (ddof=1), both
    # uniformity figures and the count, computed by numpy from the same values.
    values = np.array([9724.6, 9801.25, 9888.0, 9756.5, 9912.75, 9843.125, 9790.0])
    text = "20\t\n" + "".join(f"{2 * i}\t{3 + i}\t{v!r}\n" for i, v in enumerate(values))
    figures = morvaplot.read_xyz(text).statistics()
    assert figures["count"] == len(values)
    assert figures["sigma_n1"] == pytest.approx(np.std(values, ddof=1), rel=1e-12)
    assert figures["sigma1_pct_n1"] == pytest.approx(np.std(values, ddof=1) / values.mean() * 100, rel=1e-12)
    assert figures["sigma3_pct_n1"] == pytest.approx(3 * np.std(values, ddof=1) / values.mean() * 100, rel=1e-12)
    spread = values.max() - values.min()
    assert figures["uniformity_mean_pct"] == pytest.approx(spread / (2 * values.mean()) * 100, rel=1e-12)
    assert figures["uniformity_maxmin_pct"] == pytest.approx(spread / (values.max() + values.min()) * 100, rel=1e-12)


def test_thin_plate_surface_and_its_left_out_sites_against_scipy():
    # The sites of a .thk file are its data cells; the spline through them
    # does not depend on where the origin lies or which way y counts, so
    # scipy's spline on the bare cell coordinates is the same surface.
    interpolate = pytest.importorskip("scipy.interpolate")
    with morvaplot.Session() as s:
        s.open(SAMPLES / "wafer49.thk")
        raw = s.raw
        surface, figures = s.surface("tps")
        columns, _ = s.residuals("tps")
    cells = np.argwhere(raw.mask)
    values = raw.values[cells[:, 0], cells[:, 1]]
    spline = interpolate.RBFInterpolator(cells.astype(float), values, kernel="thin_plate_spline")
    probes = np.array([[0, 0], [250, 250], [137, 402], [480, 33], [cells[5, 0], cells[5, 1]]])
    expected = spline(probes.astype(float))
    assert surface.values[probes[:, 0], probes[:, 1]] == pytest.approx(expected, rel=1e-9, abs=1e-9)
    assert figures["kind"] == "tps" and figures["coefficients"] is None
    # Each site predicted by the spline through all the others.
    for i in (0, 17, len(cells) - 1):
        others = np.delete(np.arange(len(cells)), i)
        rest = interpolate.RBFInterpolator(cells[others].astype(float), values[others], kernel="thin_plate_spline")
        assert columns["predicted"][i] == pytest.approx(rest(cells[i:i + 1].astype(float))[0], rel=1e-9)


@pytest.mark.parametrize("kind, order, options", [
    ("spline", None, []),
    ("tps", None, ["--surface", "tps"]),
    ("zernike", 3, ["--surface", "zernike:3", "--wafer", 300]),
])
def test_residuals_are_the_tools(kind, order, options):
    _, out, _ = run_cli("analyze", "--residuals", "--json", *options, SAMPLES / "wafer49.thk")
    expected = json.loads(out)["residuals"]
    wafer = morvaplot.Wafer(300) if "--wafer" in options else None
    with morvaplot.Session() as s:
        s.open(SAMPLES / "wafer49.thk")
        columns, summary = s.residuals(kind, order=order, wafer=wafer)
    none = lambda v: None if math.isnan(v) else v
    got = [{"site": int(site), "x": x, "y": y, "measured": m, "predicted": none(p), "residual": none(r)}
           for site, x, y, m, p, r in zip(*(columns[k] for k in ("site", "x", "y", "measured", "predicted",
                                                                  "residual")))]
    assert got == [{k: v for k, v in site.items() if k != "note"} for site in expected["sites"]]
    for name in ("how", "count", "missing", "rms", "mean", "max_abs", "max_abs_site"):
        assert summary[name] == expected[name], name


@pytest.mark.parametrize("kind", ["tilt", "bow"])
def test_levelling_takes_out_an_exact_plane_and_bow(kind):
    # Values made of a plane (and a bow about the centre) in the frame the
    # levelling reports: cells from the middle of the area, +Y up.
    rng = np.random.default_rng(7)
    cells = np.unique(rng.integers(20, 180, size=(40, 2)), axis=0)
    x, y = cells[:, 0] - 100.0, 100.0 - cells[:, 1]
    bow = 0.0025 if kind == "bow" else 0.0
    values = 500.0 + 0.75 * x - 0.4 * y + bow * (x * x + y * y)
    text = "200\t\n" + "".join(f"{cx}\t{cy}\t{v!r}\n" for (cx, cy), v in zip(cells, values))
    with morvaplot.Session() as s:
        s.open_xyz(text)
        levelled, figures = s.level(kind)
    assert np.nanmax(np.abs(levelled.values)) < 1e-9
    assert (figures["piston"], figures["tilt_x"], figures["tilt_y"], figures["bow"]) == pytest.approx(
        (500.0, 0.75, -0.4, bow), abs=1e-9)
    assert figures["tilt_direction_deg"] == pytest.approx(math.degrees(math.atan2(-0.4, 0.75)))
