#!/usr/bin/env bash
# The tool's and the module's short and long runs on a machine that other
# programs keep busy: each job on one thread (OMP_NUM_THREADS=1) and as it
# runs by default, first on a quiet machine and then beside a busy loop on
# every core that this script starts (and stops). Prints the wall and the
# CPU time (user + system) of each, the median of REPEATS runs; a run by
# default should take no longer than on one thread.
#
#   bench/busy_machine.sh [BUILD_DIR] [REPEATS]     (default build, 3)
#
# TRELMOX_CLI names another trelmox-cli to time (e.g. an older build);
# JOBS=cli leaves out the Python jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
repeats=${2:-3}
cli=${TRELMOX_CLI:-$build/bin/trelmox-cli}
data=$root/tests/data
work=$(mktemp -d)
loops=()
stop_loops() {
  for pid in "${loops[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${loops[@]}"; do wait "$pid" 2>/dev/null || true; done
  loops=()
}
trap 'stop_loops; rm -rf "$work"' EXIT

example=$data/example_block.txt
joints=$data/joint_measurements.csv
spread=(--sd c1=5 --sd f1=0.05 --sd dip1=2 --sd dip2=2)
jobs=(
  "probabilistic 10^3|$cli probabilistic $example --samples 1000 ${spread[*]}"
  "probabilistic 10^5|$cli probabilistic $example --samples 100000 ${spread[*]}"
  "probabilistic 10^6|$cli probabilistic $example --samples 1000000 ${spread[*]}"
  "probabilistic 10^7|$cli probabilistic $example --samples 10000000 ${spread[*]}"
  "combinations, 153 pairs|$cli combinations $example $joints"
  "combinations --probabilistic 10^3, 153 pairs|$cli combinations $example $joints --probabilistic --samples 1000"
  "combinations --probabilistic 10^5, 3 sets|$cli combinations $example $joints --sets auto:3 --probabilistic --samples 100000"
)
if [ "${JOBS:-all}" != cli ] && [ -d "$build/python/trelmox" ]; then
  py="env PYTHONPATH=$build/python /usr/bin/python3"
  jobs+=(
    "many_slopes.py --workers 0, 4 sectors|$py $root/examples/many_slopes.py $data/pit_sectors.csv $joints $example --sets auto:3 --workers 0 --output $work/table.csv"
    "block.probabilistic 10^3|$py -c 'import trelmox; b = trelmox.read_block(\"$example\"); [b.probabilistic(samples=1000, distributions={\"c1\": (\"normal\", 5)}) for _ in range(200)]'"
  )
fi

# One job REPEATS times: "wall cpu" of the median run by wall time.
measure() {
  local threads=$1 command=$2
  for ((i = 0; i < repeats; i++)); do
    if [ "$threads" = 1 ]; then
      OMP_NUM_THREADS=1 /usr/bin/time -f "%e %U %S" -o "$work/time" bash -c "$command" >/dev/null 2>&1
    else
      /usr/bin/time -f "%e %U %S" -o "$work/time" bash -c "$command" >/dev/null 2>&1
    fi
    awk '{printf "%.2f %.2f\n", $1, $2 + $3}' "$work/time"
  done | sort -n | awk -v m=$(((repeats + 1) / 2)) 'NR == m'
}

table() {
  printf '%-46s %17s %17s\n' "job ($1)" "1 thread: wall/CPU" "default: wall/CPU"
  for job in "${jobs[@]}"; do
    local name=${job%%|*} command=${job#*|}
    read -r w1 c1 <<<"$(measure 1 "$command")"
    read -r wd cd <<<"$(measure default "$command")"
    printf '%-46s %8s s %6s s %8s s %6s s\n' "$name" "$w1" "$c1" "$wd" "$cd"
  done
}

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), load $(cut -d' ' -f1 /proc/loadavg)"
echo "kernel: ${TRELMOX_LANES:-widest} lanes; OMP_WAIT_POLICY=${OMP_WAIT_POLICY:-unset}"
table "quiet"
for ((core = 0; core < $(nproc); core++)); do
  bash -c 'while :; do :; done' &
  loops+=($!)
done
table "a busy loop on each core"
stop_loops
