#!/usr/bin/env bash
# Runs a command in a Wine prefix of its own that no serial port of the machine can be reached
# from: a private mount namespace where /dev/ttyS*, /dev/ttyUSB* and /dev/ttyACM* are empty
# files, and a prefix whose COM1 to COM32 are set to empty values (Wine maps them to /dev/ttyS*
# by itself) before COM12 and COM14 are mapped to links in $TEMPIK_WINE_ROOT/KESTO/ports, which
# the command makes (tempik-sim --link). wineserver stays up for the whole command, so Wine
# boots once per run.
# Usage: tests/wine/prefix.sh COMMAND [ARGUMENT...]
set -euo pipefail

if [ -z "${TEMPIK_WINE_PRIVATE:-}" ]; then
    source "$(dirname "$0")/../../scripts/install_packages.sh"
    install_missing wine wine64
    namespace=(unshare --mount)
    [ "$(id -u)" -eq 0 ] || namespace+=(--map-root-user)
    if "${namespace[@]}" true 2>/dev/null; then
        exec "${namespace[@]}" env TEMPIK_WINE_PRIVATE=1 "$0" "$@"
    fi
    echo "tests/wine/prefix.sh: no private mount namespace here; the empty COM mapping alone keeps Wine off the serial ports" >&2
else
    mount --make-rprivate /
    empty=$(mktemp)
    for device in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do
        if [ -e "$device" ]; then mount --bind "$empty" "$device"; fi
    done
fi

work=$(mktemp -d)
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export TEMPIK_WINE_ROOT="$work/root"
mkdir -p "$TEMPIK_WINE_ROOT/KESTO/ports"

wineboot -i >/dev/null 2>&1
{
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    for n in $(seq 1 32); do printf '"COM%d"=""\r\n' "$n"; done
    for n in 12 14; do printf '"COM%d"="%s"\r\n' "$n" "$TEMPIK_WINE_ROOT/KESTO/ports/COM$n"; done
} >"$work/ports.reg"
wine regedit /S "$(winepath -w "$work/ports.reg")"
# Wine reads the port mapping when it starts its services.
wineserver -k
wineserver -w
wineserver -p >/dev/null 2>&1

"$@"
