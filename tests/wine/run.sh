#!/usr/bin/env bash
# The Windows build under Wine: the unit tests of the toolkit-free layers, then tempikctl.exe end
# to end against tempik-sim (wine_e2e_tests of the Linux build). Run inside tests/wine/prefix.sh.
# Usage: tests/wine/prefix.sh tests/wine/run.sh LINUX_BUILD WINDOWS_BUILD [gtest options]
set -euo pipefail
linux_build=$(realpath "$1")
TEMPIK_WINDOWS_BUILD=$(realpath "$2")
export TEMPIK_WINDOWS_BUILD
shift 2

for suite in ${TEMPIK_WINE_SUITES:-link texts settings form}; do
    echo "== ${suite}_tests.exe under Wine"
    wine "$TEMPIK_WINDOWS_BUILD/tests/windows/${suite}_tests.exe" --gtest_brief=1
done
echo "== tempikctl.exe under Wine"
"$linux_build/tests/wine_e2e_tests" "$@"
