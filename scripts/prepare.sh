#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, then configures and builds into ./build.
# Sourced by run.sh and test.sh; does nothing twice when run again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev
    libcli11-dev nlohmann-json3-dev libtomlplusplus-dev
    qt6-base-dev qt6-qpa-plugins libqt6svg6 libxkbcommon-dev libasound2-dev qt6-translations-l10n
    fonts-liberation fonts-wqy-microhei fontconfig
)

source "$root/scripts/install_packages.sh"
install_missing "${packages[@]}"

# Configures and builds a build folder of the checkout; extra arguments go to CMake (a folder
# already configured is configured again only when there are any). The caller may name the
# targets to build in the array build_targets; by default everything is built.
build_tree() {
    local folder=$1
    shift
    if [ ! -f "$folder/build.ninja" ] || [ $# -gt 0 ]; then
        cmake -S "$root" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
    local targets=()
    for target in ${build_targets[@]+"${build_targets[@]}"}; do targets+=(--target "$target"); done
    cmake --build "$folder" -j"$(nproc)" ${targets[@]+"${targets[@]}"}
}

# The caller may set build_options (CMake arguments for build/) before sourcing this.
build_tree "$build" ${build_options[@]+"${build_options[@]}"}
