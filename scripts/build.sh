#!/usr/bin/env bash
# The common start of ./run.sh and ./test.sh: installs what is missing,
# configures and builds in $BUILD_DIR (default build), one line per stage and
# the time the build took. BUILD_TYPE and CMAKE_EXTRA_ARGS pass through to
# CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
./scripts/setup.sh
echo "==> configuring $BUILD_DIR ($BUILD_TYPE)"
start=$SECONDS
# NOTICE keeps warnings and errors and drops CMake's list of what it found.
cmake -S . -B "$BUILD_DIR" -G Ninja --log-level=NOTICE -DCMAKE_BUILD_TYPE="$BUILD_TYPE" ${CMAKE_EXTRA_ARGS:-}
echo "==> building"
cmake --build "$BUILD_DIR"
took=$((SECONDS - start))
echo "==> built in $((took / 60)) min $((took % 60)) s"
