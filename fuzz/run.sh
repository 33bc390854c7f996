#!/usr/bin/env bash
# Runs every fuzz target for a few seconds each, starting from the minimised corpora kept in the
# repository (fuzz/corpus/NAME) and the test suite's broken pictures and metafiles.
# Usage: run.sh FUZZ_BIN_DIR SECONDS
set -euo pipefail
bin_dir="$1"
seconds="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
test_data="$root/tests/data"
status=0
for fuzzer in "$bin_dir"/*_fuzzer; do
    [ -x "$fuzzer" ] || continue
    name="$(basename "$fuzzer" _fuzzer)"
    work="$(mktemp -d)"
    seeds=()
    for dir in "$root/fuzz/corpus/$name"; do
        [ -d "$dir" ] && seeds+=("$dir")
    done
    case "$name" in
        picture) seeds+=("$test_data/badimages") ;;
        metafile) seeds+=("$test_data/metafiles") ;;
        heif) seeds+=("$test_data/heif") ;;
        jxl) seeds+=("$test_data/jxl") ;;
    esac
    # Metafiles past 16 KiB add size, not new kinds of records: capped, a run is several times
    # faster and reaches as far.
    options=()
    [ "$name" = metafile ] && options+=(-max_len=16384)
    # A HEIF file's boxes and its first tiles sit in its first 32 KiB; the rest is more of the
    # same coded picture.
    [ "$name" = heif ] && options+=(-max_len=32768)
    # libheif 1.15 and libdav1d leak a few bytes on some broken AV1 data (the allocations are
    # theirs, not ours); our own paths are leak-checked by the decoder tests under
    # -DMORVANE_SANITIZE=ON.
    [ "$name" = heif ] && options+=(-detect_leaks=0)
    # A unit may take 30 s: a tiny GIF may announce a 769 x 65535 picture, which the game decodes
    # in 0.2 s but the instrumented build, clearing 200 MB under AddressSanitizer, in about 11 s.
    echo "-- $name for ${seconds}s (seeds: ${seeds[*]:-none})"
    run() {
        QT_QPA_PLATFORM=offscreen "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
            -timeout=30 -print_final_stats=1 "${options[@]}" "$work" "${seeds[@]}" 2>"$work.log"
    }
    # LeakSanitizer's leak check at exit stops the threads with a tracer of its own, which now and
    # then crashes ("Tracer caught signal 11") before it has looked at anything: no finding, so
    # the run is made again once. A leak it did find fails the run as any other finding.
    passed=true
    run || passed=false
    if ! $passed && grep -q "Tracer caught signal" "$work.log" \
            && ! grep -q "detected memory leaks" "$work.log"; then
        echo "   LeakSanitizer's tracer failed at exit, not a finding: running again"
        rm -rf "${work:?}"/*
        passed=true
        run || passed=false
    fi
    if $passed; then
        grep -E "stat::number_of_executed_units|Done" "$work.log" | tail -2
    else
        tail -50 "$work.log"
        status=1
    fi
    rm -rf "$work" "$work.log"
done
exit $status
