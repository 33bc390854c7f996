#!/usr/bin/env bash
# Installs what is missing, checks the licences and the folders' layers, builds the game and
# runs the whole test suite: the tests (in a build that treats warnings as errors), the Debian
# package built, installed, played and purged, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target.
#
#   ./scripts/test.sh [PASS...]
#
# runs only the passes named, in their usual order: licences style layers tests package
# sanitizers fuzz (all of them when none is named).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

all_passes=(licences style layers tests package sanitizers fuzz)
passes=("${@:-${all_passes[@]}}")
for pass in "${passes[@]}"; do
    if [[ " ${all_passes[*]} " != *" $pass "* ]]; then
        echo "no pass '$pass'; the passes: ${all_passes[*]}" >&2
        exit 2
    fi
done
wanted() { [[ " ${passes[*]} " == *" $1 "* ]]; }

morvane_install_packages "${MORVANE_PLAY_PACKAGES[@]}" "${MORVANE_TEST_PACKAGES[@]}"

summary="$(mktemp)"
trap 'rm -f "$summary"' EXIT
# Runs ctest in a build folder and keeps its count of tests for the closing line.
run_ctest() {
    local folder="$1"
    shift
    (cd "$folder" && ctest --output-on-failure -j "$(nproc)" "$@") | tee -a "$summary"
}

if wanted licences; then
    echo "== Licences"
    reuse lint
fi

if wanted style; then
    echo "== Code style ($(clang-format --version | sed 's/.*version \([0-9.]*\).*/clang-format \1/'))"
    (cd "$MORVANE_ROOT" && git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)
fi

if wanted layers; then
    echo "== Layers"
    "$MORVANE_ROOT/scripts/check-layers.sh" "$MORVANE_ROOT"
fi

if wanted tests || wanted package; then
    echo "== Build and test"
    morvane_build -DMORVANE_WERROR=ON
fi
if wanted tests; then
    run_ctest "$MORVANE_BUILD"
fi

if wanted package; then
    echo "== Debian package"
    "$MORVANE_ROOT/tests/package/check_package.sh" "$MORVANE_ROOT" "$MORVANE_BUILD"
fi

if wanted sanitizers; then
    echo "== Build and test under the sanitizers"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
    export LSAN_OPTIONS="suppressions=$MORVANE_ROOT/.ci/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # Built with the default generator, so that a Makefile build is proven on every run.
    MORVANE_GENERATOR="Unix Makefiles" MORVANE_BUILD="$MORVANE_ROOT/build-sanitize" morvane_build -DMORVANE_SANITIZE=ON -DMORVANE_BUILD_BENCH=OFF \
        -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SOAK_EVENTS=20000
    run_ctest "$MORVANE_ROOT/build-sanitize" -LE slow
fi

if wanted fuzz; then
    echo "== Fuzz"
    CC=clang CXX=clang++ MORVANE_BUILD="$MORVANE_ROOT/build-fuzz" morvane_build -DMORVANE_FUZZ=ON -DMORVANE_WERROR=ON
    "$MORVANE_ROOT/fuzz/run.sh" "$MORVANE_ROOT/build-fuzz/fuzz" "${MORVANE_FUZZ_SECONDS:-20}"
fi

# Every pass above stops the script on a failure, so reaching here means all of them passed.
passed=$(awk '/tests passed, 0 tests failed out of/ { n += $NF } END { print n + 0 }' "$summary")
echo "tests: $passed passed, 0 failed"
