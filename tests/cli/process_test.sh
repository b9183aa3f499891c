#!/usr/bin/env bash
# trelmox-cli probabilistic as a process: with standard error in a file a
# run longer than a second writes nothing there, and Ctrl-C (SIGINT) stops a
# run with status 130 and no output.
set -euo pipefail
cli=$1 example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
varied=(--method lhs --threads 1 --sd dip1=2 --sd dip2=2 --sd c1=5)

"$cli" probabilistic "$example" --samples 6000000 "${varied[@]}" >"$work/out" 2>"$work/err"
grep -q '^P(Kc < 1)' "$work/out" || { echo "no result:"; cat "$work/out"; exit 1; }
if [ -s "$work/err" ]; then
  echo "standard error is not empty:"; cat -v "$work/err"; exit 1
fi

# Job control, so that the background run does not start with SIGINT ignored.
set -m
"$cli" probabilistic "$example" --samples 10000000 "${varied[@]}" >"$work/out" 2>"$work/err" &
pid=$!
# Interrupted only once it catches SIGINT (bit 2 of SigCgt): a slow start
# (a sanitizer build on a busy machine) would otherwise be killed by the
# signal before the handler exists. Then a moment into the run.
for _ in $(seq 100); do
  caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  [ -n "$caught" ] && (( 16#$caught & 2 )) && break
  sleep 0.1
done
sleep 0.3
kill -INT "$pid"
status=0
wait "$pid" || status=$?
# A process killed by the signal would give 130 too; the message tells a clean stop.
[ "$status" -eq 130 ] || { echo "exit status $status, not 130"; exit 1; }
grep -qx 'trelmox-cli probabilistic: interrupted' "$work/err" || { echo "not stopped cleanly:"; cat "$work/err"; exit 1; }
[ ! -s "$work/out" ] || { echo "output after Ctrl-C:"; cat "$work/out"; exit 1; }
echo "silent standard error, clean stop on Ctrl-C"
