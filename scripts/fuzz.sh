#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and fuzzes them.
#   scripts/fuzz.sh [TARGET|all] [SECONDS] [RUNS]
# Each target runs until SECONDS (default 60) or RUNS executions (default 10
# million), whichever comes first, in one process. It starts from its seed
# corpus (fuzz/corpus/TARGET) and its regression cases (fuzz/regressions/TARGET);
# what it learns goes to build-fuzz/corpus/TARGET, and an input that breaks a
# promise or a sanitizer check to build-fuzz/findings/TARGET/. Keep such an
# input in fuzz/regressions/TARGET once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-all}
seconds=${2:-60}
runs=${3:-10000000}
TARGETS=(fuzz_thk_reader fuzz_xyz_text fuzz_color_setting fuzz_parameter_file fuzz_cli_options fuzz_csv_import)
if [ "$target" != all ]; then
  case " ${TARGETS[*]} " in
    *" $target "*) TARGETS=("$target") ;;
    *) echo "fuzz.sh: unknown target $target (one of ${TARGETS[*]})" >&2; exit 2 ;;
  esac
fi

bash scripts/install-deps.sh --fuzz
build=build-fuzz
scripts/build-fuzzers.sh "$build"

for t in "${TARGETS[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/findings/$t" "fuzz/regressions/$t"
  dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="fuzz/dict/$t.dict")
  echo "== $t: up to ${seconds}s or $runs runs" >&2
  "$build/fuzz/$t" "$build/corpus/$t" "fuzz/corpus/$t" "fuzz/regressions/$t" \
    -max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$t/" "${dict[@]}"
done
