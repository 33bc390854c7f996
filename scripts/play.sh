#!/usr/bin/env bash
# Installs what the game needs that is missing, builds the game alone and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

# A folder of its own, without tests or benchmarks: test.sh's build/ is configured differently,
# and neither should find the other's settings.
MORVANE_BUILD="$MORVANE_ROOT/build-play"
generator="${MORVANE_GENERATOR:-Ninja}"

morvane_install_packages "${MORVANE_PLAY_PACKAGES[@]}"

# Configure only when the folder has no finished configuration for this generator: a second
# start then has nothing to do but start the game. A changed CMakeLists.txt still reaches the
# build, as the build tool reruns CMake by itself.
cache="$MORVANE_BUILD/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -qxF "CMAKE_GENERATOR:INTERNAL=$generator" "$cache"; then
    rm -rf "$cache" "$MORVANE_BUILD/CMakeFiles" # made for another generator, which CMake refuses
fi
if [ ! -f "$cache" ] || { [ ! -f "$MORVANE_BUILD/build.ninja" ] && [ ! -f "$MORVANE_BUILD/Makefile" ]; }; then
    cmake -S "$MORVANE_ROOT" -B "$MORVANE_BUILD" -G "$generator" \
        -DMORVANE_BUILD_TESTS=OFF -DMORVANE_BUILD_BENCH=OFF
fi
# Ninja picks its own number of jobs, a few more than the cores, which keeps them busy while a
# job waits on the disk; make runs one job at a time unless told.
jobs=()
case "$generator" in
    Ninja*) ;;
    *) jobs=(-j "$(nproc)") ;;
esac
# The game's target makes its level files beside it too.
cmake --build "$MORVANE_BUILD" "${jobs[@]}" --target morvane
exec "$MORVANE_BUILD/bin/morvane"
