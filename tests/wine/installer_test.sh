#!/usr/bin/env bash
# The setup program under Wine, as a user runs it: a silent install, the installed tempikctl.exe
# against tempik-sim on COM12, the Start menu and the uninstall entry, an upgrade over the first
# install, a silent uninstall that leaves the user's settings, port files and own files, and an
# install into a folder of the user's choice (/D=). Run inside tests/wine/prefix.sh.
# Usage: tests/wine/prefix.sh tests/wine/installer_test.sh LINUX_BUILD SETUP.exe
set -euo pipefail
linux_build=$(realpath "$1")
setup=$(realpath "$2")

passed=0
failed=0
check() {  # check WHAT COMMAND...: one verdict
    if "${@:2}"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $1" >&2
    fi
}
same() { [ "$1" = "$2" ] || { diff <(echo "$2") <(echo "$1") >&2; false; }; }
# A Windows path as the shell sees it.
unix() { winepath -u "$1"; }
# Wine's console and reg end lines with CR LF. The command and its output go to stderr too, as
# the transcript of the run.
run() {
    echo "\$ wine $*" >&2
    local out status=0
    out=$(wine "$@" | tr -d '\r') || status=$?
    if [ -n "$out" ]; then
        echo "$out" >&2
        echo "$out"
    fi
    return "$status"
}
# Waits for an event that comes from a process this script cannot wait for: the uninstaller
# copies itself to a temporary folder, starts that copy and returns at once.
wait_until() {
    local deadline=$((SECONDS + 60))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
gone() { [ ! -e "$1" ]; }
values() { run reg query "$1" | sed -n 's/^    //p' | sort; }

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TEMPIKConfig'
settings_key='HKCU\Software\KESTO\TEMPIKConfig'
local_app_data=$(wine cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')
app_data=$(wine cmd /c echo '%APPDATA%' | tr -d '\r')
default_folder="$local_app_data\\Programs\\TEMPIK Config"
start_menu=$(unix "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\TEMPIK Config")
program_files=(tempik-config.exe tempikctl.exe README.txt LICENSE.txt uninstall.exe)

installed_in() {  # installed_in WINDOWS_FOLDER: every file, and the entry pointing there
    local folder=$1 file here
    here=$(unix "$folder")
    for file in "${program_files[@]}"; do [ -f "$here/$file" ] || { echo "no $here/$file" >&2; return 1; }; done
    local size
    size=$(($(cat "${program_files[@]/#/$here/}" | wc -c) / 1024))
    same "$(values "$uninstall_key")" "$(sort <<EOF
DisplayIcon    REG_SZ    $folder\\tempik-config.exe,0
DisplayName    REG_SZ    KESTO TEMPIK Punch-card Reader Config
DisplayVersion    REG_SZ    1.40.01
EstimatedSize    REG_DWORD    $(printf '0x%x' "$size")
InstallLocation    REG_SZ    $folder
NoModify    REG_DWORD    0x1
NoRepair    REG_DWORD    0x1
Publisher    REG_SZ    The tempik-config developers
QuietUninstallString    REG_SZ    "$folder\\uninstall.exe" /S
UninstallString    REG_SZ    "$folder\\uninstall.exe"
EOF
)"
}

# What a shortcut starts (the path in its link information) and its arguments (UTF-16 strings).
shortcut_target() { strings -a "$start_menu/$1.lnk" | grep -x '[A-Z]:\\.*'; }
shortcut_arguments() { strings -el "$start_menu/$1.lnk" | grep -o '/k .*'; }
# Runs a command line as cmd.exe reads it, from C:\ (no tempikctl there): Wine would quote an
# argument holding spaces or quotes, which cmd.exe and NSIS (/D=) take otherwise.
in_cmd() {
    printf '@%s\r\n' "$1" >"$(unix 'C:\run.cmd')"
    (cd "$(unix 'C:\')" && run cmd /c 'C:\run.cmd')
}
# The command prompt's shortcut, with /c for /k.
prompt_runs() { in_cmd "cmd /c $(shortcut_arguments "TEMPIK Config command prompt" | cut -c4-)"; }
setup_in() { in_cmd "\"$(winepath -w "$setup")\" /S /D=$1"; }

uninstall_from() {  # uninstall_from WINDOWS_FOLDER
    run "$1\\uninstall.exe" /S
    wait_until gone "$(unix "$1")/uninstall.exe"
}

echo "== silent install into the default folder"
check "setup /S exits 0" run "$setup" /S
check "installed in %LOCALAPPDATA%\\Programs" installed_in "$default_folder"
here=$(unix "$default_folder")
(cd "$here" && ls -l) >&2 || true
(cd "$start_menu" && ls -l) >&2 || true
check "the installed tempikctl.exe runs" \
    same "$(run "$default_folder\\tempikctl.exe" --version | sed 's/(revision .*)/(revision)/')" \
    "tempikctl V1.40-01 (revision)"
check "the window's shortcut" same "$(shortcut_target "TEMPIK Config")" "$default_folder\\tempik-config.exe"
check "the command prompt's shortcut" same "$(shortcut_target "TEMPIK Config command prompt")" \
    'C:\windows\system32\cmd.exe'
check "the command prompt finds tempikctl" \
    same "$(prompt_runs | sed 's/(revision .*)/(revision)/')" "tempikctl V1.40-01 (revision)"

echo "== the installed tempikctl.exe finds the simulated reader on COM12"
coproc SIM { exec "$linux_build/app/tempik-sim" --link "$TEMPIK_WINE_ROOT/KESTO/ports/COM12"; }
trap 'kill "${SIM_PID:-}" 2>/dev/null || true' EXIT
read -r -t 5 ready slave <&"${SIM[0]}" || { echo "tempik-sim did not start" >&2; exit 1; }
echo "simulated reader: $ready $slave"
check "scan on COM12" same "$(run "$default_folder\\tempikctl.exe" --port 12 scan)" "$(cat <<'EOF'
Get Reader Info Ok. (COM : #12)
S/N : 20261208
ID: 0001
VER : 01.40-01
COM12 (\\.\COM12) 19200,e,8,1
EOF
)"
settings=$(values "$settings_key")
check "the scan saved the settings" grep -q 'ScanCommNo    REG_DWORD    0xc' <<<"$settings"
url_file=$(unix "$app_data\\KESTO\\ports")/COM5-url.txt
mkdir -p "$(dirname "$url_file")"
echo "socket://127.0.0.1:4001" >"$url_file"
echo "the user's own" >"$here/notes.txt"

echo "== a second run upgrades in place"
check "setup /S over the first install exits 0" run "$setup" /S
check "still in the same folder" installed_in "$default_folder"
check "the settings kept" same "$(values "$settings_key")" "$settings"

echo "== silent uninstall"
check "uninstall.exe /S ends" uninstall_from "$default_folder"
(cd "$here" && echo "left in the program folder:" && ls -l) >&2 || true
for file in "${program_files[@]}"; do check "$file removed" gone "$here/$file"; done
check "the Start menu folder removed" gone "$start_menu"
check "the uninstall entry removed" eval '! wine reg query "$uninstall_key" >/dev/null 2>&1'
check "the user's file in the program folder kept" [ -f "$here/notes.txt" ]
check "the settings kept" same "$(values "$settings_key")" "$settings"
check "the port URL file kept" [ -f "$url_file" ]

echo "== /D= chooses the folder, and an upgrade follows it there"
chosen='C:\TEMPIK tools'
check "setup /S /D= exits 0" setup_in "$chosen"
check "setup /S again exits 0" run "$setup" /S
check "installed in the chosen folder" installed_in "$chosen"
check "nothing in the default folder" gone "$here/tempikctl.exe"
check "uninstall.exe /S ends" uninstall_from "$chosen"
check "the chosen folder removed" wait_until gone "$(unix "$chosen")"

echo "installer: $passed passed, $failed failed"
((failed == 0))
