#!/usr/bin/env bash
# Opens a 12-megapixel grid HEIC (the iPhone photo of the test data) and a 48-megapixel HEIC,
# 8-bit and 10-bit (made here with heif-enc from a photo-like picture of our own), through the
# HEIF plugin at the size the game asks for, three fresh processes each: time and peak memory.
# Writes bench/RESULTS-heif.md. Usage: bench/heif.sh [build-dir]
# (needs heif-enc: libheif-examples, and on Debian 13 libheif-plugin-x265)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build-bench}"
RESULTS="$ROOT/bench/RESULTS-heif.md"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_BUILD_BENCH=ON
fi
cmake --build "$BUILD" -j "${MORVANE_BENCH_JOBS:-2}" --target bench_heif
BENCH="$BUILD/bench/bench_heif"
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.*=false"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
grid="$ROOT/tests/data/heif/pillow-heif-arrow.heic"
big="$work/photo-8064x6048.heic"
deep="$work/photo-8064x6048-10bit.heic"
echo "encoding a 48-megapixel HEIC, 8-bit and 10-bit ..." >&2
"$BENCH" write "$work/photo.png" 8064 6048
heif-enc -q 50 -p preset=ultrafast -o "$big" "$work/photo.png" >/dev/null
"$BENCH" write "$work/photo.png" 8064 6048 16
heif-enc -q 50 -b 10 -p preset=ultrafast -o "$deep" "$work/photo.png" >/dev/null
rm "$work/photo.png"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
rows=()
for entry in "$grid:12 MP grid HEIC, iPhone (4032 x 3024 in 48 tiles, turned: 3024 x 4032)" \
             "$big:48 MP HEIC, one HEVC picture (8064 x 6048), heif-enc -q 50" \
             "$deep:48 MP HEIC, 10-bit, one HEVC picture (8064 x 6048), heif-enc -q 50 -b 10"; do
    file="${entry%%:*}"
    times=() peaks=() sizes=""
    for _ in 1 2 3; do
        out="$("$BENCH" "$file")"
        times+=("$(awk '$1 == "RESULT" && $2 == "heif.ms" { print $3 }' <<<"$out")")
        peaks+=("$(awk '$1 == "RESULT" && $2 == "heif.peak" { print $3 }' <<<"$out")")
        start="$(awk '$1 == "RESULT" && $2 == "heif.startpeak" { print $3 }' <<<"$out")"
        sizes="$(awk '$1 == "SIZE" { print $2, $3, $4 }' <<<"$out")"
    done
    mib="$(awk -v b="$(stat -c %s "$file")" 'BEGIN { printf "%.1f", b / 1048576 }')"
    rows+=("| ${entry#*:}, $mib MiB | $sizes | $(printf '%s\n' "${times[@]}" | median) ms ($(IFS=/; echo "${times[*]}")) | $(printf '%s\n' "${peaks[@]}" | sort -n | tail -1) MiB (before: $start MiB) |")
done
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

{
    echo "# HEIF pictures opened at the game's size"
    echo
    echo "Made by \`bench/heif.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $(nproc) cores, libheif $(pkg-config --modversion libheif),"
    echo "load average before: $load_before; after: $load_after. \`bench_heif FILE\` reads the file through"
    echo "\`QImageReader\` and the HEIF plugin as the picture loader does (allocation limit 256 MiB, the"
    echo "size asked for fitted into 2136 x 2098) in a fresh process: time of the read (median of 3,"
    echo "each run) and the process's peak resident memory (largest of 3, \`getrusage\`)."
    echo
    echo "| file | shown size → delivered | read | peak memory |"
    echo "|---|---|---|---|"
    printf '%s\n' "${rows[@]}"
} > "$RESULTS"
cat "$RESULTS"
