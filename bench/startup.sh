#!/bin/sh
# Start-up time to the first shown window and resident memory after start-up, on Qt's
# offscreen platform, measured over a few runs with a configuration folder of its own.
# Usage: bench/startup.sh [build folder] [runs]
set -eu
build=${1:-build}
runs=${2:-5}
probe="$build/tests/ui/tempik_startup_probe"
[ -x "$probe" ] || { echo "build the target tempik_startup_probe first ($probe)" >&2; exit 1; }
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/KESTO/ports"
i=0
while [ "$i" -lt "$runs" ]; do
    TEMPIK_LAUNCH_NS=$(date +%s%N) XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen "$probe" 2>/dev/null
    i=$((i + 1))
done | awk '{ split($1, t, "="); split($2, r, "="); print "  " $0; ms += t[2]; kb += r[2]; n++ }
            END { if (!n) exit 1
                  printf "mean: startup %.1f ms, resident %.1f MB over %d runs\n", ms / n, kb / n / 1024, n
                  printf "figure|window start-up|%.3f|ms|0|< 300 ms|\n", ms / n
                  printf "figure|resident memory after start-up|%.3f|MB|0|< 60 MB|\n", kb / n / 1024 }'
