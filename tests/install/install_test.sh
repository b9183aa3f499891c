#!/usr/bin/env bash
# usage: install_test.sh BUILD_DIR VERSION WITH_GUI(0|1)
set -euo pipefail
build=$1 version=$2 gui=$3
prefix=$(mktemp -d)
dask=()
stop_dask() {
  for pid in "${dask[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${dask[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap 'stop_dask; rm -rf "$prefix"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

[ "$("$prefix/bin/trelmox-cli" --version)" = "trelmox-cli $version" ] || fail "trelmox-cli --version"
"$prefix/bin/trelmox-cli" analyze "$prefix/share/trelmox/example.txt" | grep -q '^example  *BothPlanes  *1\.189' ||
  fail "analysis of the installed example block"
# The manual pages compressed, as Debian keeps them, each one that man reads.
for page in trelmox-cli $([ "$gui" = 1 ] && echo trelmox) $([ -e "$build/bin/trelmox-report" ] && echo trelmox-report); do
  gzip -t "$prefix/share/man/man1/$page.1.gz" 2>/dev/null || fail "no compressed manual page of $page"
  zcat "$prefix/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1" || fail "manual page of $page"
done
[ -s "$prefix/share/doc/trelmox/copyright" ] || fail "no copyright file"
# The guide, where the windows' help menu looks for it, with every page it
# links.
guide="$prefix/share/doc/trelmox/guide"
[ -s "$guide/README.md" ] || fail "no guide"
for page in $(grep -o '](\([^)#]*\.md\)' "$guide/README.md" | sed 's/^](//'); do
  [ -s "$guide/$page" ] || fail "guide page $page missing"
done

# The PDF writer, when built, is found beside the installed tool.
if [ -e "$build/bin/trelmox-report" ]; then
  env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/trelmox-cli" report --pdf-dir "$prefix/pdf" \
    "$prefix/share/trelmox/example.txt" >/dev/null || fail "report of the installed example block"
  [ -s "$prefix/pdf/example计算书.pdf" ] || fail "no PDF of the installed example block"
fi

# The completion, loaded as bash-completion loads it, offers the input names.
completion="$prefix/share/bash-completion/completions/trelmox-cli"
offered=$(bash -c 'source "$1"; COMP_WORDS=(trelmox-cli probabilistic x --sd u); COMP_CWORD=4; _trelmox_cli
                   echo "${COMPREPLY[*]}"' _ "$completion")
[ "$offered" = "u1= u2=" ] || fail "completion of --sd u offers '$offered'"

if [ "$gui" = 1 ]; then
  [ "$("$prefix/bin/trelmox" --version)" = "trelmox $version" ] || fail "trelmox --version"
  desktop="$prefix/share/applications/trelmox.desktop"
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$prefix/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not installed"
  icons="$prefix/share/icons/hicolor"
  [ -s "$icons/scalable/apps/trelmox.svg" ] || fail "no SVG icon"
  for size in 16 22 24 32 48 64 128 256; do
    file "$icons/${size}x${size}/apps/trelmox.png" | grep -q "PNG image data, $size x $size" ||
      fail "no ${size}x${size} PNG icon"
  done
fi
# The Python module, where Debian's interpreters look, imported by one.
python_dir="$prefix/lib/python3/dist-packages"
if [ -d "$python_dir/trelmox" ]; then
  PYTHONPATH="$python_dir" /usr/bin/python3 -c '
import sys, trelmox
result = trelmox.read_block(sys.argv[1]).analyse()
assert result.contact == "BothPlanes" and abs(result.kc - 1.189) < 1e-3, result
assert trelmox.__version__ == sys.argv[2], trelmox.__version__' "$prefix/share/trelmox/example.txt" "$version" ||
    fail "import trelmox from the installed package"
  # The many-slopes study as docs/python.md runs it on an installed machine:
  # in the examples folder, here and on a Dask scheduler with a worker, all
  # started from the installed package.
  examples="$prefix/share/doc/trelmox/examples"
  (cd "$examples" && PYTHONPATH="$python_dir" /usr/bin/python3 many_slopes.py pit_sectors.csv \
    joint_measurements.csv example.txt --sets auto:3 --samples 2000 --workers 0 --output "$prefix/serial.csv" \
    2>/dev/null) || fail "the installed many_slopes.py without a cluster"
  [ "$(cut -d, -f1 "$prefix/serial.csv" | sort -u | wc -l)" = 5 ] || fail "the study's table: $(head -3 "$prefix/serial.csv")"
  if /usr/bin/python3 -c 'import distributed' 2>/dev/null; then
    cd "$prefix"
    PYTHONPATH="$python_dir" dask-scheduler --host 127.0.0.1 --port 0 --no-dashboard \
      --scheduler-file "$prefix/scheduler.json" >"$prefix/scheduler.log" 2>&1 &
    dask+=($!)
    for _ in $(seq 120); do [ -s "$prefix/scheduler.json" ] && break; sleep 0.5; done
    PYTHONPATH="$python_dir" dask-worker --scheduler-file "$prefix/scheduler.json" --nworkers 1 --nthreads 1 \
      --no-dashboard --local-directory "$prefix/worker" >"$prefix/worker.log" 2>&1 &
    dask+=($!)
    address=$(/usr/bin/python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["address"])' \
              "$prefix/scheduler.json") || fail "no Dask scheduler: $(tail -3 "$prefix/scheduler.log")"
    (cd "$examples" && PYTHONPATH="$python_dir" timeout 120 /usr/bin/python3 many_slopes.py pit_sectors.csv \
      joint_measurements.csv example.txt --sets auto:3 --samples 2000 --scheduler "$address" \
      --output "$prefix/cluster.csv" 2>/dev/null) ||
      fail "the installed many_slopes.py on a scheduler: $(tail -3 "$prefix/worker.log")"
    cmp -s "$prefix/serial.csv" "$prefix/cluster.csv" || fail "the cluster's table differs from the serial one"
    stop_dask
  fi
fi
[ -x "$prefix/share/doc/trelmox/examples/many_slopes.py" ] || fail "no many_slopes.py among the examples"
for file in example.txt pit_sectors.csv joint_measurements.csv; do
  [ -s "$prefix/share/doc/trelmox/examples/$file" ] || fail "no $file among the examples"
done
echo "installed and used: $(cd "$prefix" && find . -type f | wc -l) files"
