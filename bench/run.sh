#!/usr/bin/env bash
# Builds and runs every benchmark and prints their figures as one table, each against its
# floor (the sum of the pauses and waits it cannot be faster than) where it has one.
# They print figures; they are not tests and are not part of ./test.sh.
# Usage: bench/run.sh [silent ports for the sweep, default 4]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build_options=(-DBUILD_TESTING=ON -DTEMPIK_BENCH=ON)
source scripts/prepare.sh
install_missing ser2net   # network_bench serves the simulated reader through it
ports=${1:-4}

figures=$(mktemp)
trap 'rm -f "$figures"' EXIT
status=0
run() {
    echo "== $*"
    "$@" | tee -a "$figures" | grep -v '^figure|' || status=1
}
run build/bench/link_bench
run build/bench/scan_bench "$ports"
run build/bench/operation_bench
run build/bench/network_bench
run build/bench/fault_bench
run build/bench/ctl_all_bench
[ ! -x build/bench/tone_bench ] || run build/bench/tone_bench
run bench/startup.sh build 5
scripts/build-windows.sh >/dev/null
run tests/wine/prefix.sh bench/wine_bench.sh build build-windows
run tests/wine/prefix.sh bench/wine_window_bench.sh build-windows

echo
echo "| Figure | Measured | Floor | Ratio | Target |"
echo "|---|---|---|---|---|"
# figure|name|measured|unit|floor|target|what the floor is
grep '^figure|' "$figures" | awk -F'|' '
    { floor = $5 + 0
      if (floor > 0) {
          ratio = $3 / floor
          printf "| %s | %.2f %s | %.0f ms: %s | %.3f | %s |\n", $2, $3, $4, floor, $7, ratio, $6
          if ($6 ~ /^<= / && ratio > substr($6, 4) + 0) missed = 1
      } else
          printf "| %s | %.2f %s | | | %s |\n", $2, $3, $4, $6
    }
    END { exit missed }' || { echo "a ratio is over its target" >&2; status=1; }
exit $status
