#!/usr/bin/env bash
# Installs what is missing (Debian packages), builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_EXTRA_ARGS:-}
cmake --build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
