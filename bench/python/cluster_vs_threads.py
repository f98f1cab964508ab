#!/usr/bin/python3
"""Files per second of the Python batch: a running 2-worker Dask cluster
against 2 threads in one process, side by side in one run.

    PYTHONPATH=build/src/python /usr/bin/python3 bench/python/cluster_vs_threads.py

Writes two sets of .thk files into a temporary folder: dome-sized files (Size
500 at pitch 10, 2,603 lines) and full files (Size 500 at pitch 1, 251,001
data lines). For each set it times, alternately and twice each, (a) two
threads of this process, each handing the files it takes from a shared list
to its own morvaplot FileWorker, and (b) morvaplot.batch.run on a cluster of
one dask-scheduler and two dask-worker processes (each one thread, with
Dask's nanny as started by hand) on 127.0.0.1, started before and stopped
after the timings. Both read, grid, fill and analyse every file (data
"fill", the default settings). Prints the files per second of each run, the
better of each pair, their ratio, and the machine's load (uptime) before and
after: the figures depend on what else runs on the machine.
"""

import argparse
import json
import os
import queue
import signal
import subprocess
import sys
import tempfile
import threading
import time

import numpy as np


def write_files(folder, count, pitch, seed):
    """count files of Size 500 at the pitch: a tilted dome with noise."""
    os.makedirs(folder, exist_ok=True)
    axis = np.arange(0, 501, pitch)
    x, y = np.meshgrid(axis, axis, indexing="ij")
    xs = x.ravel().astype(str)
    ys = y.ravel().astype(str)
    paths = []
    for i in range(count):
        rng = np.random.default_rng(seed + i)
        z = 1000 + 0.004 * i * x - ((x - 250) ** 2 + (y - 250) ** 2) / 1200 + rng.normal(0, 1, x.shape)
        zs = np.char.mod("%.3f", z.ravel())
        lines = np.char.add(np.char.add(np.char.add(np.char.add(xs, ","), ys), ","), np.char.add(zs, ",\n"))
        path = os.path.join(folder, f"w{i:04d}.thk")
        with open(path, "w") as f:
            f.write(f"500\n{pitch},{pitch}\n")
            f.write("".join(lines.tolist()))
        paths.append(path)
    return paths


def threads_rate(paths, threads=2):
    """Files per second of threads in this process, each with its own engine,
    and the processor seconds this process spent per file."""
    from morvaplot import _morvaplot

    todo = queue.SimpleQueue()
    for p in paths:
        todo.put(p)
    failed = []
    start = threading.Barrier(threads + 1)

    def work():
        worker = _morvaplot.FileWorker()
        start.wait()
        while True:
            try:
                path = todo.get_nowait()
            except queue.Empty:
                return
            row, _ = worker.run(path)
            if row["error"]:
                failed.append(row["error"])

    pool = [threading.Thread(target=work) for _ in range(threads)]
    for t in pool:
        t.start()
    start.wait()
    began = time.perf_counter()
    cpu = time.process_time()
    for t in pool:
        t.join()
    seconds = time.perf_counter() - began
    cpu = time.process_time() - cpu
    assert not failed, failed[:3]
    return len(paths) / seconds, cpu / len(paths)


def single_engine_threads_rate(paths):
    """threads_rate in a process whose engine runs one thread per file."""
    done = subprocess.run([sys.executable, os.path.abspath(__file__), "--threads-rate", *paths], text=True,
                          capture_output=True, env=dict(os.environ, OMP_NUM_THREADS="1"), check=True)
    rate, cpu = done.stdout.split()
    return float(rate), float(cpu)


def cluster_rate(client, cluster, paths):
    from morvaplot import batch

    began = time.perf_counter()
    cpu = cluster.cpu() + time.process_time()
    table = batch.run(paths, client=client)
    seconds = time.perf_counter() - began
    cpu = cluster.cpu() + time.process_time() - cpu
    assert (table.error == "").all(), table.error[table.error != ""].head(3).tolist()
    return len(paths) / seconds, cpu / len(paths)


class Cluster:
    """dask-scheduler and two dask-worker processes on 127.0.0.1, run from
    folder."""

    def __init__(self, folder, workers=2):
        self.folder = folder
        self.address_file = os.path.join(folder, "scheduler.json")
        self.log = open(os.path.join(folder, "cluster.log"), "w")
        self.processes = [self._start(["distributed.cli.dask_scheduler", "--host", "127.0.0.1", "--port", "0",
                                       "--no-dashboard", "--scheduler-file", self.address_file])]
        for _ in range(workers):
            self.processes.append(self._start(["distributed.cli.dask_worker", "--scheduler-file", self.address_file,
                                               "--host", "127.0.0.1", "--nthreads", "1", "--no-dashboard"]))
        deadline = time.monotonic() + 60
        while not os.path.exists(self.address_file) or not open(self.address_file).read().strip():
            if time.monotonic() > deadline:
                raise RuntimeError("the scheduler did not start; see " + self.log.name)
            time.sleep(0.1)

    def _start(self, args):
        import morvaplot

        # The workers run elsewhere: they find the module this script imports.
        environment = dict(os.environ, PYTHONPATH=os.path.dirname(os.path.dirname(os.path.abspath(morvaplot.__file__))))
        return subprocess.Popen([sys.executable, "-m", *args], stdout=self.log, stderr=subprocess.STDOUT,
                                cwd=self.folder, env=environment, start_new_session=True)

    def cpu(self):
        """Processor seconds the cluster's processes and their children spent."""
        import psutil

        total = 0.0
        for p in self.processes:
            process = psutil.Process(p.pid)
            for q in [process, *process.children(recursive=True)]:
                times = q.cpu_times()
                total += times.user + times.system
        return total

    def stop(self):
        for p in reversed(self.processes):
            os.killpg(p.pid, signal.SIGTERM)
        for p in self.processes:
            try:
                p.wait(timeout=20)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
        self.log.close()


def uptime():
    return subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--dome-files", type=int, default=300)
    parser.add_argument("--full-files", type=int, default=40)
    parser.add_argument("--rounds", type=int, default=2, help="timings of each kind per set (default 2)")
    parser.add_argument("--threads-rate", nargs="+", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.threads_rate:
        threads_rate(args.threads_rate[:8])
        print(*threads_rate(args.threads_rate))
        return

    from distributed import Client

    with tempfile.TemporaryDirectory(prefix="morvaplot-bench-") as root:
        print("writing the files ...", file=sys.stderr)
        sets = {
            f"{args.dome_files} dome-sized files (2,603 lines)": write_files(os.path.join(root, "dome"),
                                                                          args.dome_files, 10, 0),
            f"{args.full_files} files of 251,001 lines": write_files(os.path.join(root, "full"), args.full_files, 1,
                                                                   1000),
        }
        os.makedirs(os.path.join(root, "cluster"))
        load_before = uptime()
        cluster = Cluster(os.path.join(root, "cluster"))
        try:
            with Client(scheduler_file=cluster.address_file) as client:
                client.wait_for_workers(2, timeout=60)
                # Every worker imports the module and makes its engine once.
                cluster_rate(client, cluster, next(iter(sets.values()))[:8])
                threads_rate(next(iter(sets.values()))[:8])
                workers_environment = client.run(lambda: {k: os.environ.get(k) for k in
                                                          ("OMP_NUM_THREADS", "MALLOC_TRIM_THRESHOLD_")})
                results = []
                for name, paths in sets.items():
                    threads, single, workers = [], [], []
                    for _ in range(args.rounds):
                        threads.append(threads_rate(paths))
                        single.append(single_engine_threads_rate(paths))
                        workers.append(cluster_rate(client, cluster, paths))
                    results.append((name, threads, single, workers))
        finally:
            cluster.stop()
        load_after = uptime()

    print(f"load before: {load_before}")
    print(f"load after:  {load_after}")
    print(f"cores: {os.cpu_count()}; the workers' environment: {next(iter(workers_environment.values()))}")
    kinds = ("(a) 2 threads, one process:", "(b) the same, OMP_NUM_THREADS=1:", "(c) 2-worker Dask cluster:")
    for name, *runs in results:
        print(f"{name}:")
        for kind, timings in zip(kinds, runs):
            rates = ", ".join(f"{rate:7.1f}" for rate, _ in timings)
            cpu = min(cpu for _, cpu in timings) * 1000
            print(f"  {kind:36} {rates} files/s; {cpu:6.2f} ms of processor time per file")
        best = [max(rate for rate, _ in timings) for timings in runs]
        print(f"  cluster / threads (best of each): (c)/(a) {best[2] / best[0]:.0%}, (c)/(b) {best[2] / best[1]:.0%}")


if __name__ == "__main__":
    main()
