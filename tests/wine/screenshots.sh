#!/usr/bin/env bash
# Takes the screenshots of the Windows window for docs/: tempik-config.exe under Wine on a
# virtual display, started in English and in Simplified Chinese (the stored LanguageFlag), each
# captured once it shows. No window manager runs, so the pictures show the client area.
# Usage: tests/wine/prefix.sh tests/wine/screenshots.sh WINDOWS_BUILD OUTPUT_FOLDER
set -euo pipefail
if [ -z "${TEMPIK_XVFB:-}" ]; then
    exec env TEMPIK_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
source "$(dirname "$0")/../../scripts/install_packages.sh"
install_missing x11-apps netpbm
exe=$(realpath "$1")/app/tempik-config.exe
out=$(realpath "$2")
for language in english:English chinese:ChineseGB; do
    wine reg add 'HKCU\Software\KESTO\TEMPIKConfig' /v LanguageFlag /d "${language#*:}" /f >/dev/null 2>&1
    wine "$exe" &
    program=$!
    window=$(xdotool search --sync --onlyvisible --name "KESTO" | head -1)
    # One more second for the first paint of every control.
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xwd -root -silent | xwdtopnm 2>/dev/null | pamcut -left "$X" -top "$Y" -width "$WIDTH" -height "$HEIGHT" \
        | pnmtopng >"$out/window-win32-${language%%:*}.png"
    kill "$program"
    wait "$program" || true
done
