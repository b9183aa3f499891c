#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the package step
# need, if any are missing. As root it runs apt-get, its output going to a log
# that is shown only when it fails; otherwise it prints the command to run.
#
#   scripts/setup.sh          install what is missing
#   scripts/setup.sh --list   print the list, one package a line
#
# The list below is the only one: CI checks this very list against every file
# the build used, so a package missing here fails CI rather than a fresh
# machine.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libdxflib-dev nlohmann-json3-dev libsleef-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-charts-dev libqt6opengl6-dev qt6-image-formats-plugins
  qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
  libxlsxwriter-dev libminizip-dev libexpat1-dev zlib1g-dev python3
  libgl-dev fonts-wqy-microhei poppler-utils
  clang libclang-rt-14-dev libomp-dev
  desktop-file-utils dpkg-dev file clang-format
  pybind11-dev python3-dev python3-numpy python3-pytest python3-distributed python3-pandas mypy
  libnanoflann-dev libeigen3-dev
)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "==> packages: all ${#packages[@]} installed"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
log=$(mktemp "${TMPDIR:-/tmp}/trelmox-apt.XXXXXX.log")
echo "==> installing ${#missing[@]} missing packages (apt log: $log)"
export DEBIAN_FRONTEND=noninteractive
if ! { apt-get update && apt-get install -y --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "==> installing failed; apt log: $log" >&2
  exit 1
fi
