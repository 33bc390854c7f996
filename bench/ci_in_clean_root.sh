#!/usr/bin/env bash
# Runs the whole of .ci/run from a clone in a brand-new minimal Debian root, as on a new machine.
#
#   bench/ci_in_clean_root.sh RELEASE WORKDIR [COMMIT]
#
# RELEASE is a Debian code name (bookworm, trixie); COMMIT defaults to HEAD. The root is made in
# WORKDIR/root with `debootstrap --variant=minbase` from this machine's Debian mirror, and COMMIT
# is cloned into /root/morvane there; nothing else is put in. Inside, as root:
#   1. the test command's own package step (scripts/setup.sh), with the network;
#   2. `bash .ci/run`. On Debian 13 it runs in a network namespace of its own, as no later step
#      downloads anything and its X and Wayland servers then cannot meet another run's; on
#      Debian 12 it keeps the network, which its Debian 13 stage needs to make its own root.
# Each step is timed; the figures go to WORKDIR/results.txt and the output to WORKDIR/*.log.
# The root is removed at the end unless MORVANE_KEEP_ROOTS=1.
#
# Needs root, debootstrap and the network, about 8 GiB of WORKDIR and, on 2 cores, one to two
# hours.
set -euo pipefail

[ $# -ge 2 ] || { sed -n '2,17p' "$0"; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "needs root (debootstrap, chroot, mounts)" >&2; exit 2; }
RELEASE="$1"
WORK="$(mkdir -p "$2" && cd "$2" && pwd)"
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
COMMIT="$(git -C "$REPO" rev-parse "${3:-HEAD}")"
ROOT="$WORK/root"
RESULTS="$WORK/results.txt"
source "$REPO/.ci/root-lib.sh"

say() { echo "$*" | tee -a "$RESULTS"; }
# Runs STEP's COMMAND in the root, its output in WORKDIR/STEP.log, and says how long it took.
step() {
    local name="$1" command="$2" net="${3:-}" started=$SECONDS status=0
    morvane_in_root "$ROOT" "$command" $net >"$WORK/$name.log" 2>&1 || status=$?
    say "$name: exit $status in $((SECONDS - started)) s"
    return "$status"
}

trap 'morvane_unmount_root "$ROOT" || true
      [ "${MORVANE_KEEP_ROOTS:-0}" = 1 ] || rm -rf --one-file-system "$ROOT"' EXIT

say "$(date -u '+%F %T') $RELEASE, commit $COMMIT"
started=$SECONDS
[ ! -e "$ROOT" ] || { morvane_unmount_root "$ROOT" && rm -rf --one-file-system "$ROOT"; }
debootstrap --variant=minbase "$RELEASE" "$ROOT" "$(morvane_debian_mirror)" >"$WORK/debootstrap.log" 2>&1
printf '#!/bin/sh\nexit 101\n' >"$ROOT/usr/sbin/policy-rc.d"
chmod 755 "$ROOT/usr/sbin/policy-rc.d"
git clone -q "$REPO" "$ROOT/root/morvane"
git -C "$ROOT/root/morvane" checkout -q "$COMMIT"
morvane_mount_root "$ROOT"
say "root: made in $((SECONDS - started)) s ($(grep PRETTY_NAME "$ROOT/etc/os-release"))"

step packages 'cd /root/morvane && source scripts/setup.sh &&
    morvane_install_packages "${MORVANE_PLAY_PACKAGES[@]}" "${MORVANE_TEST_PACKAGES[@]}"'
isolate=--net
[ "$RELEASE" != bookworm ] || isolate=""
status=0
step ci 'cd /root/morvane && CI=true bash .ci/run' $isolate || status=$?
say "closing line: $(grep -E '^tests: [0-9]+ passed' "$WORK/ci.log" | tail -n 1)"
exit "$status"
