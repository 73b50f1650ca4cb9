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

source "$root/scripts/install_packages.sh"
install_missing "${packages[@]}"

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
