#!/usr/bin/env bash
# The window's drop-down lists as a screen reader gets them: the real program on a virtual
# display of its own, its accessibility bridge on a private session bus (whose accessibility
# bus at-spi2-core starts on demand), read by an AT-SPI client (atspi_lists.py).
# Usage: atspi_lists.sh TEMPIK_CONFIG
set -euo pipefail
if [ -z "${TEMPIK_PRIVATE_BUS:-}" ]; then
    exec env TEMPIK_PRIVATE_BUS=1 dbus-run-session -- "$0" "$@"
fi
program=$1
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
program_pid=
# The program before its display, so that it does not see the display go.
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# An empty ports folder: the program never sweeps the machine's own serial devices.
mkdir -p "$work/config/KESTO/ports" "$work/runtime"
chmod 700 "$work/runtime"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\KESTO\\TEMPIKConfig]\n"ScanBaudRateNo"=dword:00000007\n' \
    >"$work/config/KESTO/TEMPIKConfig.reg"

# Xvfb names the display it took once it takes connections.
coproc XVFB { exec Xvfb -displayfd 1 -nolisten tcp -screen 0 1280x1024x24 2>"$work/xvfb.log"; }
if ! read -r -t 60 -u "${XVFB[0]}" display; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

# Qt's bridge is off on a desktop without a screen reader unless forced on. In a sanitizer
# build: libxkbcommon-x11 gives strndup an atom name without an ending NUL, as strndup allows,
# and AddressSanitizer's strict string checks read such an argument up to a NUL (its reading
# of other arguments stays).
DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ASAN_OPTIONS="${ASAN_OPTIONS:-}:intercept_strndup=0" \
    "$program" &
program_pid=$!

# Debian's Python, where python3-pyatspi is, whatever python3 comes first on the PATH.
DISPLAY=":$display" /usr/bin/python3 "$here/atspi_lists.py" "$program_pid"
# Still running (no sanitizer stopped it): it ends by the signal, as it does on SIGTERM.
kill "$program_pid"
status=0
wait "$program_pid" || status=$?
program_pid=
if [ "$status" -ne 143 ]; then
    echo "the program ended with status $status, not by the signal: it had stopped while it was read" >&2
    exit 1
fi
