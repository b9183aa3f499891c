#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Without a
# display (or before the windowed program is built) it analyses the shipped
# example block with the command-line tool instead.
set -euo pipefail
cd "$(dirname "$0")"
export BUILD_DIR=${BUILD_DIR:-build}
./scripts/build.sh
bin="$BUILD_DIR/bin"
if [ -x "$bin/trelmox" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "==> starting $bin/trelmox"
  exec "$bin/trelmox" "$@"
fi
if [ -x "$bin/trelmox" ]; then
  echo "No display found (DISPLAY is not set): analysing the example block with trelmox-cli instead."
fi
exec "$bin/trelmox-cli" analyze examples/example.txt
