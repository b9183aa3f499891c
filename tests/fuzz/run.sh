#!/usr/bin/env bash
# Builds the fuzz harnesses with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for FUZZ_SECONDS
# seconds (default 20), seeded from tests/data and with the dictionary. Any
# crash, failed check, sanitizer report, leak or time-out fails the run; the
# input that caused it is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-20}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTRELMOX_FUZZ=ON
harnesses=${FUZZ_HARNESSES:-datafile analysis loads measurements combinations probabilistic xlsx ply las xyz cli}
targets=()
for harness in $harnesses; do targets+=(fuzz_$harness); done
cmake --build build-fuzz --target "${targets[@]}"
mkdir -p build-fuzz/findings
for harness in $harnesses; do
  corpus=build-fuzz/corpus/$harness
  mkdir -p "$corpus"
  dict=tests/fuzz/datafile.dict
  [ "$harness" = loads ] && dict=tests/fuzz/companion.dict
  [ "$harness" = xlsx ] && dict=tests/fuzz/xlsx.dict
  case $harness in ply | las | xyz) dict=tests/fuzz/cloud.dict ;; esac
  echo "fuzzing $harness for $seconds s"
  build-fuzz/bin/fuzz_$harness -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict="$dict" -artifact_prefix="build-fuzz/findings/$harness-" "$corpus" tests/data
done
