# The steps of a clean Debian root that CI makes and uses: its mirror, its packages, its mounts.
# Sourced by .ci/debian13.sh and by the test of these steps.

MORVANE_CI_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Prints FIELD of an os-release FILE, as the shell would read it.
morvane_os_release_field() {
    local field="$1" file="$2"
    [ -r "$file" ] || return 0
    (set +u && . "$file" && eval "printf '%s' \"\${$field:-}\"")
}

# Prints the Debian mirror of this machine's apt sources (deb822 or one-line form), leaving out
# the security archive; deb.debian.org when there is none. SOURCES names the files to read.
morvane_debian_mirror() {
    local files=("${@:-/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources}")
    local mirror
    # shellcheck disable=SC2068 # the patterns above are meant to expand
    mirror="$(cat ${files[@]} 2>/dev/null | awk '
        /^[[:space:]]*#/ { next }
        /^URIs:/ { for (i = 2; i <= NF; i++) print $i; next }
        /^deb[[:space:]]/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; break } }
    ' | grep -E '/debian/?$' | grep -v security | head -n 1)"
    echo "${mirror:-http://deb.debian.org/debian}"
}

# Prints the packages scripts/setup.sh installs for the test command on Debian VERSION, sorted
# and each once.
morvane_release_packages() {
    local version="$1" file
    file="$(mktemp)"
    printf 'ID=debian\nVERSION_ID="%s"\n' "$version" >"$file"
    (
        MORVANE_OS_RELEASE="$file"
        unset MORVANE_GENERATOR
        source "$MORVANE_CI_REPO/scripts/setup.sh"
        printf '%s\n' "${MORVANE_PLAY_PACKAGES[@]}" "${MORVANE_TEST_PACKAGES[@]}"
    ) | sort -u | tr '\n' ' ' | sed 's/ $//'
    rm -f "$file"
}

# Mounts what the build and the tests use into ROOT: /proc, /sys, a pseudo-terminal instance
# and a shared-memory folder of its own. /dev stays the root's own folder, with the device
# files debootstrap made.
morvane_mount_root() {
    local r="$1"
    mkdir -p "$r/proc" "$r/sys" "$r/dev/pts" "$r/dev/shm"
    mountpoint -q "$r/proc" || mount -t proc proc "$r/proc"
    mountpoint -q "$r/sys" || mount --bind /sys "$r/sys"
    mountpoint -q "$r/dev/pts" || mount -t devpts -o newinstance,ptmxmode=0666,mode=620 devpts "$r/dev/pts"
    ln -sfn pts/ptmx "$r/dev/ptmx"
    mountpoint -q "$r/dev/shm" || mount -t tmpfs -o mode=1777 tmpfs "$r/dev/shm"
    cp /etc/resolv.conf "$r/etc/resolv.conf"
}

# Ends what still runs inside ROOT and unmounts what morvane_mount_root mounted there. Fails,
# saying so, when something stays mounted.
morvane_unmount_root() {
    local r="$1" p path
    [ -d "$r" ] || return 0
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$r" ] && kill "${p#/proc/}" 2>/dev/null
    done
    for path in dev/shm dev/pts sys proc; do
        if mountpoint -q "$r/$path"; then umount "$r/$path" || umount -l "$r/$path"; fi
    done
    if grep -q " $r/" /proc/mounts; then
        echo "still mounted under $r" >&2
        return 1
    fi
}

# Removes the roots in CACHE whose names match PATTERN, unmounting them first.
morvane_remove_stale_roots() {
    local cache="$1" pattern="$2" old
    for old in "$cache"/$pattern; do
        [ -d "$old" ] || continue
        echo "removing the old root $old"
        morvane_unmount_root "$old" && rm -rf --one-file-system "$old"
    done
}

# Runs COMMAND in ROOT with a login shell's plain environment. With --net it runs in a network
# namespace of its own, with no network at all (its X servers listen on local sockets only).
morvane_in_root() {
    local r="$1" command="$2" isolate=()
    [ "${3:-}" = --net ] && isolate=(unshare --net)
    "${isolate[@]}" chroot "$r" /usr/bin/env -i \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TERM=dumb /bin/bash -c "$command"
}
