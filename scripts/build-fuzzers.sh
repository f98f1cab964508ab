#!/usr/bin/env bash
# Configures and builds the libFuzzer targets with clang in BUILD_DIR
# (default build-fuzz). Only the libraries they link are compiled.
#   scripts/build-fuzzers.sh [BUILD_DIR] [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
jobs=${2:-1}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DMORVAPLOT_BUILD_TESTS=OFF -DMORVAPLOT_BUILD_FUZZ=ON >/dev/null
cmake --build "$build" --target morvaplot_fuzzers -j"$jobs"
