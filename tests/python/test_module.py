"""The module gives the command-line tool's bits, on one thread or several."""

import io
import threading

import numpy as np
import pandas
import pytest

import morvaplot
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
    assert listed.splitlines()[:4] == [f"Count\t{roi.count}", f"Min\t{g17(roi.min)}", f"Max\t{g17(roi.max)}",
                                       f"Mean\t{g17(roi.mean)}"]


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
