"""Many files on a Dask cluster: one task per file, one summary row per file.

    from morvaplot import batch
    table = batch.run(paths)                        # a local cluster, one worker per core
    table = batch.run(paths, client=Client("tcp://scheduler:8786"))

From a shell:

    python3 -m morvaplot.batch FILES... --out SUMMARY.csv
    python3 -m morvaplot.batch FILES... --scheduler tcp://HOST:8786 --out SUMMARY.csv

Every worker must be able to import morvaplot and read the files under the
paths given.
"""

import argparse
import math
import os
import sys

from . import SUMMARY_COLUMNS, Error, _morvaplot, png

# The summary row's columns, the same as the report's summary CSV.
COLUMNS = list(SUMMARY_COLUMNS)

DATA_KINDS = ("raw", "grid", "fill")


def _write_atomically(path, content):
    """Writes content (bytes) to path whole or not at all, through the
    program's one file writer: a failure (a full disk) leaves an old file as
    it was and raises OSError; a link is written through, a device or FIFO
    written into."""
    from ._morvaplot import _write_file_whole

    _write_file_whole(os.fsencode(path), content)


def _failed_row(path, error):
    row = dict.fromkeys(COLUMNS, math.nan)
    row.update(name=path, error=error)
    return row


def process_file(path, data="fill", wafer=None, image=None, settings=None):
    """One file as the window would run it with the settings (Session's
    keywords): open, Calc and Fill as far as data needs, the statistics of
    that record (inside the wafer's kept disc when one is given) and, when
    image names a file, the map written there as PNG. Returns one summary
    row; a failure is reported in its "error" field, never raised."""
    row = None
    try:
        row, picture = _morvaplot.file_job(path, data, wafer, picture=image is not None, **(settings or {}))
        if picture is not None:
            _write_atomically(image, png(picture))
    except Exception as e:  # any fault of one file must not stop the others
        error = str(e) if isinstance(e, Error) else f"{type(e).__name__}: {e}"
        if row is None:
            row = _failed_row(path, error)
        else:
            row["error"] = error
    return row


def _image_names(paths, folder):
    """A PNG name per file: its base name, or with its position in front when
    two files share a base name."""
    bases = [os.path.basename(p) for p in paths]
    shared = {b for b in bases if bases.count(b) > 1}
    names = []
    for i, base in enumerate(bases):
        name = f"{i:06d}-{base}" if base in shared else base
        names.append(os.path.join(folder, name + ".png"))
    return names


def _local_client(workers=None):
    from distributed import Client, LocalCluster

    cluster = LocalCluster(
        n_workers=workers or os.cpu_count() or 1,
        threads_per_worker=1,
        processes=True,
        host="127.0.0.1",
        dashboard_address=None,
    )
    return Client(cluster), cluster


def run(paths, client=None, data="fill", wafer=None, images_to=None, settings=None, progress=None, workers=None):
    """Processes every file as one task on the cluster of client (a local
    cluster with one single-threaded worker process per core when None, closed
    again at the end) and returns a pandas DataFrame with one row per file in
    the order of paths: name, size, count, mean, min, max, range, sigma,
    sigma1_pct, sigma3_pct, uniformity_pct, radius (the search radius used),
    seconds (the time from load to figures on its worker) and error (empty, or the
    message of a file that failed).

    data: "raw", "grid" or "fill", the record whose statistics are listed.
    wafer: a morvaplot.Wafer; the figures are then taken inside its kept disc.
    images_to: a folder; each file's map is written there as <name>.png.
    settings: keyword arguments of morvaplot.Session (pitch, radius, ...).
    progress: a stream for a progress bar (tqdm's, e.g. on sys.stderr), or None.
    """
    import pandas

    if data not in DATA_KINDS:
        raise ValueError("data must be 'raw', 'grid' or 'fill'")
    paths = [os.fspath(p) for p in paths]
    images = [None] * len(paths)
    if images_to is not None:
        os.makedirs(images_to, exist_ok=True)
        images = _image_names(paths, os.fspath(images_to))

    own = None
    if client is None:
        client, own = _local_client(workers)
    try:
        rows = _run_on(client, paths, data, wafer, images, settings, progress)
    finally:
        if own is not None:
            client.close()
            own.close()
    return pandas.DataFrame(rows, columns=COLUMNS)


def _run_on(client, paths, data, wafer, images, settings, progress):
    from distributed import as_completed
    from tqdm import tqdm

    # Named through the package, so workers find it also when this file runs
    # as the shell command's __main__.
    from morvaplot.batch import process_file as task

    futures = [
        client.submit(task, path, data, wafer, image, settings, pure=False) for path, image in zip(paths, images)
    ]
    index = {f.key: i for i, f in enumerate(futures)}
    rows = [None] * len(futures)
    finished = tqdm(as_completed(futures), total=len(futures), file=progress, disable=progress is None, unit="file")
    for future in finished:
        i = index[future.key]
        try:
            rows[i] = future.result()
        except Exception as e:  # the worker died or the task could not run
            rows[i] = _failed_row(paths[i], f"{type(e).__name__}: {e}")
    return rows


def main(argv=None):
    parser = argparse.ArgumentParser(
        prog="python3 -m morvaplot.batch",
        description="Processes thickness files on a Dask cluster and writes one summary row per file.",
    )
    parser.add_argument("files", nargs="+", metavar="FILE", help=".thk files")
    parser.add_argument("--out", required=True, metavar="SUMMARY.csv", help="the summary table to write (CSV)")
    parser.add_argument("--scheduler", metavar="tcp://HOST:8786", help="a running dask-scheduler (default: a local cluster)")
    parser.add_argument("--workers", type=int, metavar="N", help="worker processes of the local cluster (default: one per core)")
    parser.add_argument("--data", choices=DATA_KINDS, default="fill", help="the record whose statistics are listed (default fill)")
    parser.add_argument("--wafer", type=float, metavar="MM", help="wafer diameter in mm: figures inside the wafer only")
    parser.add_argument("--edge", type=float, default=0.0, metavar="MM", help="edge exclusion in mm (with --wafer)")
    parser.add_argument("--images", metavar="FOLDER", help="also write each file's map as FOLDER/<name>.png")
    args = parser.parse_args(argv)
    if args.workers is not None and args.workers < 1:
        parser.error("--workers must be at least 1")
    if args.scheduler and args.workers is not None:
        parser.error("--workers is for the local cluster; a scheduler brings its own workers")

    import morvaplot

    wafer = None
    if args.wafer is not None:
        try:
            wafer = morvaplot.Wafer(args.wafer, edge_exclusion=args.edge)
        except ValueError as e:
            parser.error(str(e))

    client = None
    if args.scheduler:
        from distributed import Client

        client = Client(args.scheduler)
    try:
        table = run(
            args.files,
            client=client,
            data=args.data,
            wafer=wafer,
            images_to=args.images,
            progress=sys.stderr if sys.stderr.isatty() else None,
            workers=args.workers,
        )
    finally:
        if client is not None:
            client.close()
    _write_atomically(args.out, table.to_csv(index=False, float_format="%.17g").encode())
    failed = int((table["error"] != "").sum())
    if failed:
        print(f"{failed} of {len(table)} files failed; see the error column of {args.out}", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
