#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, end-to-end over pseudo-terminals,
# window tests on the offscreen platform), then all of them again built with AddressSanitizer
# and UndefinedBehaviorSanitizer (in build-sanitize/); then the Windows build (build-windows/),
# its tests and its setup program under Wine, and the Debian package (build-deb/). Arguments go
# to both ctest runs (./test.sh -L link). Benchmarks are separate: bench/run.sh; fuzzers:
# fuzz/run.sh.
set -euo pipefail
cd "$(dirname "$0")"
# The benchmarks are built too, so they cannot rot; bench/run.sh runs them.
build_options=(-DBUILD_TESTING=ON -DTEMPIK_BENCH=ON)
source scripts/prepare.sh
install_missing ser2net   # the network port tests run a real serial device server
# The accessibility test: a virtual display, a private session bus and an AT-SPI client.
install_missing xvfb dbus-daemon at-spi2-core python3-pyatspi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2 "$@"

echo "== the same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
build_tree "$root/build-sanitize" -DTEMPIK_SANITIZE=ON
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j2 "$@"

echo "== the Windows build, its unit tests, tempikctl.exe and the window under Wine"
scripts/build-windows.sh
tests/wine/prefix.sh tests/wine/run.sh "$root/build" "$root/build-windows"
source scripts/version.sh
setup="$root/build-windows/tempik-config-$version-setup.exe"
echo "== the setup program under Wine"
tests/wine/prefix.sh tests/wine/installer_test.sh "$root/build" "$setup"

echo "== the Debian package"
scripts/build-deb.sh
tests/deb/package_test.sh "$root/build-deb/tempik-config_$version-1_amd64.deb"
