#!/usr/bin/env bash
# Installs the Debian packages Morvaplot needs to build, test and run.
# Idempotent: when every package is already installed it returns at once.
#   --fuzz         also clang and its runtimes, for the libFuzzer targets
#   --big-inputs   also GNU time, for scripts/big-inputs.sh
#   --bench        also Python, for scripts/bench-report.sh
#   --threads      also clang and LLVM's OpenMP runtime, for scripts/test-threads.sh
#   --python       also pybind11, Python's headers, numpy, pytest, pandas, Dask
#                  distributed, tqdm, scipy and xarray, for the Python module and its tests
set -euo pipefail

PACKAGES=(
  qt6-base-dev libqt6opengl6-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri
  xvfb xauth xdotool imagemagick fonts-ipafont-gothic fonts-dejavu-core
  cmake ninja-build g++ libgtest-dev libbenchmark-dev
  desktop-file-utils appstream dpkg-dev
  qt6-charts-dev qt6-svg-dev nlohmann-json3-dev libcli11-dev poppler-utils libeigen3-dev
)
for option in "$@"; do
  case "$option" in
    --fuzz) PACKAGES+=(clang libclang-rt-14-dev) ;;
    --big-inputs) PACKAGES+=(time) ;;
    --bench) PACKAGES+=(python3) ;;
    --threads) PACKAGES+=(clang libclang-rt-14-dev libomp-14-dev) ;;
    --python) PACKAGES+=(pybind11-dev python3-dev python3-numpy python3-pytest python3-pandas python3-dask
                         python3-distributed python3-tqdm python3-scipy python3-xarray) ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
