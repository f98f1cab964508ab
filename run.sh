#!/usr/bin/env bash
# Sets up what is missing, builds the viewer (Release) and starts it.
# Usage: ./run.sh [FILE.thk]   (without a file it opens samples/film-scan.thk)
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target morvaplot
if [ $# -gt 0 ]; then
  file=$(realpath -- "$1")
else
  file=$(realpath samples/film-scan.thk)
fi
exec ./build/src/ui/morvaplot "$file"
