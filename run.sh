#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window with a simulated reader attached as
# COM1, in a configuration folder of its own under build/, so the tool can be tried at once:
# press "Scan Punch-card Reader", then any button.
set -euo pipefail
cd "$(dirname "$0")"

# Before any install or build: without a display there is nothing to show the window on.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: run this from a desktop session (or under xvfb-run)." >&2
    exit 1
fi

# Only the three programs: the tests and benchmarks are ./test.sh's.
build_targets=(tempik-config tempikctl tempik-sim)
source scripts/prepare.sh

config_home="$PWD/build/run-config"
ports="$config_home/KESTO/ports"
mkdir -p "$ports"
state="$config_home/reader-state.json"

coproc SIM { exec build/app/tempik-sim --link "$ports/COM1" --state "$state"; }
trap 'kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null || true' EXIT
read -r -t 5 ready slave <&"${SIM[0]}" || { echo "The simulated reader did not start." >&2; exit 1; }
echo "Simulated reader on $slave, as COM1; its state: $state"

XDG_CONFIG_HOME="$config_home" build/app/tempik-config
