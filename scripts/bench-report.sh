#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints the speed table of the main
# stages: the median of several repetitions of each Google Benchmark, the
# literal twin beside it where it finishes, and the target of each stage.
#   scripts/bench-report.sh [REPETITIONS] [BUILD_DIR]   (default 9, build-bench)
# The machine should be otherwise idle: the stages split their work across
# the cores, and a busy core makes the other one wait.
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-9}
build=${2:-build-bench}
bash scripts/install-deps.sh --bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVAPLOT_BUILD_BENCH=ON \
  -DMORVAPLOT_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target morvaplot_bench >/dev/null

json=$(mktemp)
trap 'rm -f "$json"' EXIT
# Stage rows (fast benchmark, literal twin or "-", target in ms, label).
rows=(
  "BM_FillGridFresh/20|BM_LiteralFillGrid/20/iterations:3|0.5|Fill 26 x 26 -> 501 x 501"
  "BM_FillGrid/20|-|0.5|  the same, factors of the shape kept"
  "CalcGrid/default|CalcGrid/default/literal/iterations:3|0.5|Calc (IDW onto 26 x 26 from 2,601 points)"
  "BM_DrawColorMap_Size500/ramp:1|BM_LiteralDrawColorMap_Size500/ramp:1|1|colour map 301 x 301"
  "BM_DrawColorMap_Size500/ramp:0|BM_LiteralDrawColorMap_Size500/ramp:0|1|  the same, gradation table"
  "BM_DrawContourLines_Size500_5Levels|BM_LiteralDrawContourLines_Size500_5Levels|3|5 contour levels on 501 x 501"
  "BM_ReadThkFile_Size500Pitch1|BM_LiteralReadThkFile_Size500Pitch1|12|reading a 251,001-line .thk"
  "BM_CliFillProcess/1/real_time|BM_CliFillLiteral/iterations:3/real_time|25|morvaplot-cli fill, whole process, R 80 (twin: literal engine in-process)"
  "BM_CliFillProcess/0/real_time|-|25|  the same, radius optimised (window default)"
)
filter=""
for row in "${rows[@]}"; do
  IFS='|' read -r fast twin _ _ <<<"$row"
  for name in "$fast" "$twin"; do
    [ "$name" = "-" ] && continue
    base=${name%%/iterations:*}
    base=${base%/real_time}
    filter+="${filter:+|}^$(printf '%s' "$base" | sed 's/[][().*+?^$]/\\&/g')(/|$)"
  done
done
"$build/bench/morvaplot_bench" --benchmark_filter="$filter" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$json" 2>/dev/null

python3 - "$json" "${rows[@]}" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
median = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        median[b["run_name"]] = b["real_time"] * scale
def cell(name):
    if name == "-":
        return "-"
    return "%.3g ms" % median[name] if name in median else "(not run)"
print("| stage | median | literal twin | target |")
print("|---|---|---|---|")
for row in sys.argv[2:]:
    fast, twin, target, label = row.split("|")
    print("| %s | %s | %s | <= %s ms |" % (label, cell(fast), cell(twin), target))
reps = next((b.get("repetitions") for b in data["benchmarks"] if "repetitions" in b), "?")
print("\n%s; %d CPUs; medians of %s repetitions (wall time)" % (data["context"]["date"], data["context"]["num_cpus"], reps))
PY
