#!/usr/bin/env bash
# The Debian package as a user gets it: lintian finds no error, it holds what a Debian user
# expects where Debian keeps it, Depends names the linked libraries, and its own tempikctl,
# unpacked, sets the volume of its own tempik-sim (in a configuration folder of this test's own:
# no real serial port is involved).
# Usage: tests/deb/package_test.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
source "$(dirname "$0")/../../scripts/install_packages.sh"
install_missing lintian

echo "== lintian"
lintian --fail-on error --display-info "$deb"

echo "== content"
diff -u <(cat <<'LIST'
./usr/bin/tempik-config
./usr/bin/tempik-sim
./usr/bin/tempikctl
./usr/share/applications/tempik-config.desktop
./usr/share/bash-completion/completions/tempikctl
./usr/share/doc/tempik-config/README.md.gz
./usr/share/doc/tempik-config/changelog.Debian.gz
./usr/share/doc/tempik-config/copyright
./usr/share/icons/hicolor/32x32/apps/tempik-config.png
./usr/share/icons/hicolor/scalable/apps/tempik-config.svg
./usr/share/man/man1/tempik-config.1.gz
./usr/share/man/man1/tempik-sim.1.gz
./usr/share/man/man1/tempikctl.1.gz
./usr/share/metainfo/example.kesto.tempik_config.metainfo.xml
LIST
) <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libasound2; do
    grep -q "\b$library (>= " <<<"$depends" || { echo "Depends lacks $library" >&2; exit 1; }
done

echo "== the unpacked tempikctl sets the volume of the unpacked tempik-sim"
work=$(mktemp -d)
trap 'kill "${SIM_PID:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
bin="$work/root/usr/bin"
export XDG_CONFIG_HOME="$work/config"
coproc SIM { exec "$bin/tempik-sim" --link "$XDG_CONFIG_HOME/KESTO/ports/COM3" --state "$work/state.json"; }
read -r -t 5 ready slave <&"${SIM[0]}" || { echo "tempik-sim did not start" >&2; exit 1; }
echo "simulated reader: $ready $slave"
"$bin/tempikctl" --version
result=$("$bin/tempikctl" --port 3 set-volume 4)
echo "$result"
[[ "$result" == "Set Ok (COM3 $XDG_CONFIG_HOME/KESTO/ports/COM3, S/N 20261208, reply OK)" ]]
grep -q '"volume": *"4"' "$work/state.json" || { echo "the reader's volume is not 4:" >&2; cat "$work/state.json" >&2; exit 1; }
echo "package: passed"
