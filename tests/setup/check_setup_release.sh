#!/usr/bin/env bash
# Checks the release table of scripts/setup.sh and the apt-sources reading of .ci/root-lib.sh:
# for each os-release, the release decided, a package only Debian 13 names, and the note an
# unknown release gets; for each sources file, the mirror CI makes its root from.
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# name | os-release lines (\n between) | release | Debian 13's plugin listed | note on stderr
cases=(
    'Debian 12|ID=debian\nVERSION_ID="12"\nPRETTY_NAME="Debian GNU/Linux 12 (bookworm)"|debian12|no|no'
    'Debian 13|ID=debian\nVERSION_ID="13"\nPRETTY_NAME="Debian GNU/Linux 13 (trixie)"|debian13|yes|no'
    'Debian testing|ID=debian\nVERSION_CODENAME=forky\nPRETTY_NAME="Debian GNU/Linux forky/sid"|debian13|yes|yes'
    'Ubuntu LTS|ID=ubuntu\nID_LIKE=debian\nVERSION_ID="24.04"\nPRETTY_NAME="Ubuntu 24.04.1 LTS"|debian13|yes|yes'
    'Debian 14 one day|ID=debian\nVERSION_ID="14"\nPRETTY_NAME="Debian GNU/Linux 14 (forky)"|debian13|yes|yes'
    'no os-release|-|debian13|yes|yes'
)
for row in "${cases[@]}"; do
    IFS='|' read -r name lines release plugin note <<<"$row"
    file="$WORK/os-release"
    rm -f "$file"
    [ "$lines" = - ] || printf "$lines\n" >"$file"
    # A stray variable of the caller's must not leak into the decision.
    got="$(ID=debian VERSION_ID=12 MORVANE_OS_RELEASE="$file" bash -c '
        source "$1/scripts/setup.sh"
        printf "%s|" "$MORVANE_RELEASE"
        [[ " ${MORVANE_PLAY_PACKAGES[*]} " == *" libheif-plugin-libde265 "* ]] && printf yes || printf no
        printf "|%s" "${PRETTY_NAME-unset}"' _ "$REPO" 2>"$WORK/stderr")" || { fail "$name: setup.sh failed"; continue; }
    IFS='|' read -r got_release got_plugin got_pretty <<<"$got"
    [ "$got_release" = "$release" ] || fail "$name: release $got_release, expected $release"
    [ "$got_plugin" = "$plugin" ] || fail "$name: Debian 13's libheif plugin listed: $got_plugin, expected $plugin"
    [ "$got_pretty" = unset ] || fail "$name: setup.sh left PRETTY_NAME=$got_pretty in the caller's shell"
    if [ "$note" = yes ]; then
        grep -q "trying Debian 13's package names" "$WORK/stderr" || fail "$name: no note about the unknown release"
        if [ "$lines" != - ]; then
            pretty="$(sed -n 's/^PRETTY_NAME="\(.*\)"$/\1/p' "$file")"
            grep -qF "$pretty" "$WORK/stderr" || fail "$name: the note does not name $pretty"
        fi
    else
        [ ! -s "$WORK/stderr" ] || fail "$name: a known release gets a note: $(cat "$WORK/stderr")"
    fi
    echo "ok: $name -> $got_release"
done

# Both releases' lists are the same apart from what the table adds; no versioned clang name.
source "$REPO/.ci/root-lib.sh"
twelve="$(morvane_release_packages 12)"
thirteen="$(morvane_release_packages 13)"
extra="$(comm -13 <(tr ' ' '\n' <<<"$twelve") <(tr ' ' '\n' <<<"$thirteen") | tr '\n' ' ')"
[ "$extra" = "libheif-plugin-dav1d libheif-plugin-libde265 " ] \
    || fail "Debian 13 adds '$extra' to Debian 12's packages"
[ -z "$(comm -23 <(tr ' ' '\n' <<<"$twelve") <(tr ' ' '\n' <<<"$thirteen"))" ] \
    || fail "Debian 13 drops some of Debian 12's packages"
grep -qE -- '-[0-9]+-dev( |$)' <<<"$twelve" && fail "a versioned package name: $twelve"
echo "ok: the two releases' package lists"

# name | sources file | file name | mirror
mirrors=(
    'deb822 with security|Types: deb\nURIs: http://mirror.example/debian\nSuites: bookworm\n\nTypes: deb\nURIs: http://mirror.example/debian-security\nSuites: bookworm-security|debian.sources|http://mirror.example/debian'
    'one-line form|# deb http://old.example/debian bookworm main\ndeb [arch=amd64] https://deb.example/debian/ bookworm main|sources.list|https://deb.example/debian/'
    'other archives only|deb https://packages.example/apt stable main|other.list|http://deb.debian.org/debian'
)
for row in "${mirrors[@]}"; do
    IFS='|' read -r name lines file expected <<<"$row"
    printf "$lines\n" >"$WORK/$file"
    got="$(morvane_debian_mirror "$WORK/$file")"
    [ "$got" = "$expected" ] || fail "mirror from $name: $got, expected $expected"
    echo "ok: mirror from $name"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
