#!/usr/bin/env bash
# Times the play command in clean minimal Debian 12 roots, from its start to the game's window.
#
#   bench/play_in_clean_root.sh WORKDIR [BEFORE [AFTER]]
#
# BEFORE and AFTER are commits of this repository (default: main and HEAD). Each case gets a fresh
# copy of one `debootstrap --variant=minbase bookworm` root with a clone of the repository in
# /root/morvane, and runs there, as root and with the network:
#   bare    apt-get install --no-install-recommends of the packages the game needs, then CMake
#           with tests and benchmarks off and the game's target alone: the floor
#   after   ./scripts/play.sh of AFTER, then a second ./scripts/play.sh in the same root
#   before  ./scripts/play.sh of BEFORE
# Each is timed from its start until the window "Morvane - Level 1" is on a private Xvfb of the
# host (polled with xdotool every 0.2 s once the game is built); "install" is the time until the
# build folder appears.
# Packages (dpkg -l) and the size of /usr are counted before and after. Figures go to
# WORKDIR/results.txt, each case's output to WORKDIR/CASE.log.
#
# Needs root, debootstrap, Xvfb and xdotool on the host, and about 3 GiB of WORKDIR per case.
# The roots are removed at the end unless MORVANE_KEEP_ROOTS=1; MORVANE_CASES="after" runs only
# the named cases; an existing WORKDIR/pristine root is reused.
set -euo pipefail

[ $# -ge 1 ] || { sed -n '2,20p' "$0"; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "needs root (debootstrap, chroot, mounts)" >&2; exit 2; }
WORK="$(mkdir -p "$1" && cd "$1" && pwd)"
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BEFORE="$(git -C "$REPO" rev-parse "${2:-main}")"
AFTER="$(git -C "$REPO" rev-parse "${3:-HEAD}")"
CASES="${MORVANE_CASES:-bare after before}"
RESULTS="$WORK/results.txt"
PRISTINE="$WORK/pristine"
TITLE='^Morvane - Level 1$'

# The packages the game needs to build and run, as the floor installs them: written out here
# rather than read from scripts/setup.sh, so that the floor stays the same whatever the play
# command under test does.
BARE_PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-image-formats-plugins qt6-wayland fonts-liberation2 fonts-dejavu-core"

say() { echo "$*" | tee -a "$RESULTS"; }

# --- a private X server on the host, its socket shared with the roots -------------------------
display=""
for number in $(seq 77 400); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then
        display=":$number"
        break
    fi
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!

root=""  # the root being measured
game=""  # the process started in it
# Unmounts what this script mounted in a root; refuses to go on if anything stays mounted, as
# removing the root would then reach into the host's /dev or /proc.
unmount_root() {
    local r="$1" path
    for path in tmp/.X11-unix dev/pts dev sys proc; do
        if mountpoint -q "$r/$path"; then umount "$r/$path" || umount -l "$r/$path"; fi
    done
    if grep -q " $r/" /proc/mounts; then
        echo "still mounted under $r; left in place" >&2
        return 1
    fi
}
# Ends what this script started in a root (the game, a daemon a package's script started).
stop_root_processes() {
    local r="$1" p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$r" ] && kill "${p#/proc/}" 2>/dev/null
    done
    sleep 1
    return 0
}
remove_root() {
    local r="$1"
    stop_root_processes "$r"
    unmount_root "$r" || return 0
    [ "${MORVANE_KEEP_ROOTS:-0}" = 1 ] || rm -rf "$r"
}
cleanup() {
    [ -n "$root" ] && [ -d "$root" ] && remove_root "$root"
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# --- the clean root, made once and copied for each case ----------------------------------------
if [ ! -x "$PRISTINE/usr/bin/apt-get" ]; then
    rm -rf "$PRISTINE"
    debootstrap --variant=minbase bookworm "$PRISTINE" http://deb.debian.org/debian >"$WORK/debootstrap.log"
fi
chroot "$PRISTINE" apt-get clean # debootstrap leaves its packages in apt's cache
# As in any chroot: no service a package installs may start inside it.
printf '#!/bin/sh\nexit 101\n' >"$PRISTINE/usr/sbin/policy-rc.d"
chmod 755 "$PRISTINE/usr/sbin/policy-rc.d"

# Runs a command in the root as a player's shell would, with nothing of this script's environment.
in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TERM=dumb DISPLAY="$display" /bin/bash -c "$1"
}
packages() { in_root "dpkg -l | grep -c ^ii"; }
usr_mib() { du -sm "$root/usr" | cut -f1; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

# Starts COMMAND in the root and prints the seconds until the game's window is up, and before
# that the seconds until FOLDER (the build folder) appeared, or "-" if it was there already.
time_to_window() {
    local command="$1" folder="$2" log="$3"
    local start now install="-" had_folder=0
    [ -d "$root/root/morvane/$folder" ] && had_folder=1
    start=$(date +%s.%N)
    # Not through in_root: a function in the background runs in a subshell of its own, and $!
    # must be the process that ends up as the game.
    chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TERM=dumb DISPLAY="$display" \
        /bin/bash -c "cd /root/morvane && $command" </dev/null >"$log" 2>&1 &
    game=$!
    # xdotool only once the game is built: each call costs the X server time the build would miss.
    while [ ! -x "$root/root/morvane/$folder/bin/morvane" ] \
        || ! DISPLAY="$display" xdotool search --name "$TITLE" >/dev/null 2>&1; do
        if ! kill -0 "$game" 2>/dev/null; then
            echo "the game never showed its window; the end of $log:" >&2
            tail -30 "$log" >&2
            exit 1
        fi
        now=$(date +%s.%N)
        if [ "$had_folder" = 0 ] && [ "$install" = "-" ] && [ -d "$root/root/morvane/$folder" ]; then
            install=$(awk -v a="$start" -v b="$now" 'BEGIN { printf "%.1f", b - a }')
        fi
        sleep 0.2
    done
    now=$(date +%s.%N)
    kill "$game" # the game itself: every script on the way execs the next
    wait "$game" 2>/dev/null || true
    echo "$install $(awk -v a="$start" -v b="$now" 'BEGIN { printf "%.1f", b - a }')"
}

# Prints which test tools and which built tests or benchmarks the root has.
test_things() {
    local folder="$1" tools="" p built
    for p in xvfb xdotool x11-apps imagemagick clang sway grim lintian reuse clang-format debhelper pkg-config; do
        in_root "dpkg-query -W -f='\${Status}' $p 2>/dev/null | grep -q 'install ok installed'" && tools="$tools $p"
    done
    built=$(find "$root/root/morvane/$folder" -type f -executable \( -name 'tst_*' -o -name 'bench_*' -o -name 'startup_*' \) | wc -l)
    echo "test tools installed:${tools:- none}; test and benchmark programs built: $built"
}

# Checks that the game's folder holds the game and its level files.
game_files() {
    local bin="$root/root/morvane/$1/bin" name missing=""
    for name in morvane Levels.res Level1.res Level2.res Level3.res Level4.res Level5.res Level6.res Level7.res; do
        [ -s "$bin/$name" ] || missing="$missing $name"
    done
    echo "game files in $1/bin: ${missing:+missing$missing}${missing:-all there}"
}

run_case() {
    local name="$1" commit="$2" command="$3" folder="$4"
    root="$WORK/root-$name"
    [ -e "$root" ] && remove_root "$root"
    cp -a "$PRISTINE" "$root"
    git clone -q "$REPO" "$root/root/morvane"
    git -C "$root/root/morvane" checkout -q "$commit"
    for path in proc sys dev dev/pts tmp/.X11-unix; do mkdir -p "$root/$path"; done
    mount -t proc proc "$root/proc"
    mount --bind /sys "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    cp /etc/resolv.conf "$root/etc/resolv.conf"

    local packages_before usr_before load_before result
    packages_before=$(packages)
    usr_before=$(usr_mib)
    load_before=$(load)
    result=$(time_to_window "$command" "$folder" "$WORK/$name.log")
    say "== $name (commit $(git -C "$REPO" rev-parse --short "$commit")), $(date -u '+%Y-%m-%d %H:%M UTC')"
    say "start to window: ${result#* } s (install until the build folder appeared: ${result%% *} s)"
    say "packages: $packages_before -> $(packages); /usr: $usr_before -> $(usr_mib) MiB"
    say "$(test_things "$folder")"
    say "$(game_files "$folder")"
    say "load average before: $load_before; after: $(load)"
    if [ "$name" = after ]; then
        load_before=$(load)
        result=$(time_to_window "$command" "$folder" "$WORK/$name-again.log")
        say "second start to window: ${result#* } s; load average before: $load_before"
        say "second start's output: $(tr '\n' ' ' <"$WORK/$name-again.log" | cut -c1-300)"
    fi
    say ""
    remove_root "$root"
    root=""
}

say "# $(date -u '+%Y-%m-%d %H:%M UTC'): $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores, $(free -g | awk '/^Mem:/ { print $2 }') GiB"
for name in $CASES; do
    case "$name" in
        bare)
            run_case bare "$AFTER" "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
                --no-install-recommends $(echo $BARE_PACKAGES) && cmake -S . -B b -G Ninja \
                -DMORVANE_BUILD_TESTS=OFF -DMORVANE_BUILD_BENCH=OFF && cmake --build b --target morvane \
                && exec b/bin/morvane" b ;;
        after) run_case after "$AFTER" "exec ./scripts/play.sh" build-play ;;
        before) run_case before "$BEFORE" "exec ./scripts/play.sh" build ;;
        *) echo "no case $name" >&2; exit 2 ;;
    esac
done
