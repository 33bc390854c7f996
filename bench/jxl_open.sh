#!/usr/bin/env bash
# Opens a 12-megapixel JPEG XL (lossy, and lossless) through the game's JPEG XL decoder in fresh
# processes: median time and peak memory. The picture is made by bench_jxl_open, encoded by
# cjxl (libjxl-tools). Usage: bench/jxl_open.sh [build-dir]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build-bench}"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_BUILD_BENCH=ON
fi
cmake --build "$BUILD" -j "${MORVANE_BENCH_JOBS:-2}" --target bench_jxl_open
command -v cjxl >/dev/null || { echo "cjxl (package libjxl-tools) is needed to make the file" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work" # Qt wants one; a private one leaves no trace
"$BUILD/bench/bench_jxl_open" picture "$work/photo.png"
cjxl "$work/photo.png" "$work/lossy.jxl" >/dev/null 2>&1            # distance 1, effort 7
cjxl -d 0 -e 2 "$work/photo.png" "$work/lossless.jxl" >/dev/null 2>&1
for kind in lossy lossless; do
    bytes=$(stat -c %s "$work/$kind.jxl")
    echo "-- $kind 4000 x 3000 JPEG XL, $bytes bytes; load $(cut -d' ' -f1-3 /proc/loadavg)"
    "$BUILD/bench/bench_jxl_open" "$work/$kind.jxl"
done
