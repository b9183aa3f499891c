#!/usr/bin/env bash
# trelmox-cli reliability gives the same output with every kernel this
# processor runs (TRELMOX_LANES caps the lanes) and on one and two threads.
set -euo pipefail
cli=$1 example=$2
inputs=(--lognormal c1=5 --sd f1=0.04 --sd f2=0.05 --sd dip1=2 --correlation 1=-0.4 --is-cov 0.02 --format json)
reference=$(TRELMOX_LANES=SSE2 "$cli" reliability "$example" "${inputs[@]}" --threads 1)
for lanes in SSE2 AVX AVX2 AVX-512; do
  for threads in 1 2; do
    out=$(TRELMOX_LANES=$lanes "$cli" reliability "$example" "${inputs[@]}" --threads "$threads")
    [ "$out" = "$reference" ] || { echo "$lanes on $threads threads differs:"; echo "$out"; echo "$reference"; exit 1; }
  done
done
echo "the same output on every lane width and thread count"
