"""The batch on a real cluster: a dask-scheduler and two dask-worker processes
on the loopback address, 40 generated files, one of them broken."""

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
FIGURES = ["mean", "min", "max", "range", "sigma_n1", "sigma1_pct_n1", "sigma3_pct_n1", "uniformity_mean_pct",
           "uniformity_maxmin_pct"]
LISTED = dict(zip(FIGURES, ["Mean", "Min", "Max", "Range", "SigmaN1", "Sigma1PctN1", "Sigma3PctN1", "UniformityMeanPct",
                            "UniformityMaxMinPct"]))


def start(args, log):
    return subprocess.Popen([sys.executable, "-m", *args], stdout=log, stderr=subprocess.STDOUT,
                            start_new_session=True)


@pytest.fixture(scope="module")
def cluster(tmp_path_factory):
    folder = tmp_path_factory.mktemp("cluster")
    address_file = folder / "scheduler.json"
    log = open(folder / "cluster.log", "w")
    processes = []
    try:
        processes.append(start(["distributed.cli.dask_scheduler", "--host", "127.0.0.1", "--port", "0",
                                "--no-dashboard", "--scheduler-file", address_file], log))
        for _ in range(2):
            processes.append(start(["distributed.cli.dask_worker", "--scheduler-file", address_file,
                                    "--host", "127.0.0.1", "--nthreads", "1", "--no-dashboard",
                                    "--local-directory", folder], log))
        deadline = time.monotonic() + 60
        while not address_file.exists() or not address_file.read_text().strip():
            assert time.monotonic() < deadline, "the scheduler did not start"
            time.sleep(0.1)
        address = json.loads(address_file.read_text())["address"]
        assert address.startswith("tcp://127.0.0.1:")
        with Client(address) as client:
            client.wait_for_workers(2, timeout=60)
            yield client, address
    finally:
        for p in reversed(processes):
            os.killpg(p.pid, signal.SIGTERM)
        for p in processes:
            try:
                p.wait(timeout=20)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
        log.close()


@pytest.fixture(scope="module")
def files(tmp_path_factory):
    """Size 100 files at pitch 4, each a tilted dome with its own noise."""
    folder = tmp_path_factory.mktemp("files")
    paths = []
    for i in range(FILES):
        rng = np.random.default_rng(i)
        lines = ["100", "4,4"]
        for x in range(0, 101, 4):
            for y in range(0, 101, 4):
                z = 1000 + 0.3 * i * x / 100 - ((x - 50) ** 2 + (y - 50) ** 2) / 80 + rng.normal(0, 2)
                lines.append(f"{x},{y},{z:.3f},")
        if i == BROKEN:
            lines[40] = lines[40].replace(".", "x", 1)
        path = folder / f"wafer{i:02d}.thk"
        path.write_text("\n".join(lines) + "\n")
        paths.append(str(path))
    return paths


def test_rows_as_the_tool_lists_them(cluster, files, tmp_path):
    client, address = cluster
    table = batch.run(files, client=client, data="raw")
    assert list(table.name) == files and list(table.columns) == batch.COLUMNS
    for path, row in zip(files, table.itertuples()):
        status, out, err = run_cli("analyze", path, check=False)
        if path == files[BROKEN]:
            assert status == 1 and row.error + "\n" == err
            assert all(np.isnan(getattr(row, f)) for f in FIGURES)
            continue
        assert row.error == ""
        listed = dict(line.split("\t") for line in out.decode().splitlines())
        assert row.size == 100 and row.count == int(listed["Count"]) == row.site_count
        assert {f: g17(getattr(row, f)) for f in FIGURES} == {f: listed[LISTED[f]] for f in FIGURES}
        assert row.seconds > 0

    # The shell command against the same scheduler writes the same rows; the
    # broken file makes its exit status 1.
    summary = tmp_path / "summary.csv"
    done = subprocess.run([sys.executable, "-m", "morvaplot.batch", *files, "--scheduler", address, "--data", "raw",
                           "--out", summary], capture_output=True, text=True)
    assert done.returncode == 1, done.stderr
    written = pandas.read_csv(summary, float_precision="round_trip")
    written["error"] = written["error"].fillna("")
    columns = [c for c in batch.COLUMNS if c != "seconds"]
    pandas.testing.assert_frame_equal(written[columns], table[columns], check_dtype=False)


def test_fill_rows_and_pictures(cluster, files, tmp_path):
    client, _ = cluster
    wafer = morvaplot.Wafer(200, edge_exclusion=10)
    pictures = tmp_path / "maps"
    table = batch.run(files, client=client, data="fill", wafer=wafer, images_to=pictures)
    assert (table.error != "").sum() == 1 and table.error[BROKEN] == table.error[BROKEN].strip() != ""
    assert sorted(os.listdir(pictures)) == sorted(os.path.basename(f) + ".png" for i, f in enumerate(files)
                                                  if i != BROKEN)
    for i in (0, FILES - 1):
        session = morvaplot.Session()
        session.open(files[i])
        session.calc()
        session.fill()
        expected = session.statistics(wafer=wafer)
        assert {f: table[f][i] for f in FIGURES + ["count"]} == {f: expected[f] for f in FIGURES + ["count"]}
        assert table.radius[i] == session.radius
        assert (pictures / (os.path.basename(files[i]) + ".png")).read_bytes() == morvaplot.png(session.colormap())
