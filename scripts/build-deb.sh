#!/usr/bin/env bash
# Makes build-deb/tempik-config_<version>_amd64.deb from a build of its own (Debian's build
# flags, no tests) installed into build-deb/package/debian/tempik-config: the three programs stripped, their debug
# information in build-deb/debug/usr/lib/debug/.build-id (where gdb looks for it), Depends from
# dpkg-shlibdeps. Installs what is missing.
set -euo pipefail
umask 022

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/build-deb"
source "$root/scripts/install_packages.sh"
source "$root/scripts/version.sh"
install_missing cmake ninja-build g++ pkg-config qt6-base-dev libxkbcommon-dev libasound2-dev \
    dpkg-dev binutils
package=tempik-config
deb_version="$version-1"
maintainer="The tempik-config developers <tempik-config@example.org>"

cd "$root"  # dpkg-buildflags maps this folder to "." in the debug information
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$out/build" -j"$(nproc)"

# dpkg-shlibdeps wants the programs where a Debian source package stages them.
stage="$out/package/debian/$package"
rm -rf "$out/package" "$out/debug" "$out"/*.deb
DESTDIR="$stage" cmake --install "$out/build" >/dev/null
for program in "$stage"/usr/bin/*; do
    build_id=$(readelf -n "$program" | sed -n 's/.*Build ID: \(..\)\(.*\)/\1\/\2/p')
    mkdir -p "$(dirname "$out/debug/usr/lib/debug/.build-id/$build_id")"
    objcopy --only-keep-debug --compress-debug-sections "$program" "$out/debug/usr/lib/debug/.build-id/$build_id.debug"
    strip --remove-section=.comment --remove-section=.note --strip-unneeded "$program"
done
doc="$stage/usr/share/doc/$package"
rm "$doc/LICENSE"  # its text is in copyright
gzip -9n "$doc/README.md" "$stage"/usr/share/man/man1/*.1
gzip -9nc "$root/scripts/debian/changelog" >"$doc/changelog.Debian.gz"
{
    cat <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: $package
Upstream-Contact: $maintainer

Files: *
Copyright: 2026 The tempik-config developers
License: MIT

License: MIT
COPYRIGHT
    sed -n '/^Permission/,$p' "$root/LICENSE" | sed 's/^$/./; s/^/ /'
} >"$doc/copyright"

mkdir -p "$stage/DEBIAN"  # how dpkg-shlibdeps knows the package's folder
printf 'Source: %s\n\nPackage: %s\nArchitecture: amd64\n' "$package" "$package" >"$out/package/debian/control"
depends=$(cd "$out/package" && dpkg-shlibdeps -O "debian/$package"/usr/bin/* | sed -n 's/^shlibs:Depends=//p')

(cd "$stage" && find usr -type f | sort | xargs md5sum) >"$stage/DEBIAN/md5sums"
cat >"$stage/DEBIAN/control" <<CONTROL
Package: $package
Version: $deb_version
Architecture: amd64
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $depends
Recommends: libqt6svg6, fonts-wqy-microhei
Section: utils
Priority: optional
Description: configure a time-clock card reader on a serial line
 tempik-config finds a punch-card reader on the serial ports (or behind a
 serial device server) and changes its settings one at a time: identifier,
 line speed, clock, display language, password, key sound, card type,
 backlight, idle screen, title texts and messages, and a graphic title from
 an icon file. The window speaks English, Simplified Chinese and Traditional
 Chinese.
 .
 tempikctl runs the same operations from a shell, one per call, for scripting
 many readers; tempik-sim is a simulated reader on a pseudo-terminal, for
 trying the tool or a script without hardware.
CONTROL

deb="$out/${package}_${deb_version}_amd64.deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb: $(stat -c %s "$deb") bytes"
