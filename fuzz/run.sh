#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 in build-fuzz/ and runs each for the given seconds
# (default 60), from its seeds in fuzz/seeds/<target> and a working corpus kept in
# build-fuzz/corpus/<target>. Prints one line per target with its executions; exits non-zero
# when any target finds a crash, a sanitizer report or a broken invariant (its input is then in
# build-fuzz/findings/). Works from any folder; writes nothing outside build-fuzz/.
set -euo pipefail

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: $0 [seconds per target, default 60]" >&2
    exit 2
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
targets=(fuzz_reply fuzz_settings fuzz_icon fuzz_sim_request)

# The compiler and its fuzzer runtime, and what configuring the whole project needs.
packages=(
    clang-14 libclang-rt-14-dev cmake ninja-build pkg-config
    libgtest-dev libgmock-dev qt6-base-dev libxkbcommon-dev libasound2-dev
    libcli11-dev nlohmann-json3-dev libtomlplusplus-dev
)
source "$root/scripts/install_packages.sh"
install_missing "${packages[@]}"

if [ ! -f "$build/build.ninja" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEMPIK_FUZZ=ON
fi
cmake --build "$build" --target "${targets[@]}" -j2

# The targets' temporary files, and anything else that asks for a temporary folder.
export TMPDIR="$build/tmp"
mkdir -p "$TMPDIR" "$build/findings" "$build/logs"

failed=0
summary=()
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    status=0
    (cd "$build" && "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "$corpus" "$root/fuzz/seeds/$target") \
        >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1 runs in \2 s/p' "$log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]* corp: [0-9]*/[0-9]*[a-zA-Z]*' "$log" | tail -n 1 || true)
    if [ "$status" -ne 0 ] || [ -z "$runs" ]; then
        failed=1
        summary+=("$target: FAILED (exit $status) ${coverage:+($coverage)}; see $log and $build/findings/")
        grep -E 'invariant failed|ERROR:|runtime error|SUMMARY' "$log" | head -n 5 >&2 || true
    else
        summary+=("$target: ok, $runs ($coverage)")
    fi
done

echo
for line in "${summary[@]}"; do
    echo "$line"
done
exit "$failed"
