#!/usr/bin/env bash
# Runs every benchmark on a private Xvfb and writes bench/RESULTS.md: builds if needed into
# build-bench/ (RelWithDebInfo), then prints the table. Usage: bench/run.sh [build-dir]
# (MORVANE_BENCH_DISPLAY=:N picks the X display number).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build-bench}"
RESULTS="$ROOT/bench/RESULTS.md"
JOBS="${MORVANE_BENCH_JOBS:-2}"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_BUILD_BENCH=ON
fi
cmake --build "$BUILD" -j "$JOBS" --target benchmarks
BENCH="$BUILD/bench"
GAME="$BUILD/bin/morvane"

# --- a private X server ---------------------------------------------------------------------
display="${MORVANE_BENCH_DISPLAY:-}" # a display number of your own, or the first free one
for number in $([ -z "$display" ] && seq $((90 + $$ % 100)) 400); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then
        display=":$number"
        break
    fi
done
Xvfb "$display" -screen 0 1920x1200x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
started=()
cleanup() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    kill "$xvfb_pid" 2>/dev/null || true
    [ -n "${XDG_RUNTIME_DIR:-}" ] && rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
export DISPLAY="$display"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_LOGGING_RULES="qt.qpa.*=false"
XDG_RUNTIME_DIR="$(mktemp -d)" # Qt wants one; a private one leaves no trace
export XDG_RUNTIME_DIR

declare -A R # key -> value
collect() { # reads "RESULT key value unit" lines from a benchmark's output
    while read -r tag key value _; do
        [ "$tag" = RESULT ] && R[$key]=$value
    done
}
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"

# --- start-up to the first painted board, against the floor ----------------------------------
startup_ms() { # command... -> ms from launch to its first paint
    local t0 painted
    t0=$(date +%s%N)
    painted=$("$@" | sed -n 's/^PAINTED //p')
    calc "($painted - $t0) / 1000000"
}
calc() { awk "BEGIN { printf \"%.4f\", $1 }"; } # arithmetic without bc
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "start-up ..." >&2
startup_ms "$BENCH/startup_floor" >/dev/null # warm the file cache for both
startup_ms "$BENCH/startup_game" >/dev/null
floor_runs=() game_runs=()
for _ in $(seq 21); do # start-up is noisy on a shared machine: many alternating runs
    floor_runs+=("$(startup_ms "$BENCH/startup_floor")")
    game_runs+=("$(startup_ms "$BENCH/startup_game")")
done
R[startup.floor]=$(printf '%s\n' "${floor_runs[@]}" | median)
R[startup.game]=$(printf '%s\n' "${game_runs[@]}" | median)
R[startup.ratio]=$(calc "${R[startup.game]} / ${R[startup.floor]}")
# What linking the codec libraries would cost the start: the same game with them (and what they
# bring) loaded before it starts, as a link would load them, against the game as built.
codecs="$(tr '\n' ' ' < "$BUILD/lazy-libraries.txt")"
lazy_runs=() eager_runs=()
for _ in $(seq 21); do
    lazy_runs+=("$(startup_ms env "$BENCH/startup_game")")
    eager_runs+=("$(startup_ms env LD_PRELOAD="$codecs" "$BENCH/startup_game")")
done
R[startup.lazy]=$(printf '%s\n' "${lazy_runs[@]}" | median)
R[startup.eager]=$(printf '%s\n' "${eager_runs[@]}" | median)

# --- memory and CPU of running processes ------------------------------------------------------
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
cpu_percent() { # pid seconds -> % of one core over that window
    local a b
    a=$(cpu_ticks "$1"); sleep "$2"; b=$(cpu_ticks "$1")
    calc "100 * ($b - $a) / ($ticks * $2)"
}
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

echo "memory and idle CPU ..." >&2
"$BENCH/startup_floor" --stay >/dev/null & floor_pid=$!; started+=("$floor_pid")
sleep 3
R[rss.floor]=$(calc "$(rss_kib "$floor_pid") / 1024")
R[cpu.idle.floor]=$(cpu_percent "$floor_pid" 10)
kill "$floor_pid"; wait "$floor_pid" 2>/dev/null || true

"$GAME" & game_pid=$!; started+=("$game_pid")
sleep 3
R[rss.game]=$(calc "$(rss_kib "$game_pid") / 1024")
R[rss.above]=$(calc "${R[rss.game]} - ${R[rss.floor]}")
R[cpu.idle]=$(cpu_percent "$game_pid" 10)

echo "CPU while a piece pulses ..." >&2
window=$(xdotool search --sync --onlyvisible --pid "$game_pid" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT
# The middle of the board is always a piece; the pointer then stays put for the whole window.
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 1
R[cpu.pulse]=$(cpu_percent "$game_pid" 10)
kill "$game_pid"; wait "$game_pid" 2>/dev/null || true

# --- the board benchmarks ---------------------------------------------------------------------
echo "repaint and resize ..." >&2
collect < <("$BENCH/bench_repaint")
echo "animations at the start size ..." >&2
collect < <("$BENCH/bench_animations" start)
echo "animations at 1920 x 1080 ..." >&2
collect < <("$BENCH/bench_animations" 1920x1080)
echo "the selection pulse in the process ..." >&2
collect < <("$BENCH/bench_pulse")
echo "Open of a 4000 x 3000 JPEG, a 108-megapixel JPEG and an 80-megapixel PNG ..." >&2
collect < <("$BENCH/bench_open")
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

# --- the table ----------------------------------------------------------------------------------
verdict() { # value goal -> "met" when value <= goal
    if awk "BEGIN { exit !($1 <= $2) }"; then echo met; else echo "**missed**"; fi
}
row() { # label value unit goal-text goal-number
    local v="${2:-n/a}"
    if [ -n "${5:-}" ] && [ "$v" != n/a ]; then
        printf '| %s | %s %s | %s | %s |\n' "$1" "$v" "$3" "$4" "$(verdict "$v" "$5")"
    else
        printf '| %s | %s %s | %s | |\n' "$1" "$v" "$3" "$4"
    fi
}
fmt() { printf '%.2f' "${R[$1]:-0}"; }
table() {
    echo "| figure | measured | goal | |"
    echo "|---|---|---|---|"
    row "Start-up to first dealt board painted, game / floor ($(fmt startup.game) ms / $(fmt startup.floor) ms)" "$(fmt startup.ratio)" "x" "≤ 1.3 x" 1.3
    row "The same with the codec libraries loaded first, as a link would load them (as built: $(fmt startup.lazy) ms)" "$(fmt startup.eager)" "ms" "" ""
    row "Resident memory after start-up, above the floor ($(fmt rss.game) MiB / $(fmt rss.floor) MiB)" "$(fmt rss.above)" "MiB" "≤ 8 MiB" 8
    row "CPU at rest, 10 s (floor: $(fmt cpu.idle.floor) %)" "$(fmt cpu.idle)" "% of a core" "0.0 %" 0
    row "CPU while a piece pulses, 10 s" "$(fmt cpu.pulse)" "% of a core" "≤ 1 %" 1
    row "Pulse ticks a second (in-process probe, 5 s; its CPU: $(fmt pulse.cpu) %)" "$(fmt pulse.ticks)" "" "60" ""
    row "Pulse: paints of the piece per tick / pixels a paint covers (the piece has $(printf %.0f "${R[pulse.piece]:-0}"))" "$(fmt pulse.paints) / $(printf %.0f "${R[pulse.pixels]:-0}")" "" "1 / its frame ring" ""
    for size in start 1920x1080; do
        local goal=1.03
        [ "$size" = 1920x1080 ] && goal=1.05
        for anim in "deal7:Level-7 deal" "deal5:Level-5 deal" "deal3:Level-3 deal" "swap1:Level-1 swap" "shrinkswap:Shrink-and-grow swap (level 4)" "turn:Turn (level 3)" "banner:Sliding banner (level 2)" "rising:Rising banner (level 3)"; do
            local key="${anim%%:*}.$size"
            local steps="${R[$key.steps]:-0}"
            row "${anim#*:} at $size, $(fmt "$key.ms") ms / its $(printf %.0f "$steps") steps × 1/60 s ($(calc "$steps * 1000 / 60") ms); late steps: $(printf %.0f "${R[$key.late]:-0}")" "$(fmt "$key.ratio")" "x" "≤ $goal x" "$goal"
        done
        row "CPU of the game during the level-7 deal at $size" "$(fmt "deal7.$size.cpu")" "% of a core" "" ""
    done
    row "Full repaint of the window at the start size (every widget dirty)" "$(fmt repaint.full.start)" "ms" "well under 1 ms" 1
    row "Full repaint of the window at 1920 x 1080 (every widget dirty)" "$(fmt repaint.full.1920x1080)" "ms" "" ""
    row "One animation frame without its pause (a piece moved 1 px, window redrawn), start size" "$(fmt repaint.frame.start)" "ms" "" ""
    row "One animation frame without its pause, 1920 x 1080" "$(fmt repaint.frame.1920x1080)" "ms" "" ""
    row "Painting between two frames, nothing uncovered (X11), start size" "$(fmt repaint.between.start)" "ms" "" ""
    row "Painting between two frames, nothing uncovered (X11), 1920 x 1080" "$(fmt repaint.between.1920x1080)" "ms" "" ""
    row "One resize event (layout and repaint) at 1920 x 1080, median" "$(fmt resize.1920x1080)" "ms" "< 3 ms" 3
    row "Open of a 4000 x 3000 JPEG to the dealt board, median" "$(fmt open.jpeg4000x3000)" "ms" "< 200 ms" 200
    row "The same with a Display P3 profile, converted to sRGB, median" "$(fmt open.jpeg4000x3000p3)" "ms" "" ""
    for big in "jpeg12000x9000:108-megapixel JPEG (12000 x 9000" "jpeg12000x9000turned:108-megapixel JPEG tagged to be turned a quarter (seen 9000 x 12000" "png10328x7746:80-megapixel PNG (10328 x 7746"; do
        local key="open.${big%%:*}"
        row "Open of a ${big#*:}, $(fmt "$key.filemib") MiB file) to the dealt board, median of 3 fresh processes" "$(fmt "$key.ms")" "ms" "" ""
        row "Peak memory of the game opening it (after start-up: $(fmt "$key.startpeak") MiB)" "$(fmt "$key.peak")" "MiB" "< 80 MiB" 80
    done
}

machine="$(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores, $(free -g | awk '/^Mem:/ { print $2 }') GiB"
qt="$(qmake6 -query QT_VERSION 2>/dev/null || echo 6)"
compiler="$(c++ --version | head -n 1)"
{
    echo "# Benchmark results"
    echo
    echo "Made by \`bench/run.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $machine; Debian $(cat /etc/debian_version),"
    echo "Qt $qt, $compiler, RelWithDebInfo, Xvfb 1920 x 1200 x 24 without a window manager."
    echo "Load average before: $load_before; after: $load_after (the machine is shared, so figures are noisy)."
    echo
    echo "Every ratio is measured in the same run against its floor: start-up and memory against a bare"
    echo "Qt main window with a menu bar (\`bench/startup_floor\`), animations (their steps counted) against"
    echo "their number of steps times one frame of 1/60 s. Times are medians. What costs the time where a"
    echo "goal is missed:"
    echo "\`bench/README.md\`."
    echo
    table
    for other in "$ROOT"/bench/RESULTS-*.md; do
        [ -e "$other" ] || continue
        echo
        echo "## From $(basename "$other")"
        echo
        sed -e '1{/^# /d}' -e 's/^#/##/' "$other" # their sections sit under this heading
    done
} > "$RESULTS"
table
echo
echo "Written to $RESULTS"
