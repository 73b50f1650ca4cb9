#!/usr/bin/env bash
# The Windows link's figures under Wine: tempik-sim, silent to the status query, on COM12.
# Usage: tests/wine/prefix.sh bench/wine_bench.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
link="$TEMPIK_WINE_ROOT/KESTO/ports/COM12"
coproc sim { exec "$1/app/tempik-sim" --silent-on AS --link "$link"; }
read -r ready _ <&"${sim[0]}"
[ "$ready" = ready ] || { echo "tempik-sim did not start" >&2; exit 1; }
status=0
wine "$2/bench/wine_link_bench.exe" 12 | tr -d '\r' || status=1
kill "$sim_PID"
wait "$sim_PID" || true
exit $status
