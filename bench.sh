#!/bin/sh
# Builds and runs every benchmark (tests/bench/*.cpp). They print figures; they are not tests
# and are not part of ./test.sh. Uses the build folder of ./test.sh, configuring it if needed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build="${BENCH_BUILD_DIR:-$here/build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    generator=""
    command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
    # shellcheck disable=SC2086
    cmake -S "$here" -B "$build" $generator
fi
status=0
for source in "$here"/tests/bench/*.cpp; do
    [ -e "$source" ] || continue
    name=$(basename "$source" .cpp)
    cmake --build "$build" --target "$name" -j2
    echo "== $name"
    "$build/tests/$name" || status=1
done
cmake --build "$build" --target tempik_startup_probe -j2
echo "== startup"
"$here/tests/bench/startup.sh" "$build" 5 || status=1
exit $status
