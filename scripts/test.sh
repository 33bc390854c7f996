#!/usr/bin/env bash
# Installs what is missing, checks the licences and the folders' layers, builds the game and
# runs the whole test suite: the tests (in a build that treats warnings as errors), the Debian
# package built, installed, played and purged, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
morvane_install_packages "${MORVANE_PLAY_PACKAGES[@]}" "${MORVANE_TEST_PACKAGES[@]}"

summary="$(mktemp)"
trap 'rm -f "$summary"' EXIT
# Runs ctest in a build folder and keeps its count of tests for the closing line.
run_ctest() {
    local folder="$1"
    shift
    (cd "$folder" && ctest --output-on-failure -j "$(nproc)" "$@") | tee -a "$summary"
}

echo "== Licences"
reuse lint

echo "== Code style"
(cd "$MORVANE_ROOT" && git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)

echo "== Layers"
"$MORVANE_ROOT/scripts/check-layers.sh" "$MORVANE_ROOT"

echo "== Build and test"
morvane_build -DMORVANE_WERROR=ON
run_ctest "$MORVANE_BUILD"

echo "== Debian package"
"$MORVANE_ROOT/tests/package/check_package.sh" "$MORVANE_ROOT" "$MORVANE_BUILD"

echo "== Build and test under the sanitizers"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$MORVANE_ROOT/.ci/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Built with the default generator, so that a Makefile build is proven on every run.
MORVANE_GENERATOR="Unix Makefiles" MORVANE_BUILD="$MORVANE_ROOT/build-sanitize" morvane_build -DMORVANE_SANITIZE=ON -DMORVANE_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SOAK_EVENTS=20000
run_ctest "$MORVANE_ROOT/build-sanitize" -LE slow

echo "== Fuzz"
CC=clang CXX=clang++ MORVANE_BUILD="$MORVANE_ROOT/build-fuzz" morvane_build -DMORVANE_FUZZ=ON -DMORVANE_WERROR=ON
"$MORVANE_ROOT/fuzz/run.sh" "$MORVANE_ROOT/build-fuzz/fuzz" "${MORVANE_FUZZ_SECONDS:-20}"

# Every pass above stops the script on a failure, so reaching here means all of them passed.
passed=$(awk '/tests passed, 0 tests failed out of/ { n += $NF } END { print n + 0 }' "$summary")
echo "tests: $passed passed, 0 failed"
