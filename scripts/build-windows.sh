#!/usr/bin/env bash
# Cross-builds tempikctl.exe and the unit tests of the toolkit-free layers for 64-bit Windows
# into build-windows/, with Debian's mingw-w64 (posix threads) and GoogleTest built from
# Debian's source with the same compiler, and the window tempik-config.exe (the native Win32 view).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/build-windows"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"

source "$root/scripts/install_packages.sh"
install_missing cmake ninja-build g++-mingw-w64-x86-64-posix googletest \
    libcli11-dev nlohmann-json3-dev libtomlplusplus-dev

# The header-only libraries, staged from their Debian packages into the build's own include folder
# (cmake/header_libraries.cmake): /usr/include itself holds the build machine's C library
# headers, which must never reach mingw.
headers="$out/staged-include"
mkdir -p "$headers"
for folder in CLI nlohmann toml++; do
    rm -rf "${headers:?}/$folder"
    cp -r "/usr/include/$folder" "$headers/$folder"
done

gtest="$out/googletest"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$out/googletest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=ON
    cmake --build "$out/googletest-build" -j"$(nproc)"
    cmake --install "$out/googletest-build" >/dev/null
fi

# A tree configured before the window was built for Windows is configured again.
if [ ! -f "$out/build.ninja" ] || ! grep -q '^TEMPIK_BUILD_WINDOW:BOOL=ON' "$out/CMakeCache.txt"; then
    cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DTEMPIK_BUILD_WINDOW=ON -DGTest_DIR="$gtest/lib/cmake/GTest"
fi
cmake --build "$out" -j"$(nproc)"

# The setup program build-windows/tempik-config-<version>-setup.exe.
source "$root/scripts/version.sh"
"$root/scripts/make-installer.sh" "$out/app" "$out/tempik-config-$version-setup.exe"
