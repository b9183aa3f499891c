#!/usr/bin/env bash
# Installs what is missing (Debian packages), builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
export BUILD_DIR=${BUILD_DIR:-build}
./scripts/build.sh
echo "==> testing"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
