#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, then configures and builds into ./build.
# Sourced by run.sh and test.sh; does nothing twice when run again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-qpa-plugins libxkbcommon-dev libasound2-dev
    fonts-liberation fonts-wqy-microhei fontconfig
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Configures (once) and builds a build folder of the checkout; extra arguments go to CMake.
build_tree() {
    local folder=$1
    shift
    if [ ! -f "$folder/build.ninja" ]; then
        cmake -S "$root" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
    cmake --build "$folder" -j"$(nproc)"
}

build_tree "$build"
