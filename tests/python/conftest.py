import os
import subprocess
from pathlib import Path

import pytest

SAMPLES = Path(os.environ.get("MORVAPLOT_SAMPLES", Path(__file__).resolve().parents[2] / "samples"))
SAMPLE_FILES = sorted(SAMPLES.glob("*.thk"))


def run_cli(*args, check=True):
    """morvaplot-cli with args: (exit status, stdout, stderr) as text."""
    cli = os.environ.get("MORVAPLOT_CLI")
    if not cli:
        pytest.skip("MORVAPLOT_CLI is not set (run through CTest)")
    done = subprocess.run([cli, *map(str, args)], capture_output=True)
    if check and done.returncode != 0:
        raise AssertionError(f"morvaplot-cli {' '.join(map(str, args))}: {done.stderr.decode()}")
    return done.returncode, done.stdout, done.stderr.decode()


def g17(value):
    """A number as morvaplot-cli prints it (%.17g)."""
    return "%.17g" % value
