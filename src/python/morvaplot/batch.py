"""Many files on a Dask cluster, one summary row per file.

    from morvaplot import batch
    table = batch.run(["lot/W01.thk", "lot/W02.thk"])    # a local cluster, one worker per core
    table = batch.run(paths, client=Client(scheduler_file="scheduler.json"))
    table = batch.run("W01.csv", wafer=morvaplot.Wafer(300), csv={"z_col": "Thickness"})
    table, sites = batch.run(paths, wafer=morvaplot.Wafer(300), sites=True)  # and every measured site
    lot = batch.lot_summary(table)    # the lot's figures, as the report's lot page gives them

From a shell:

    python3 -m morvaplot.batch FILES... --out SUMMARY.csv
    python3 -m morvaplot.batch FILES... --scheduler-file scheduler.json --out SUMMARY.csv

The files go to the workers in batches of tasks sized to the cluster, and
each worker process keeps one engine (its records and stores) from file to
file. Paths, and the folder for pictures, are made absolute on the client
and the folder is made before the run, so workers started in another folder
read the same files and write where the client asked; every worker must
import morvaplot and see those paths (the same or a shared file system).
"""

import argparse
import math
import os
import sys
import threading
import time

from . import SUMMARY_COLUMNS, Wafer, _morvaplot

# The summary row's columns, the same as the report's summary CSV.
COLUMNS = list(SUMMARY_COLUMNS)
# Columns of whole numbers (empty for a file that failed) and of text.
INTEGER_COLUMNS = ["size", "count"]
TEXT_COLUMNS = ["name", "error", "warnings"]

# The long table of measured sites, one row per site of every file analysed:
# the file (its name in the summary table), the site number, mm from the
# wafer's centre (+Y up; NaN for a file in cells without a wafer), the cell
# position (fractional, y downward), the value and its unit ("" when the
# file names none).
SITE_COLUMNS = ["file", "site", "x_mm", "y_mm", "x_cell", "y_cell", "value", "unit"]
_SITE_FIELDS = SITE_COLUMNS[1:]

# The lot's figures, the report's lot page's: files analysed, the mean of
# their means, the sample sigma (n - 1) of the means (0 for one file), the
# lowest and highest mean and their range, and the means of the files'
# uniformity figures and of their 3 sigma % (n - 1).
LOT_COLUMNS = ["files", "mean_of_means", "sigma_of_means_n1", "lowest_mean", "highest_mean", "range_of_means",
               "uniformity_mean_pct", "uniformity_maxmin_pct", "sigma3_pct_n1"]

DATA_KINDS = ("raw", "grid", "fill")
CSV_OPTIONS = ("x_col", "y_col", "z_col", "units")

# Files per task at most, so progress and the spread over workers stay fine
# on long lists.
MAX_FILES_PER_TASK = 64
# Tasks per worker thread: enough that workers finishing early find more.
TASKS_PER_THREAD = 4


class ClusterError(RuntimeError):
    """The cluster could not finish the batch (no worker left, the scheduler
    gone). table holds the rows of the files done so far, the others with
    this error."""

    def __init__(self, message, table=None):
        super().__init__(message)
        self.table = table


def _write_atomically(path, content):
    """Writes content (bytes) to path whole or not at all, through the
    program's one file writer: a failure (a full disk) leaves an old file as
    it was and raises OSError; a link is written through, a device or FIFO
    written into, a new file made with the user's umask."""
    from ._morvaplot import _write_file_whole

    _write_file_whole(os.fsencode(os.path.abspath(path)), content)


def _failed_row(name, error, seconds=math.nan, warnings=""):
    row = dict.fromkeys(COLUMNS, math.nan)
    row.update(name=name, size=None, count=None, seconds=seconds, error=error, warnings=warnings)
    return row


def _error_text(e):
    return f"{type(e).__name__}: {e}"


# One engine per thread of a worker process, kept from task to task: its
# records and stores are allocated once (see _morvaplot.FileWorker).
_engines = threading.local()


def _engine():
    worker = getattr(_engines, "worker", None)
    if worker is None:
        worker = _engines.worker = _morvaplot.FileWorker()
    return worker


def _process(worker, path, name, data, wafer, image, settings, csv, sites=False):
    """One file: (row, site columns), the columns None unless sites and the
    file was analysed."""
    try:
        row, picture, *columns = worker.run(path, data, wafer, png=image is not None, sites=sites, **csv,
                                            **settings)
    except Exception as e:  # a fault of one file must not stop the others
        return _failed_row(name, _error_text(e)), None
    row["name"] = name
    if picture is not None:
        try:
            _write_atomically(image, picture)
        except Exception as e:
            return _failed_row(name, f"the picture could not be written: {_error_text(e)}", row["seconds"],
                               row["warnings"]), None
    return row, columns[0] if columns else None


def process_file(path, data="fill", wafer=None, image=None, settings=None, csv=None, name=None):
    """One file as the window would run it with the settings (Session's
    keywords): open, Calc and Fill as far as data needs, the statistics of
    that record (inside the wafer's kept disc when one is given) and, when
    image names a file, the map written there as PNG. csv: read_csv's
    keywords for a table. Returns one summary row (a dict keyed by COLUMNS,
    named name or path); a failure is reported in its "error" field, never
    raised, and the messages that did not stop the file in "warnings"."""
    return _process(_engine(), path, os.fsdecode(path) if name is None else name, data, wafer, image,
                    settings or {}, csv or {})[0]


def _process_files(items, data, wafer, settings, csv, sites=False):
    """A task: the files (path, name, image) one after another on this
    worker's engine; a (row, site columns) pair for each."""
    worker = _engine()
    return [_process(worker, path, name, data, wafer, image, settings, csv, sites) for path, name, image in items]


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


def _path_list(paths):
    """A path or a list of paths (str, bytes or os.PathLike) as a list."""
    if isinstance(paths, (str, bytes, os.PathLike)):
        return [os.fspath(paths)]
    listed = []
    for p in paths:
        if not isinstance(p, (str, bytes, os.PathLike)):
            raise TypeError(f"paths must be a path or a list of paths (str, bytes or os.PathLike), not a list "
                            f"holding {type(p).__name__}")
        listed.append(os.fspath(p))
    return listed


def _check_arguments(data, wafer, settings, csv):
    """Refuses what would fail every file, once, before anything is submitted."""
    if data not in DATA_KINDS:
        raise ValueError("data must be 'raw', 'grid' or 'fill'")
    if wafer is not None and not isinstance(wafer, Wafer):
        raise TypeError(f"wafer must be a morvaplot.Wafer or None, not {type(wafer).__name__}")
    if not isinstance(settings, dict):
        raise TypeError(f"settings must be a dict of Session's keywords, not {type(settings).__name__}")
    if not isinstance(csv, dict):
        raise TypeError(f"csv must be a dict of read_csv's keywords, not {type(csv).__name__}")
    unknown = sorted(set(csv) - set(CSV_OPTIONS))
    if unknown:
        raise TypeError(f"unexpected csv keyword '{unknown[0]}' (the csv keywords are {', '.join(CSV_OPTIONS)})")
    _morvaplot.check_job(data, wafer, **csv, **settings)


class _LogLines:
    """A stream for tqdm that is not a terminal: each refresh becomes one
    line instead of being drawn over the last."""

    def __init__(self, stream):
        self.stream = stream

    def write(self, text):
        text = text.replace("\r", "").strip("\n")
        if text.strip():
            self.stream.write(text + "\n")

    def flush(self):
        self.stream.flush()


def _progress_bar(total, progress):
    from tqdm import tqdm

    if progress is None or progress is False:
        return tqdm(total=total, disable=True)
    stream = sys.stderr if progress is True else progress
    isatty = getattr(stream, "isatty", None)
    if isatty is not None and isatty():
        return tqdm(total=total, file=stream, unit="file")
    return tqdm(total=total, file=_LogLines(stream), unit="file", ascii=True, ncols=80, mininterval=10,
                miniters=1)


def run(paths, client=None, data="fill", wafer=None, images_to=None, settings=None, progress=None,
        workers=None, csv=None, no_worker_timeout=60.0, sites=False):
    """Processes every file on the cluster of client (a local cluster with
    one single-threaded worker process per core when None, closed again at
    the end) and returns a pandas DataFrame with one row per file in the
    order of paths, its columns COLUMNS: name (the path as given), size and
    count (integers; <NA> for a file that failed), mean, min, max, range,
    site_count, sigma_n1, sigma1_pct_n1, sigma3_pct_n1, uniformity_mean_pct, uniformity_maxmin_pct (NaN for a file that failed
    or without a data cell inside the wafer), radius (the search radius
    used), seconds (the time from load to figures on its worker), error (""
    or the message of a file that failed) and warnings ("" or the messages
    that did not stop the file, one per line).

    paths: a path or a list of paths (str, bytes or os.PathLike), made
    absolute here; files ending in .csv or .txt are read as tables.
    data: "raw", "grid" or "fill", the record whose statistics are listed.
    wafer: a morvaplot.Wafer; the figures are then taken inside its kept disc,
    and a table's millimetres are placed on its diameter.
    images_to: a folder (made when missing); each file's map is written there
    as <name>.png by the worker that read the file.
    settings: a dict of morvaplot.Session's keywords (pitch, radius, ...).
    csv: a dict of read_csv's keywords (x_col, y_col, z_col, units).
    progress: None for none; True or a stream for a progress bar (on a stream
    that is no terminal, one line at most every 10 s).
    workers: worker processes of the local cluster.
    no_worker_timeout: seconds the cluster may have no worker (or no
    scheduler) before the batch gives up with ClusterError.
    sites: when True, returns (table, sites_table): sites_table is a long
    pandas DataFrame with one row per measured site of every file analysed
    (a table's rows, a .thk file's data cells; files in the order of paths,
    sites in file order), its columns SITE_COLUMNS: file (the file's name in
    table), site, x_mm and y_mm (mm from the wafer's centre, +Y up; without
    a wafer a table's own mm, NaN for a file in cells), x_cell and y_cell
    (cells, fractional, y downward), value, and unit ("" when the file names
    none). A failed file has no rows. ClusterError's table is the summary
    table alone.

    Arguments that would fail every file raise TypeError or ValueError
    before anything is submitted.
    """
    import pandas

    paths = _path_list(paths)
    settings = {} if settings is None else settings
    csv = {} if csv is None else csv
    _check_arguments(data, wafer, settings, csv)
    names = [os.fsdecode(p) for p in paths]
    absolute = [os.path.abspath(p) for p in paths]
    images = [None] * len(paths)
    if images_to is not None:
        folder = os.path.abspath(os.fspath(images_to))
        os.makedirs(folder, exist_ok=True)
        images = _image_names([os.fsdecode(p) for p in absolute], os.fsdecode(folder))

    own = None
    if client is None:
        client, own = _local_client(workers)
    try:
        rows, columns = _run_on(client, list(zip(absolute, names, images)), data, wafer, settings, csv, progress,
                                no_worker_timeout, sites)
    except ClusterError as e:
        e.table = _table(pandas, e.table)
        raise
    finally:
        if own is not None:
            client.close()
            own.close()
    if not sites:
        return _table(pandas, rows)
    return _table(pandas, rows), _sites_table(pandas, names, columns)


def _table(pandas, rows):
    table = pandas.DataFrame(rows, columns=COLUMNS)
    for column in INTEGER_COLUMNS:
        table[column] = table[column].astype("Int64")
    for column in TEXT_COLUMNS:
        table[column] = table[column].astype(object)
    return table


def _sites_table(pandas, names, columns):
    """The long table of the files' site columns (None for a failed file)."""
    parts = []
    for name, found in zip(names, columns):
        if found is None:
            continue
        part = pandas.DataFrame({field: found[field] for field in _SITE_FIELDS})
        part.insert(0, "file", name)
        parts.append(part)
    if not parts:
        table = pandas.DataFrame({c: pandas.Series(dtype=float) for c in SITE_COLUMNS})
        table["site"] = table["site"].astype("int64")
    else:
        table = pandas.concat(parts, ignore_index=True)
    for column in ("file", "unit"):
        table[column] = table[column].astype(object)
    return table


def lot_summary(table):
    """The lot's figures of a summary table (run()'s, or read_summary()'s) as
    a one-row pandas DataFrame with the columns LOT_COLUMNS, the figures the
    report's lot page gives: files (the files analysed: a failed file, or
    one without a data cell inside the wafer, is left out), mean_of_means,
    sigma_of_means_n1 (the wafer-to-wafer sample sigma, n - 1, of the means;
    0 for one file), lowest_mean, highest_mean, range_of_means, and the means
    of the files' uniformity_mean_pct, uniformity_maxmin_pct and
    sigma3_pct_n1. Without a file analysed, files is 0 and the figures NaN."""
    import pandas

    analysed = table[(table["error"] == "") & table["mean"].notna()]
    means = analysed["mean"].astype(float)
    files = len(means)
    nan = math.nan
    lot = {
        "files": files,
        "mean_of_means": means.mean() if files else nan,
        "sigma_of_means_n1": means.std(ddof=1) if files > 1 else (0.0 if files else nan),
        "lowest_mean": means.min() if files else nan,
        "highest_mean": means.max() if files else nan,
        "range_of_means": means.max() - means.min() if files else nan,
    }
    for column in ("uniformity_mean_pct", "uniformity_maxmin_pct", "sigma3_pct_n1"):
        lot[column] = analysed[column].astype(float).mean() if files else nan
    return pandas.DataFrame([lot], columns=LOT_COLUMNS)


def read_summary(path):
    """A summary CSV written by the shell command (or the report) as run()
    returns its table: integer columns as integers, empty texts as ""."""
    import pandas

    table = pandas.read_csv(path, float_precision="round_trip", keep_default_na=False,
                            na_values={c: [""] for c in COLUMNS if c not in TEXT_COLUMNS})
    for column in INTEGER_COLUMNS:
        table[column] = table[column].astype("Int64")
    return table


def _threads_of(client):
    """Worker threads of the cluster now; 0 when it has none or the scheduler
    cannot be reached."""
    if client.status != "running":
        return 0
    try:
        return sum(w.get("nthreads", 1) for w in client.scheduler_info()["workers"].values())
    except Exception:  # the scheduler went away while asked
        return 0


def _chunks(items, threads):
    tasks = max(1, threads) * TASKS_PER_THREAD
    size = max(1, min(MAX_FILES_PER_TASK, math.ceil(len(items) / tasks)))
    return [items[i:i + size] for i in range(0, len(items), size)]


def _run_on(client, items, data, wafer, settings, csv, progress, no_worker_timeout, sites=False):
    """The rows of the files in items, and their site columns (None for a
    file failed or without sites)."""
    from concurrent.futures import CancelledError

    from distributed import wait

    # Named through the package, so workers find it also when this file runs
    # as the shell command's __main__.
    from morvaplot.batch import _process_files as task

    rows = [None] * len(items)
    columns = [None] * len(items)
    chunks = _chunks(list(enumerate(items)), _threads_of(client))
    futures = {
        client.submit(task, [item for _, item in chunk], data, wafer, settings, csv, sites, pure=False): chunk
        for chunk in chunks
    }
    pending = set(futures)

    def give_up(lost):
        if client.status == "running":  # a cancel would wait for a scheduler that is gone
            client.cancel(list(pending))
        left = sum(1 for row in rows if row is None)
        message = f"{lost}: gave up with {left} of {len(items)} files not done"
        for i, row in enumerate(rows):
            if row is None:
                rows[i] = _failed_row(items[i][1], message)
        raise ClusterError(message, rows)

    without_workers = None  # since when no worker was seen
    with _progress_bar(len(items), progress) as bar:
        while pending:
            try:
                done, pending = wait(pending, timeout=1.0, return_when="FIRST_COMPLETED")
            except TimeoutError:
                done = set()
            except CancelledError:  # the client cancelled tasks when it lost the scheduler
                done = {f for f in pending if f.done()}
                pending -= done
            for future in done:
                chunk = futures[future]
                if future.cancelled() and client.status != "running":
                    pending.add(future)  # not done: no scheduler runs it any more
                    give_up("the scheduler could not be reached")
                try:
                    results = future.result()
                except Exception as e:  # the task could not run, or its worker died
                    results = [(_failed_row(name, _error_text(e)), None) for _, (_, name, _) in chunk]
                for (i, _), (row, found) in zip(chunk, results):
                    rows[i] = row
                    columns[i] = found
                bar.update(len(chunk))
            if done or not pending:
                continue
            if _threads_of(client) > 0:
                without_workers = None
            elif without_workers is None:
                without_workers = time.monotonic()
            elif time.monotonic() - without_workers > no_worker_timeout:
                give_up(f"the scheduler could not be reached for {no_worker_timeout:g} s"
                        if client.status != "running" else f"no worker was left for {no_worker_timeout:g} s")
    return rows, columns


def _settings_of(args):
    settings = {}
    for option, keyword in (("pitch", "pitch"), ("radius", "radius"), ("power", "power"), ("order", "degree"),
                            ("min_count", "min_count")):
        value = getattr(args, option)
        if value is not None:
            settings[keyword] = value
    if args.optimize:
        settings["optimise"] = True
    if args.no_raw_range:
        settings["raw_range"] = False
    return settings


def main(argv=None):
    parser = argparse.ArgumentParser(
        prog="python3 -m morvaplot.batch",
        description="Processes thickness files (.thk, or tables ending in .csv or .txt) on a Dask cluster and "
        "writes one summary row per file.",
    )
    parser.add_argument("files", nargs="+", metavar="FILE", help=".thk files, or tables ending in .csv or .txt")
    parser.add_argument("--out", required=True, metavar="SUMMARY.csv", help="the summary table to write (CSV)")
    cluster = parser.add_mutually_exclusive_group()
    cluster.add_argument("--scheduler", metavar="tcp://HOST:8786", help="a running dask-scheduler")
    cluster.add_argument("--scheduler-file", metavar="FILE", help="the file a running dask-scheduler wrote with "
                         "--scheduler-file")
    cluster.add_argument("--workers", type=int, metavar="N",
                         help="worker processes of a local cluster (the default cluster: one per core)")
    parser.add_argument("--data", choices=DATA_KINDS, default="fill",
                        help="the record whose statistics are listed (default fill)")
    parser.add_argument("--wafer", type=float, metavar="MM", help="wafer diameter in mm: figures inside the "
                        "wafer only; a table's millimetres are placed on it")
    parser.add_argument("--edge", type=float, default=0.0, metavar="MM", help="edge exclusion in mm (with --wafer)")
    parser.add_argument("--center", metavar="X,Y", help="wafer centre in file units (with --wafer; default the "
                        "middle of the Size square)")
    parser.add_argument("--images", metavar="FOLDER", help="also write each file's map as FOLDER/<name>.png")
    grid = parser.add_argument_group("grid options (as morvaplot-cli's)")
    grid.add_argument("--pitch", type=int, metavar="P", help="calculation pitch, 2 to 100 (default 20)")
    grid.add_argument("--radius", type=float, metavar="R", help="search radius 2.0 to 200.0; turns the radius "
                      "optimisation off (default 80.0, optimised)")
    grid.add_argument("--optimize", action="store_true", help="search the smallest radius that gives every "
                      "lattice node enough data cells (the default unless --radius)")
    grid.add_argument("--min-count", type=int, metavar="N", help="data cells every node needs in the search, 1 "
                      "to 10 (default 1)")
    grid.add_argument("--power", type=float, metavar="P", help="inverse-distance weight power 0.01 to 99.99 "
                      "(default 3.00)")
    grid.add_argument("--order", type=int, metavar="K", help="spline degree of Fill, 1 to 10 (default 3)")
    grid.add_argument("--no-raw-range", action="store_true", help="scale grid and fill maps on their own "
                      "minimum and maximum")
    table = parser.add_argument_group("table options (files ending in .csv or .txt)")
    table.add_argument("--x-col", metavar="C", help="the X column by header name or 1-based number")
    table.add_argument("--y-col", metavar="C", help="the Y column by header name or 1-based number")
    table.add_argument("--z-col", metavar="C", help="the thickness column by header name or 1-based number")
    table.add_argument("--units", choices=("mm", "cell"), default="mm", help="X and Y in mm from the wafer "
                       "centre or in cells of the map (default mm)")
    parser.add_argument("--no-progress", action="store_true", help="no progress on stderr (by default a bar on "
                        "a terminal, otherwise a line at most every 10 s)")
    args = parser.parse_args(argv)
    if args.workers is not None and args.workers < 1:
        parser.error("--workers must be at least 1")

    wafer = None
    if args.wafer is not None:
        centre = (None, None)
        if args.center is not None:
            try:
                centre = tuple(float(v) for v in args.center.split(","))
                if len(centre) != 2:
                    raise ValueError
            except ValueError:
                parser.error("--center must be X,Y with numbers from 0 to 500")
        try:
            wafer = Wafer(args.wafer, edge_exclusion=args.edge, centre_x=centre[0], centre_y=centre[1])
        except ValueError as e:
            parser.error(str(e))
    elif args.center is not None or args.edge:
        parser.error("--edge and --center need --wafer")
    csv = {k: v for k, v in (("x_col", args.x_col), ("y_col", args.y_col), ("z_col", args.z_col)) if v is not None}
    csv["units"] = args.units
    settings = _settings_of(args)
    try:
        _check_arguments(args.data, wafer, settings, csv)
    except (TypeError, ValueError) as e:
        parser.error(str(e))

    client = None
    if args.scheduler or args.scheduler_file:
        from distributed import Client

        try:
            client = Client(args.scheduler, scheduler_file=args.scheduler_file, timeout=30)
        except (OSError, ValueError) as e:
            print(f"morvaplot.batch: cannot reach the scheduler: {e}", file=sys.stderr)
            return 1
    try:
        result = run(
            args.files,
            client=client,
            data=args.data,
            wafer=wafer,
            images_to=args.images,
            settings=settings,
            csv=csv,
            progress=None if args.no_progress else sys.stderr,
            workers=args.workers,
        )
    except ClusterError as e:
        print(f"morvaplot.batch: {e}", file=sys.stderr)
        return 1
    finally:
        if client is not None:
            client.close()
    _write_atomically(args.out, result.to_csv(index=False, float_format="%.17g").encode())
    failed = int((result["error"] != "").sum())
    if failed:
        print(f"{failed} of {len(result)} files failed; see the error column of {args.out}", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
