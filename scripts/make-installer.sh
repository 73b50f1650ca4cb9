#!/usr/bin/env bash
# Makes the Windows setup program from a folder holding the built tempik-config.exe and
# tempikctl.exe (scripts/installer.nsi says what it installs). Installs NSIS when missing.
# Usage: scripts/make-installer.sh PROGRAMS_FOLDER SETUP.exe
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
programs=$(realpath "$1")
setup=$(realpath -m "$2")
source "$root/scripts/install_packages.sh"
source "$root/scripts/version.sh"
install_missing nsis

for program in tempik-config.exe tempikctl.exe; do
    [ -f "$programs/$program" ] || { echo "make-installer.sh: no $programs/$program" >&2; exit 1; }
done
makensis -V2 -WX -DVERSION="$version" -DFILE_VERSION="$file_version" -DPROGRAMS="$programs" \
    -DSOURCE="$root" -DOUTFILE="$setup" "$root/scripts/installer.nsi"
echo "$setup: $(stat -c %s "$setup") bytes"
