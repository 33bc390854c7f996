#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, then checks the result as a desktop would see
# it: files in place, the launcher link resolving next to the data, the desktop entry and the
# AppStream metadata valid, the icons at their sizes, and the installed game dealing its first
# level on a virtual X server. Usage: check_install.sh BUILD_DIR
set -euo pipefail

BUILD="$1"
PREFIX="$(mktemp -d)"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$PREFIX"
}
trap cleanup EXIT

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

# --- the game and its data side by side, and the launcher ----------------------------------------
APPDIR="$PREFIX/lib/morvane"
[ -x "$APPDIR/morvane" ] && pass "game in lib/morvane" || fail "no executable $APPDIR/morvane"
for name in Levels.res Level1.res Level2.res Level3.res Level4.res Level5.res Level6.res Level7.res; do
    [ -s "$APPDIR/$name" ] || fail "data file $name missing beside the game"
done
LAUNCHER="$PREFIX/bin/morvane"
if [ -L "$LAUNCHER" ]; then
    case "$(readlink "$LAUNCHER")" in
        /*) fail "launcher link is absolute: the tree could not move" ;;
        *) pass "launcher is a relative link" ;;
    esac
fi
real="$(readlink -f "$LAUNCHER" 2>/dev/null || true)"
[ "$real" = "$(readlink -f "$APPDIR/morvane")" ] && pass "launcher resolves to the game" \
    || fail "launcher $LAUNCHER resolves to '$real'"
[ -s "$(dirname "$real")/Levels.res" ] && pass "level table next to the real executable" \
    || fail "no Levels.res next to the launcher's real executable"

# --- desktop integration ---------------------------------------------------------------------------
DESKTOP="$PREFIX/share/applications/org.morvane.Morvane.desktop"
METAINFO="$PREFIX/share/metainfo/org.morvane.Morvane.metainfo.xml"
if [ -f "$DESKTOP" ] && desktop-file-validate "$DESKTOP"; then
    pass "desktop entry valid"
else
    fail "desktop entry missing or invalid"
fi
grep -qx 'Exec=morvane' "$DESKTOP" || fail "desktop entry does not start the launcher on the PATH"
grep -qx 'Icon=morvane' "$DESKTOP" || fail "desktop entry does not name the themed icon"
if [ -f "$METAINFO" ] && appstreamcli validate --pedantic --no-net "$METAINFO"; then
    pass "AppStream metadata valid"
else
    fail "AppStream metadata missing or invalid"
fi
grep -q '<launchable type="desktop-id">org.morvane.Morvane.desktop</launchable>' "$METAINFO" \
    || fail "metadata does not launch the installed desktop entry"
# Each screenshot the metadata names at its web address is installed under the same name.
shots=$(sed -n 's|.*<image type="source">https://[^<]*/\([^/<]*\)</image>.*|\1|p' "$METAINFO")
[ -n "$shots" ] || fail "metadata names no screenshot"
for shot in $shots; do
    [ -s "$PREFIX/share/morvane/screenshots/$shot" ] || fail "screenshot $shot not installed"
done
pass "screenshots installed: $(echo $shots)"

png_size() { # width x height from a PNG header
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}
for size in 16 22 24 32 48 64 128 256; do
    icon="$PREFIX/share/icons/hicolor/${size}x${size}/apps/morvane.png"
    if [ ! -f "$icon" ]; then
        fail "no ${size}x${size} icon"
    elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
        fail "icon ${size}x${size} is $(png_size "$icon")"
    fi
done
pass "icons checked"

# --- the installed game deals its first level through the launcher --------------------------------
# The level picture only appears when the game found its files beside its real executable; a
# board without it shows a handful of flat colours.
display=""
for number in $(seq $((300 + $$ % 90)) 500); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then
        display=":$number"
        break
    fi
done
Xvfb "$display" -screen 0 1024x768x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done

screen_colours() { # [until-above] -> colours on screen once the launcher's window shows
    (cd / && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" "$LAUNCHER" >/dev/null 2>&1) &
    game_pid=$!
    DISPLAY="$display" timeout 30 xdotool search --sync --onlyvisible --pid "$game_pid" >/dev/null || true
    # Slow builds (sanitizers) take a while to deal; look again until the picture is there.
    local count=0 look
    for look in $(seq 20); do
        sleep 1
        count="$(DISPLAY="$display" xwd -root -silent | convert xwd:- -format '%k' info:)"
        [ -n "${1:-}" ] && [ "$count" -gt "$1" ] && break
        [ -z "${1:-}" ] && [ "$look" -ge 3 ] && break
    done
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
    echo "$count"
}
colours="$(screen_colours 2000)"
[ "${colours:-0}" -gt 2000 ] && pass "installed game shows its level picture ($colours colours)" \
    || fail "installed game shows no level picture ($colours colours)"

# The same check must tell a game without its files: take them away and look again.
mkdir "$PREFIX/aside"
mv "$APPDIR"/*.res "$PREFIX/aside/"
colours="$(screen_colours)"
[ "${colours:-0}" -lt 2000 ] && pass "without its files the board stays plain ($colours colours)" \
    || fail "the picture check cannot tell a game without its files ($colours colours)"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "install tree good"
