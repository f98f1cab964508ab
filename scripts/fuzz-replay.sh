#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each once over every seed input and
# every kept regression case (no fuzzing): a reader change that breaks one of
# the promises the targets check, or trips a sanitizer, fails here.
#   scripts/fuzz-replay.sh [BUILD_DIR] [JOBS]    (default build-fuzz, all cores)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
jobs=${2:-$(nproc)}
bash scripts/install-deps.sh --fuzz
scripts/build-fuzzers.sh "$build" "$jobs"

total=0
for dir in fuzz/corpus/*/; do
  t=$(basename "$dir")
  mapfile -t inputs < <(find "fuzz/corpus/$t" "fuzz/regressions/$t" -type f ! -name '.*' 2>/dev/null | sort)
  if [ ${#inputs[@]} -eq 0 ]; then
    echo "$t: no inputs" >&2
    exit 1
  fi
  log=$(mktemp)
  if ! "$build/fuzz/$t" -runs=1 "${inputs[@]}" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "fuzz replay: $t failed" >&2
    exit 1
  fi
  rm -f "$log"
  echo "$t: ${#inputs[@]} inputs replayed"
  total=$((total + ${#inputs[@]}))
done
echo "replay: $total passed, 0 failed"
