#!/usr/bin/env bash
# Installs whatever the game needs on Debian 12 that is missing, then builds it into build/.
# Sourced by play.sh and test.sh.
set -euo pipefail

MORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MORVANE_BUILD="${MORVANE_BUILD:-$MORVANE_ROOT/build}"

# Build tools, Qt 6, fonts, and what the tests use: a virtual X server, input and screen tools,
# clang with libFuzzer for the fuzz targets, a headless Wayland compositor with its screen
# reader and the libraries of our own input client, and the Debian packaging tools.
MORVANE_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
    fonts-liberation2 fonts-dejavu-core
    xvfb xdotool x11-apps imagemagick
    clang libclang-rt-14-dev
    desktop-file-utils appstream
    reuse clang-format
    sway grim qt6-wayland libwayland-dev libxkbcommon-dev
    debhelper dpkg-dev lintian man-db
)

morvane_install_packages() {
    local missing=()
    for package in "${MORVANE_PACKAGES[@]}"; do
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
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# Builds with Ninja unless MORVANE_GENERATOR names another CMake generator.
morvane_build() {
    cmake -S "$MORVANE_ROOT" -B "$MORVANE_BUILD" -G "${MORVANE_GENERATOR:-Ninja}" "$@"
    cmake --build "$MORVANE_BUILD" -j "$(nproc)"
}
