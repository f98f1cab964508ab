#!/usr/bin/env bash
# Runs the tests of every stage that works on several threads under
# ThreadSanitizer: built with clang and LLVM's OpenMP runtime, whose Archer
# tool tells the sanitizer about OpenMP's barriers and locks (the runtime
# itself is not instrumented, so its own internals are left out). Any report
# fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --threads
build=${BUILD_DIR:-build-tsan}
CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$build" --target morvaplot_base_tests morvaplot_tests

archer=$(ls /usr/lib/llvm-*/lib/libarcher.so | sort -V | tail -1)
export OMP_TOOL_LIBRARIES="$archer"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1"
# Calc, Fill (both solves, kept factors, the two-ended row split), the sums of
# squared deviations in two parts, and two sessions on two threads; on two
# threads and on three.
base_filter='GridCalcGrid.*:FillLattices/*:FillTest.*:FillMatchesLiteral*:Deviations*:TwoSessions*'
picture_filter='ColorMap.DrawnLikeThePlainPixelLoop:ContourMap.TracedLikeThePlainEdgeScan:TwoSessions*'
for threads in 2 3; do
  echo "== $threads threads" >&2
  OMP_NUM_THREADS=$threads "$build/tests/morvaplot_base_tests" --gtest_filter="$base_filter" --gtest_brief=1
  OMP_NUM_THREADS=$threads QT_QPA_PLATFORM=offscreen "$build/tests/morvaplot_tests" \
    --gtest_filter="$picture_filter" --gtest_brief=1
done
