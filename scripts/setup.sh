#!/usr/bin/env bash
# The packages the game and its tests need on Debian 12 and 13, and the build step they share.
# Sourced by play.sh and test.sh.
set -euo pipefail

MORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MORVANE_BUILD="${MORVANE_BUILD:-$MORVANE_ROOT/build}"

# What building and playing the game takes, and nothing more: the compiler, CMake, Qt 6 (its GUI
# library brings the X11 platform), the picture-format plugins (WebP, TIFF), the Wayland platform,
# the HEIF and JPEG XL decoders (found with pkg-config, which nothing else brings), and the two
# font families the game draws its texts with. A player's first command installs these, so it
# stays small.
MORVANE_PLAY_PACKAGES=(
    cmake g++
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-image-formats-plugins qt6-wayland
    libheif-dev libjxl-dev pkg-config
    fonts-liberation2 fonts-dejavu-core
)
# The tool that runs the build, for the generator chosen (Ninja unless MORVANE_GENERATOR names
# another): CMake only recommends make, so it is not there without being asked for.
case "${MORVANE_GENERATOR:-Ninja}" in
    Ninja*) MORVANE_PLAY_PACKAGES+=(ninja-build) ;;
    *Makefiles*) MORVANE_PLAY_PACKAGES+=(make) ;;
esac

# What only the tests take: both build tools (the suite builds with each), the library lookup of
# our Wayland input client, a virtual X server with input and screen tools, clang with libFuzzer
# for the fuzz targets and llvm-symbolizer to name the functions in a sanitizer's report (clang
# only recommends it: without it a fuzz crash shows bare addresses), the desktop-file and
# AppStream checkers, git (the style check lists the sources with it, and the licence check
# leaves out what .gitignore ignores only through it), the licence and style checkers, a headless
# Wayland compositor with its screen reader and our input client's libraries, and the Debian
# packaging tools: dpkg-buildpackage refuses to build without build-essential, which dpkg-dev
# only recommends, and the package check reads the manual page with man. The X tools: xvfb's
# server, xdotool's input, x11-apps' xwd that reads the screen back and x11-utils' xwininfo that
# finds the game's menus among the server's windows (a desktop has it, a minimal system not).
MORVANE_TEST_PACKAGES=(
    ninja-build make pkg-config
    xvfb xdotool x11-apps x11-utils imagemagick
    clang libclang-rt-dev llvm
    desktop-file-utils appstream
    git reuse clang-format
    sway grim libwayland-dev libxkbcommon-dev
    debhelper dpkg-dev build-essential lintian man-db
)

# Where the releases differ, decided here from /etc/os-release (MORVANE_OS_RELEASE names another
# file), and only here: sets MORVANE_RELEASE ("debian12", "debian13") and adds what that release
# names differently to the lists above. A release not in the table gets Debian 13's names, the
# newest known, and a note that says so on the standard error.
morvane_decide_release() {
    local file="${MORVANE_OS_RELEASE:-/etc/os-release}" ID="" VERSION_ID="" VERSION_CODENAME="" PRETTY_NAME=""
    if [ -r "$file" ]; then
        # In a subshell: the file's other variables stay out of the caller's shell.
        eval "$(. "$file" && printf 'ID=%q VERSION_ID=%q VERSION_CODENAME=%q PRETTY_NAME=%q' \
            "${ID:-}" "${VERSION_ID:-}" "${VERSION_CODENAME:-}" "${PRETTY_NAME:-}")"
    fi
    case "$ID:$VERSION_ID" in
        debian:12) MORVANE_RELEASE=debian12 ;;
        debian:13) MORVANE_RELEASE=debian13 ;;
        *)
            MORVANE_RELEASE=debian13
            echo "note: ${PRETTY_NAME:-this system ($file unreadable)} is not Debian 12 or 13, the releases" \
                "this set-up is proven on: trying Debian 13's package names." >&2
            ;;
    esac
    case "$MORVANE_RELEASE" in
        debian12) ;; # libheif 1.15 has its decoders built in
        # libheif decodes through plugins of their own packages, which it only recommends.
        debian13) MORVANE_PLAY_PACKAGES+=(libheif-plugin-libde265 libheif-plugin-dav1d) ;;
    esac
}
morvane_decide_release

# Installs those of the named packages that are missing. Recommended packages are left out: the
# lists above name everything the game and the tests use, and what a package merely recommends
# would more than double the download. apt-get update runs only when something must be installed.
morvane_install_packages() {
    local missing=() package
    for package in "$@"; do
        if [[ " ${missing[*]} " == *" $package "* ]]; then
            continue # named in both lists
        fi
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    # Through env: sudo would drop a variable set in front of it.
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures and builds everything in MORVANE_BUILD, with Ninja unless MORVANE_GENERATOR names
# another CMake generator.
morvane_build() {
    cmake -S "$MORVANE_ROOT" -B "$MORVANE_BUILD" -G "${MORVANE_GENERATOR:-Ninja}" "$@"
    cmake --build "$MORVANE_BUILD" -j "$(nproc)"
}
