#!/usr/bin/env bash
# Runs the test command's style check, warnings-as-errors build and whole ctest suite in a clean
# minimal Debian 13 root, made with debootstrap and kept between runs.
#
#   .ci/debian13.sh
#
# The root is made from the Debian mirror this machine's apt uses (MORVANE_DEBIAN_MIRROR names
# another) with the packages scripts/setup.sh names for Debian 13, and kept in
# MORVANE_ROOT_CACHE (default /var/cache/morvane-ci) under a name made from the release and a
# hash of those packages: a changed list makes a new root, and the old one is removed. A kept
# root is brought up to date (apt-get update and upgrade) before each use; one that was never
# finished (no ready mark) is made again. The sources are copied into the root, and the build
# folder and the compiler cache live inside it. Needs root and the network; debootstrap is
# installed when missing.
set -euo pipefail

RELEASE=trixie
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${MORVANE_ROOT_CACHE:-/var/cache/morvane-ci}"

[ "$(id -u)" -eq 0 ] || { echo "debian13: needs root (debootstrap, chroot, mounts)" >&2; exit 2; }
source "$REPO/.ci/root-lib.sh"

# A run on Debian 13 itself has just proven it with the test command: no root is needed.
if [ "$(morvane_os_release_field VERSION_ID /etc/os-release)" = 13 ] \
    && [ "$(morvane_os_release_field ID /etc/os-release)" = debian ]; then
    echo "debian13: this machine is Debian 13: the test command above proved it"
    echo "debian13: 0 passed, 0 failed"
    exit 0
fi

# debootstrap makes the root: a machine that never made one may not have it.
if ! command -v debootstrap >/dev/null; then
    source "$REPO/scripts/setup.sh"
    morvane_install_packages debootstrap
fi

mirror="${MORVANE_DEBIAN_MIRROR:-$(morvane_debian_mirror)}"
packages="$(morvane_release_packages 13) ccache"
key="$(printf '%s\n' "$RELEASE" "$packages" | sha256sum | cut -c1-16)"
root="$CACHE/$RELEASE-$key"
mkdir -p "$CACHE"

# One run at a time uses the cache: a second waits for the first.
exec 9>"$CACHE/lock"
flock 9

trap 'morvane_unmount_root "$root"' EXIT
started=$SECONDS
if [ -f "$root/.morvane-ready" ]; then
    echo "debian13: the kept root $root"
    morvane_mount_root "$root"
    if ! morvane_in_root "$root" "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
            apt-get upgrade -y -qq --no-install-recommends >/dev/null"; then
        echo "debian13: note: the kept root could not be brought up to date; it is used as it is"
    fi
else
    morvane_remove_stale_roots "$CACHE" "$RELEASE-*"
    echo "debian13: making a root from $mirror"
    debootstrap --variant=minbase "$RELEASE" "$root" "$mirror" >"$CACHE/debootstrap.log" 2>&1 || {
        tail -20 "$CACHE/debootstrap.log" >&2
        exit 1
    }
    # As in any chroot: no service a package installs may start inside it.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
    morvane_mount_root "$root"
    morvane_in_root "$root" "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends $packages >/dev/null"
    morvane_in_root "$root" "apt-get clean"
    touch "$root/.morvane-ready"
fi
echo "debian13: root ready in $((SECONDS - started)) s"

# The sources as the working tree has them, in a repository of their own (the style check lists
# the files with git); a build folder of the last run is left out.
rm -rf "$root/root/morvane" "$root/root/build"
mkdir -p "$root/root/morvane"
(cd "$REPO" && git ls-files -co --exclude-standard -z | tar --null --ignore-failed-read -cf - -T -) \
    | tar -xf - -C "$root/root/morvane"
morvane_in_root "$root" "cd /root/morvane && git init -q && git add -A"

# In a network namespace of its own: its X and Wayland servers cannot meet this machine's.
started=$SECONDS
morvane_in_root "$root" "cd /root/morvane && MORVANE_BUILD=/root/build \
    CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_DIR=/root/.ccache \
    ./scripts/test.sh style layers tests" --net | sed -u 's/^tests: /debian13: /'
echo "debian13: style, build and tests in $((SECONDS - started)) s"
