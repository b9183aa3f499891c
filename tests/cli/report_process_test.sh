#!/usr/bin/env bash
# trelmox-cli report as a process: stopped by SIGTERM, it leaves no helper
# writing on and no half-written PDF; a helper killed by a signal is named
# with that signal in the command's message.
set -euo pipefail
cli=$1 example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
for i in $(seq 1 400); do cp "$example" "$work/in/b$i.txt"; done

# The helper: the child of the command's process.
helper_of() {
  local parent=$1 stat
  for stat in /proc/[0-9]*/stat; do
    read -r -a fields <"$stat" 2>/dev/null || continue
    # pid (comm) state ppid: comm has no blanks here
    [ "${fields[3]}" = "$parent" ] && { echo "${fields[0]}"; return; }
  done
}
alive() { [ -e "/proc/$1" ] && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null; }
first_pdf() {
  for _ in $(seq 1 600); do
    compgen -G "$1/*.pdf" >/dev/null && return 0
    sleep 0.1
  done
  echo "no PDF written in 60 s"; exit 1
}

set -m
"$cli" report --pdf-dir "$work/out" "$work/in"/*.txt >"$work/stdout" 2>"$work/err" &
pid=$!
first_pdf "$work/out"
helper=$(helper_of "$pid")
[ -n "$helper" ] || { echo "no helper found"; exit 1; }
kill -TERM "$pid"
wait "$pid" || true
for _ in $(seq 1 50); do alive "$helper" || break; sleep 0.1; done
if alive "$helper"; then kill -KILL "$helper"; echo "the helper outlived the command"; exit 1; fi
count=$(ls -A "$work/out" | wc -l)
sleep 1
[ "$(ls -A "$work/out" | wc -l)" -eq "$count" ] || { echo "files still appear after the stop"; exit 1; }
shopt -s nullglob dotglob
for f in "$work/out"/*; do
  case "$f" in *.pdf) ;; *) echo "left behind: $f"; exit 1 ;; esac
  tail -c 16 "$f" | grep -q '%%EOF' || { echo "half-written: $f"; exit 1; }
done
shopt -u nullglob dotglob

rm -rf "$work/out"
"$cli" report --pdf-dir "$work/out" "$work/in"/*.txt >"$work/stdout" 2>"$work/err" &
pid=$!
first_pdf "$work/out"
kill -KILL "$(helper_of "$pid")"
status=0
wait "$pid" || status=$?
[ "$status" -eq 1 ] || { echo "exit status $status, not 1"; exit 1; }
grep -q 'trelmox-report was ended by SIGKILL' "$work/err" || { echo "the signal is not named:"; cat "$work/err"; exit 1; }
echo "helper stops with the command; a killed helper is named"
