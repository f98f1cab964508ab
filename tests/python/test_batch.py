"""The batch on a real cluster: a dask-scheduler and two dask-worker processes
on the loopback address, started in a folder of their own, and 40 generated
files named by paths relative to the caller's folder, one of them broken and
one with a line without a thickness."""

import json
import os
import signal
import subprocess
import sys
import time

import numpy as np
import pandas
import pytest
from distributed import Client

import morvaplot
from morvaplot import batch
from conftest import g17, run_cli

FILES = 40
BROKEN = 17
NO_Z = 23
FIGURES = ["mean", "min", "max", "range", "sigma_n1", "sigma1_pct_n1", "sigma3_pct_n1", "uniformity_mean_pct",
           "uniformity_maxmin_pct"]
LISTED = dict(zip(FIGURES, ["Mean", "Min", "Max", "Range", "SigmaN1", "Sigma1PctN1", "Sigma3PctN1", "UniformityMeanPct",
                            "UniformityMaxMinPct"]))


def start_cluster(folder, workers):
    """A scheduler and workers on the loopback address, each process in
    folder (not the caller's folder) with its own process group; returns the
    processes and the scheduler file."""
    address_file = folder / "scheduler.json"
    log = open(folder / "cluster.log", "w")

    def start(args):
        return subprocess.Popen([sys.executable, "-m", *args], stdout=log, stderr=subprocess.STDOUT, cwd=folder,
                                start_new_session=True)

    processes = [start(["distributed.cli.dask_scheduler", "--host", "127.0.0.1", "--port", "0", "--no-dashboard",
                        "--scheduler-file", address_file])]
    for _ in range(workers):
        processes.append(start(["distributed.cli.dask_worker", "--scheduler-file", address_file, "--host",
                                "127.0.0.1", "--nthreads", "1", "--no-dashboard"]))
    log.close()
    deadline = time.monotonic() + 60
    while not address_file.exists() or not address_file.read_text().strip():
        assert time.monotonic() < deadline, "the scheduler did not start"
        time.sleep(0.1)
    assert json.loads(address_file.read_text())["address"].startswith("tcp://127.0.0.1:")
    return processes, address_file


def stop(process):
    os.killpg(process.pid, signal.SIGTERM)
    try:
        process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()


@pytest.fixture(scope="module")
def cluster(tmp_path_factory):
    processes, address_file = start_cluster(tmp_path_factory.mktemp("cluster"), 2)
    try:
        with Client(scheduler_file=str(address_file)) as client:
            client.wait_for_workers(2, timeout=60)
            yield client, address_file
    finally:
        for p in reversed(processes):
            stop(p)


@pytest.fixture(scope="module")
def files(tmp_path_factory):
    """Size 100 files at pitch 4, each a tilted dome with its own noise: the
    folder and the file names."""
    folder = tmp_path_factory.mktemp("files")
    names = []
    for i in range(FILES):
        rng = np.random.default_rng(i)
        lines = ["100", "4,4"]
        for x in range(0, 101, 4):
            for y in range(0, 101, 4):
                z = 1000 + 0.3 * i * x / 100 - ((x - 50) ** 2 + (y - 50) ** 2) / 80 + rng.normal(0, 2)
                lines.append(f"{x},{y},{z:.3f},")
        if i == BROKEN:
            lines[40] = lines[40].replace(".", "x", 1)
        if i == NO_Z:
            lines[50] = lines[50][:lines[50].rindex(",", 0, -1) + 1] + ","
        name = f"wafer{i:02d}.thk"
        (folder / name).write_text("\n".join(lines) + "\n")
        names.append(name)
    return folder, names


def test_rows_as_the_tool_lists_them(cluster, files, monkeypatch):
    client, address_file = cluster
    folder, names = files
    monkeypatch.chdir(folder)
    table = batch.run(names, client=client, data="raw")
    assert list(table.name) == names and list(table.columns) == batch.COLUMNS
    assert (table["size"].dtype, table["count"].dtype) == ("Int64", "Int64")
    for name, row in zip(names, table.itertuples()):
        status, out, err = run_cli("analyze", name, check=False)
        if name == names[BROKEN]:
            assert status == 1 and row.error + "\n" == err and row.warnings == ""
            assert pandas.isna(row.size) and all(np.isnan(getattr(row, f)) for f in FIGURES)
            continue
        assert row.error == "" and row.warnings == err.rstrip("\n")
        listed = dict(line.split("\t") for line in out.decode().splitlines())
        assert row.size == 100 and row.count == int(listed["Count"]) == row.site_count
        assert {f: g17(getattr(row, f)) for f in FIGURES} == {f: listed[LISTED[f]] for f in FIGURES}
        assert row.seconds > 0
    assert table.warnings[NO_Z].startswith("Z data missing in 1 line")
    assert list(batch.run(names[0], client=client, data="raw").name) == [names[0]]

    # The shell command through the scheduler file writes the same rows,
    # read back with the same types; the broken file makes its status 1.
    done = subprocess.run([sys.executable, "-m", "morvaplot.batch", *names, "--scheduler-file", address_file,
                           "--data", "raw", "--out", "summary.csv"], capture_output=True, text=True)
    assert done.returncode == 1, done.stderr
    assert "40/40" in done.stderr  # the progress, logged as lines on a stream that is no terminal
    columns = [c for c in batch.COLUMNS if c != "seconds"]
    pandas.testing.assert_frame_equal(batch.read_summary("summary.csv")[columns], table[columns])


def test_fill_rows_and_pictures(cluster, files, monkeypatch):
    client, _ = cluster
    folder, names = files
    monkeypatch.chdir(folder)
    wafer = morvaplot.Wafer(200, edge_exclusion=10)
    table = batch.run(names, client=client, data="fill", wafer=wafer, images_to="maps")
    assert (table.error != "").sum() == 1 and table.error[BROKEN] != ""
    assert sorted(os.listdir("maps")) == sorted(n + ".png" for i, n in enumerate(names) if i != BROKEN)
    for i in (0, NO_Z):
        session = morvaplot.Session()
        session.open(names[i])
        session.calc()
        session.fill()
        expected = session.statistics(wafer=wafer)
        assert {f: table[f][i] for f in FIGURES + ["count"]} == {f: expected[f] for f in FIGURES + ["count"]}
        assert table.radius[i] == session.radius
        assert (folder / "maps" / (names[i] + ".png")).read_bytes() == morvaplot.png(session.colormap())


def test_a_dead_cluster_ends_with_an_error(tmp_path, files):
    folder, names = files
    paths = [str(folder / n) for n in names[:4]]
    scheduler, worker = [], []
    try:
        (scheduler, *worker), address_file = start_cluster(tmp_path, 1)
        client = Client(scheduler_file=str(address_file), timeout=30)
        client.wait_for_workers(1, timeout=60)
        os.killpg(worker[0].pid, signal.SIGKILL)
        with pytest.raises(batch.ClusterError, match="^no worker was left for 2 s: gave up with 4 of 4 files") as e:
            batch.run(paths, client=client, no_worker_timeout=2)
        assert list(e.value.table.error) == [str(e.value)] * 4
        os.killpg(scheduler.pid, signal.SIGKILL)
        with pytest.raises(batch.ClusterError, match="^the scheduler could not be reached"):
            batch.run(paths, client=client, no_worker_timeout=2)
        client.close(timeout=5)
    finally:
        for p in [scheduler, *worker]:
            if p:
                stop(p)


def test_site_table_gives_back_the_positions_of_a_table(cluster, tmp_path, monkeypatch):
    # 49 sites in mm from the centre of a 300 mm wafer, beside a file that
    # fails: the long table holds the table's rows, x/y back in mm (+Y up).
    client, _ = cluster
    monkeypatch.chdir(tmp_path)
    written = [(x, y, round(500 + 0.2 * x - 0.1 * y + 0.01 * x * y, 2)) for x in range(-135, 136, 45)
               for y in range(-120, 121, 40)]
    (tmp_path / "w.csv").write_text("X,Y,Thickness (nm)\n" + "".join(f"{x},{y},{z}\n" for x, y, z in written))
    table, sites = batch.run(["w.csv", "gone.thk"], client=client, data="raw", wafer=morvaplot.Wafer(300),
                             sites=True)
    assert list(table.columns) == batch.COLUMNS and table.error[0] == "" and table.error[1] != ""
    assert list(sites.columns) == batch.SITE_COLUMNS and len(sites) == 49
    assert set(sites.file) == {"w.csv"} and set(sites.unit) == {"nm"} and list(sites.site) == list(range(1, 50))
    np.testing.assert_array_equal(sites[["x_mm", "y_mm", "value"]].to_numpy(), np.array(written, dtype=float))


def test_lot_summary_against_numpy():
    # A failed file and one without a data cell inside the wafer are left out.
    nan = float("nan")
    table = pandas.DataFrame({
        "mean": [101.5, nan, 98.25, 100.0, nan, 103.75],
        "uniformity_mean_pct": [1.5, nan, 2.25, 0.75, nan, 3.0],
        "uniformity_maxmin_pct": [2.0, nan, 3.5, 1.25, nan, 4.0],
        "sigma3_pct_n1": [4.5, nan, 6.0, 2.25, nan, 7.5],
        "error": ["", "OSError: gone", "", "", "", ""],
    })
    kept = table.iloc[[0, 2, 3, 5]]
    means = kept["mean"].to_numpy()
    expected = [4, np.mean(means), np.std(means, ddof=1), means.min(), means.max(), np.ptp(means),
                np.mean(kept.uniformity_mean_pct), np.mean(kept.uniformity_maxmin_pct), np.mean(kept.sigma3_pct_n1)]
    lot = batch.lot_summary(table)
    assert list(lot.columns) == batch.LOT_COLUMNS and len(lot) == 1
    np.testing.assert_allclose(lot.iloc[0].to_numpy(dtype=float), expected, rtol=1e-15)
    # One file: no spread from wafer to wafer.
    assert batch.lot_summary(table.iloc[[0]]).sigma_of_means_n1[0] == 0
