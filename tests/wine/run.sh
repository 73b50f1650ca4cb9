#!/usr/bin/env bash
# The Windows build under Wine: the unit tests of the toolkit-free layers, the native window's
# layout and texts, then tempikctl.exe and the window end to end against tempik-sim
# (wine_e2e_tests of the Linux build). Run inside tests/wine/prefix.sh; the window needs a
# display, so the script runs itself again on a virtual one (Xvfb) of its own.
# Usage: tests/wine/prefix.sh tests/wine/run.sh LINUX_BUILD WINDOWS_BUILD [gtest options]
set -euo pipefail
if [ -z "${TEMPIK_XVFB:-}" ]; then
    exec env TEMPIK_XVFB=1 xvfb-run -a -s "-screen 0 1920x1200x24" "$0" "$@"
fi
linux_build=$(realpath "$1")
TEMPIK_WINDOWS_BUILD=$(realpath "$2")
export TEMPIK_WINDOWS_BUILD
shift 2

for suite in ${TEMPIK_WINE_SUITES:-link texts settings form window}; do
    echo "== ${suite}_tests.exe under Wine"
    wine "$TEMPIK_WINDOWS_BUILD/tests/windows/${suite}_tests.exe" --gtest_brief=1
done
echo "== tempikctl.exe and tempik-config.exe under Wine"
"$linux_build/tests/wine_e2e_tests" "$@"
