#!/usr/bin/env bash
# Runs a command in a Wine prefix of its own that no serial port of the machine can be reached
# from: a private mount namespace where /dev/ttyS*, /dev/ttyUSB* and /dev/ttyACM* are empty
# files, and a prefix whose COM1 to COM32 are set to empty values (Wine maps them to /dev/ttyS*
# by itself) before COM12 and COM14 are mapped to links in $TEMPIK_WINE_ROOT/KESTO/ports, which
# the command makes (tempik-sim --link). The window's fonts are mapped to Liberation Sans and
# linked to a Chinese font. wineserver stays up for the whole command, so Wine boots once per run.
# Usage: tests/wine/prefix.sh COMMAND [ARGUMENT...]
set -euo pipefail

if [ -z "${TEMPIK_WINE_PRIVATE:-}" ]; then
    source "$(dirname "$0")/../../scripts/install_packages.sh"
    install_missing wine wine64 fonts-liberation fonts-wqy-microhei xvfb xauth xdotool
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
# A REG_MULTI_SZ value of one string, as REGEDIT4 writes it.
multi_string() { printf '%s' "$1" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'; printf ',00,00'; }
chinese_font="wqy-microhei.ttc,WenQuanYi Micro Hei"
{
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    for n in $(seq 1 32); do printf '"COM%d"=""\r\n' "$n"; done
    for n in 12 14; do printf '"COM%d"="%s"\r\n' "$n" "$TEMPIK_WINE_ROOT/KESTO/ports/COM$n"; done
    # The window's fonts: Arial as Liberation Sans, and every face the window uses linked to the
    # Chinese font (fonts-wqy-microhei), so Chinese texts show as characters, not boxes.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"Arial"="Liberation Sans"\r\n"Microsoft Sans Serif"="Liberation Sans"\r\n'
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
    for face in "Arial" "Liberation Sans" "MS Sans Serif" "Microsoft Sans Serif" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2"; do
        printf '"%s"=hex(7):%s\r\n' "$face" "$(multi_string "$chinese_font")"
    done
} >"$work/ports.reg"
wine regedit /S "$(winepath -w "$work/ports.reg")"
# Wine reads the port mapping when it starts its services.
wineserver -k
wineserver -w
wineserver -p >/dev/null 2>&1

"$@"
