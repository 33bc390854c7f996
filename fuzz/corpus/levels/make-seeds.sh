#!/usr/bin/env bash
# Writes the seed corpus of the level-table fuzz target: the generated Levels.res of a build,
# and short, damaged and hostile variants of it. Usage: make-seeds.sh BUILD_BIN_DIR
set -euo pipefail
levels="$1/Levels.res"
out="$(cd "$(dirname "$0")" && pwd)"
cp "$levels" "$out/full.res"
# Only the first level's records, and a record cut in the middle.
head -c $((18 * 34)) "$levels" >"$out/one-level.res"
head -c 50 "$levels" >"$out/cut-record.res"
# A first record with a link to a place that does not exist, then the rest unchanged.
{ printf '%-4s%-4s%-4s%-4s%-2s%s%s%-3s%-3s%-3s%-3s\r\n' 290 600 450 517 12 V 0 19 -20 0 0
  tail -c +35 "$levels"; } >"$out/bad-link.res"
# Sizes that overflow 16-bit arithmetic, fractions, exponents, signs and blanks.
{ printf '%-4s%-4s%-4s%-4s%-2s%s%s%-3s%-3s%-3s%-3s\r\n' -999 9999 9999 -999 99 H 1 0 0 0 0
  printf '%-4s%-4s%-4s%-4s%-2s%s%s%-3s%-3s%-3s%-3s\r\n' 1e3 2.5 +45 -0 1 V 1 -1 1 -1 1
  printf '%-4s%-4s%-4s%-4s%-2s%s%s%-3s%-3s%-3s%-3s\r\n' '' ' ' x 4e9 -1 ' ' ' ' 999 -99 1.5 e1
  tail -c +103 "$levels"; } >"$out/odd-numbers.res"
