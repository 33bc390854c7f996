#!/usr/bin/env bash
# Builds the Debian package from a clean copy of the sources, checks it with lintian, installs
# it with apt-get as a user would, plays the installed game on a virtual X server (the level-1
# board read back from the screen), then purges it and checks that nothing is left behind.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR  (BUILD_DIR holds tests/tst_installed_board)
# It installs and removes a system package: it needs root, or sudo. It never runs over a morvane
# package it did not install itself: it fails, and leaves that package alone. What an interrupted
# run of its own left installed (it marks its installs in MARK) it purges first.
set -euo pipefail

SOURCE="$(cd "$1" && pwd)"
BUILD="$(cd "$2" && pwd)"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
apt_get() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@"; }
installed() { dpkg-query -W -f='${Status}' morvane 2>/dev/null | grep -q "install ok installed"; }
# Any trace of the package in dpkg's database, a half-installed or removed-but-configured one too.
present() { [ -n "$(dpkg-query -W -f='${Status}' morvane 2>/dev/null | grep -v 'not-installed$')" ]; }
MARK=/var/tmp/morvane-check-package.installed

if present; then
    version="$(dpkg-query -W -f='${Version}' morvane 2>/dev/null || true)"
    owner="$(cat "$MARK" 2>/dev/null || true)"
    if [ -n "$owner" ] && [ ! -d "/proc/$owner" ]; then
        echo "note: purging morvane $version, left installed by an interrupted run of this check"
        apt_get purge morvane >/dev/null
        rm -f "$MARK"
    else
        [ -n "$owner" ] && why="by another run of this check, still going (process $owner)" \
            || why="not by this check"
        echo "FAIL: a morvane package ($version) is installed on this machine, $why." >&2
        echo "      It is left alone; remove it (apt-get purge morvane) to check the package." >&2
        exit 1
    fi
fi
WORK="$(mktemp -d)"
cleanup() {
    if [ "$(cat "$MARK" 2>/dev/null)" = "$$" ]; then
        if present; then
            apt_get purge morvane >/dev/null 2>&1 && rm -f "$MARK"
        else
            rm -f "$MARK"
        fi
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
# Stopped by a signal, the script still purges what it installed.
trap 'exit 130' INT
trap 'exit 143' TERM

# --- build from a clean copy: only what the repository holds, none of its build folders --------
mkdir "$WORK/morvane"
chmod 755 "$WORK" # apt's own user reads the .deb from here
if git -C "$SOURCE" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$SOURCE" && git ls-files -co --exclude-standard -z | tar --null --ignore-failed-read -cf - -T -) \
        | tar -xf - -C "$WORK/morvane"
else
    tar -C "$SOURCE" --exclude='./build*' --exclude='./obj-*' -cf - . | tar -xf - -C "$WORK/morvane"
fi
started=$SECONDS
if ! (cd "$WORK/morvane" && dpkg-buildpackage -us -uc -b) >"$WORK/build.log" 2>&1; then
    tail -40 "$WORK/build.log" >&2
    echo "FAIL: the package does not build" >&2
    exit 1
fi
pass "package built in $((SECONDS - started)) s"
deb="$(ls "$WORK"/morvane_*_*.deb)"
changes="$(ls "$WORK"/morvane_*_*.changes)"

# lintian: no error and no warning (overrides, each with its reason, live in debian/).
if lintian --fail-on error,warning "$changes"; then
    pass "lintian: no error, no warning"
else
    fail "lintian reports errors or warnings"
fi

# --- install as a user would, and look at what arrived ----------------------------------------
echo $$ >"$MARK" # before the install: an install cut short is ours to purge too
apt_get install "$deb" >/dev/null
installed && pass "installed with apt-get" || fail "apt-get did not install the package"
files="$(dpkg -L morvane)"

APPDIR=/usr/lib/games/morvane
LAUNCHER=/usr/games/morvane
[ -x "$APPDIR/morvane" ] && pass "game in $APPDIR" || fail "no executable $APPDIR/morvane"
for name in Levels.res Level1.res Level2.res Level3.res Level4.res Level5.res Level6.res Level7.res; do
    [ -s "$APPDIR/$name" ] || fail "data file $name missing beside the game"
done
[ "$(readlink -f "$LAUNCHER")" = "$APPDIR/morvane" ] && pass "launcher $LAUNCHER leads to the game" \
    || fail "launcher $LAUNCHER resolves to '$(readlink -f "$LAUNCHER")'"
DESKTOP=/usr/share/applications/org.morvane.Morvane.desktop
METAINFO=/usr/share/metainfo/org.morvane.Morvane.metainfo.xml
MANPAGE=/usr/share/man/man6/morvane.6.gz
desktop-file-validate "$DESKTOP" && pass "desktop entry valid" || fail "desktop entry missing or invalid"
appstreamcli validate --pedantic --no-net "$METAINFO" >/dev/null && pass "AppStream metadata valid" \
    || fail "AppStream metadata missing or invalid"
ICONS=()
for size in 16 22 24 32 48 64 128 256; do
    ICONS+=("/usr/share/icons/hicolor/${size}x${size}/apps/morvane.png")
done
for icon in "${ICONS[@]}"; do [ -s "$icon" ] || fail "no icon $icon"; done
SCREENSHOTS=/usr/share/morvane/screenshots
for shot in $(sed -n 's|.*<image type="source">https://[^<]*/\([^/<]*\)</image>.*|\1|p' "$METAINFO"); do
    [ -s "$SCREENSHOTS/$shot" ] || fail "no screenshot $SCREENSHOTS/$shot"
done
# The page as man shows it, spaces squeezed (man justifies the lines).
manual="$( { [ -s "$MANPAGE" ] && man -l "$MANPAGE" 2>/dev/null; } | tr -s ' ' || true)"
[[ "$manual" == *"morvane - picture puzzle"* ]] && pass "manual page" \
    || fail "no readable manual page $MANPAGE"
[ -s /usr/share/doc/morvane/copyright ] || fail "no copyright file"

# --- play it: the launcher deals the level-1 board from the installed files -------------------
if MORVANE_INSTALLED_GAME="$LAUNCHER" MORVANE_INSTALLED_DATA="$APPDIR" QT_QPA_PLATFORM=offscreen \
    "$BUILD/tests/tst_installed_board"; then
    pass "the installed game shows the level-1 board"
else
    fail "the installed game does not show the level-1 board"
fi

# --- purge, and nothing may stay behind -------------------------------------------------------
apt_get purge morvane >/dev/null
present && fail "the package is still known to dpkg after purge"
rm -f "$MARK"
for path in "$APPDIR" "$LAUNCHER" "$DESKTOP" "$METAINFO" "$MANPAGE" "$SCREENSHOTS" /usr/share/doc/morvane "${ICONS[@]}"; do
    [ -e "$path" ] || [ -L "$path" ] && fail "left behind: $path"
done
left=0
while IFS= read -r path; do
    if [ -f "$path" ] || [ -L "$path" ]; then
        fail "left behind: $path"
        left=$((left + 1))
    fi
done <<<"$files"
[ "$left" -eq 0 ] && pass "purged: none of the package's $(wc -l <<<"$files") paths left behind but shared folders"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package good"
