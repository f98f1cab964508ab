#!/usr/bin/env bash
# A 1 GB .thk file through morvaplot-cli stats: prints the time and the peak
# memory, and fails when memory grows with the file (the reader streams, so
# the 1 GB file must need no more than a file of one grid). Not in the
# regular test run: it writes 1 GB to the temporary folder.
#   scripts/big-inputs.sh [BUILD_DIR]    (default build-big, configured Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-big}
bash scripts/install-deps.sh --big-inputs
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVAPLOT_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target morvaplot-cli >/dev/null
cli="$build/src/cli/morvaplot-cli"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# One grid: every cell of a Size-500 area once (about 4.4 MB).
awk 'BEGIN { for (x = 0; x <= 500; x++) for (y = 0; y <= 500; y++)
               printf "%d,%d,%.3f,\n", x, y, 1000 + ((x * 7 + y * 13) % 1000) / 10 }' >"$dir/grid.lines"
printf '500\n1,1\n' >"$dir/small.thk"
cat "$dir/grid.lines" >>"$dir/small.thk"
# The same grid again and again up to 1 GiB: every line a repeat of a cell.
printf '500\n1,1\n' >"$dir/big.thk"
copies=0
while [ "$(stat -c %s "$dir/big.thk")" -lt $((1 << 30)) ]; do
  cat "$dir/grid.lines" >>"$dir/big.thk"
  copies=$((copies + 1))
done
bytes=$(stat -c %s "$dir/big.thk")

measure() {  # FILE -> "elapsed_s cpu_s peak_kb" on stdout; the listing in $dir/out
  /usr/bin/time -f '%e %U %M' -o "$dir/time" "$cli" stats "$1" >"$dir/out"
  cat "$dir/time"
}
read -r small_s small_cpu small_kb < <(measure "$dir/small.thk")
read -r big_s big_cpu big_kb < <(measure "$dir/big.thk")
count=$(awk -F'\t' '$1 == "Count" { print $2 }' "$dir/out")
expected=$((copies * 501 * 501))
echo "1 GB file: $bytes bytes, $expected data lines"
echo "  stats: ${big_s} s (${big_cpu} s CPU), peak memory ${big_kb} kB"
echo "  one grid ($(stat -c %s "$dir/small.thk") bytes): ${small_s} s (${small_cpu} s CPU), ${small_kb} kB"
if [ "$count" != "$expected" ]; then
  echo "Count $count, expected $expected" >&2
  exit 1
fi
# Memory must not follow the file: allow 8 MB of noise over the small file.
if [ $((big_kb - small_kb)) -gt 8192 ]; then
  echo "peak memory grew with the file: ${small_kb} kB -> ${big_kb} kB" >&2
  exit 1
fi
echo "big input: 1 passed, 0 failed"
