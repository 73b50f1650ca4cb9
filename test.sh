#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, end-to-end over pseudo-terminals,
# window tests on the offscreen platform). Benchmarks are separate: ./bench.sh.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/prepare.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 "$@"
