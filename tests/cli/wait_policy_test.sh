#!/usr/bin/env bash
# The tool runs with sleeping OpenMP threads (a spin count of 0) unless the
# user chose a wait policy or a spin count, which it keeps.
# usage: wait_policy_test.sh TRELMOX_CLI
set -euo pipefail
cli=$1
fail() { echo "wait policy test: $*" >&2; exit 1; }
# The spin count the runtime of the process that runs the command took.
spins() {
  env -u OMP_WAIT_POLICY -u GOMP_SPINCOUNT "$@" OMP_DISPLAY_ENV=verbose "$cli" --version 2>&1 >/dev/null |
    sed -n "s/^ *GOMP_SPINCOUNT = '\([0-9]*\)'.*/\1/p" | tail -1
}
[ "$(spins)" = 0 ] || fail "by default the threads spin: $(spins)"
[ "$(spins OMP_WAIT_POLICY=active)" = 30000000000 ] || fail "OMP_WAIT_POLICY=active not kept: $(spins OMP_WAIT_POLICY=active)"
[ "$(spins GOMP_SPINCOUNT=10)" = 10 ] || fail "GOMP_SPINCOUNT=10 not kept: $(spins GOMP_SPINCOUNT=10)"
"$cli" --version | grep -q '^trelmox-cli ' || fail "the restarted tool gives no version"
echo "wait policy: passive by default, the user's kept"
