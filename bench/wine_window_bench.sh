#!/usr/bin/env bash
# tempik-config.exe under Wine on a virtual display: time from launch to the window shown, less
# the start of a console program under the same Wine (tempikctl.exe --version), which is Wine's
# own cost of a process; and the window's resident memory once shown. Median of five runs.
# Usage: tests/wine/prefix.sh bench/wine_window_bench.sh WINDOWS_BUILD
set -euo pipefail
if [ -z "${TEMPIK_XVFB:-}" ]; then
    exec env TEMPIK_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
build=$(realpath "$1")
now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
console=() window=() resident=()
for _ in 1 2 3 4 5; do
    start=$(now)
    wine "$build/app/tempikctl.exe" --version >/dev/null
    console+=($(( ($(now) - start) / 1000 )))
    start=$(now)
    wine "$build/app/tempik-config.exe" &
    program=$!
    xdotool search --sync --onlyvisible --name "KESTO" >/dev/null
    window+=($(( ($(now) - start) / 1000 )))
    resident+=("$(awk '/^VmRSS/ { print $2 }' "/proc/$program/status")")
    kill "$program"
    wait "$program" || true
done
console_us=$(printf '%s\n' "${console[@]}" | median)
window_us=$(printf '%s\n' "${window[@]}" | median)
resident_kb=$(printf '%s\n' "${resident[@]}" | median)
echo "console start ${console[*]} us; window shown ${window[*]} us; resident ${resident[*]} kB"
awk -v c="$console_us" -v w="$window_us" -v r="$resident_kb" 'BEGIN {
    printf "figure|a console program'"'"'s start under Wine|%.3f|ms|0||\n", c / 1000
    printf "figure|window start-up under Wine, beyond a console program'"'"'s start|%.3f|ms|0|< 300 ms|\n", (w - c) / 1000
    printf "figure|resident memory of tempik-config.exe under Wine|%.3f|MB|0|< 30 MB|\n", r / 1024 }'
