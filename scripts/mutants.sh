#!/usr/bin/env bash
# Mutation check: puts each one-line fault of tests/mutants.list into a scratch copy of the tree,
# rebuilds it and runs the tests; a fault that no test notices survives. Not part of CI: a whole
# run rebuilds and tests the game once per mutant, an hour or more on two cores.
#
# Usage: scripts/mutants.sh [options]
#   -m, --match REGEX     only the mutants whose id, file or fault matches REGEX (grep -E)
#   -l, --list FILE       the mutant list (default: tests/mutants.list)
#   -w, --work DIR        the scratch copy and its build (default: build-mutants/ in the tree)
#   -k, --keep            keep the scratch copy and its build for the next run
#   -r, --results FILE    also write each mutant's result to FILE (tab-separated)
#   -x, --first-failure   stop a run of the tests at its first failing test (faster; names
#                         only the first test that caught the mutant)
#       --no-e2e          leave out the end-to-end stage
#       --check           only check the list: every original text found exactly once
#   -h, --help            this text
#
# The scratch copy holds the tree's files as they are in the working folder (tracked and
# untracked, less what git ignores); its build is configured once (tests on, benchmarks off,
# RelWithDebInfo, warnings as errors as in CI, ccache if present) and rebuilt incrementally.
# For each mutant its original text is replaced, the build brought up to date and the tests
# run in two stages: first the whole suite except the end-to-end, install and package tests,
# then, only for a mutant that survived that, the X11 end-to-end test. The file is restored
# before the next mutant. Each stage has a time limit of three times its time on the unchanged
# tree plus two minutes: a mutant that makes a test loop for ever is killed by that limit.
#
# A mutant whose original text is not found exactly once, or that does not build, is an error
# in the list: it is reported as such and never counted as killed. A mutant the list marks
# equivalent (it cannot change what the player sees) is still run; if it survives it is named
# with its reason, apart from the survivors, and if it is killed the mark is wrong and is named.
# Exit status: 0 every mutant killed but the equivalent ones, 1 some survived, 2 errors in the
# list or a failing unchanged tree.
set -euo pipefail
# A replacement holding "&" must stay as written.
shopt -u patsub_replacement 2>/dev/null || true

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
list="$root/tests/mutants.list"
work="$root/build-mutants"
match=""
keep=false
first_failure=false
run_e2e=true
check_only=false
results_copy=""

usage() { sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed -e '$d' -e 's/^# \{0,1\}//'; }

while [[ $# -gt 0 ]]; do
    case "$1" in
    -m | --match) match="$2"; shift 2 ;;
    -l | --list) list="$(realpath "$2")"; shift 2 ;;
    -w | --work) work="$(realpath -m "$2")"; shift 2 ;;
    -k | --keep) keep=true; shift ;;
    -r | --results) results_copy="$(realpath -m "$2")"; shift 2 ;;
    -x | --first-failure) first_failure=true; shift ;;
    --no-e2e) run_e2e=false; shift ;;
    --check) check_only=true; shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "mutants.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
    esac
done

# --- The list ------------------------------------------------------------------------------------
# Blocks of "key: value" lines, one block per mutant, blocks apart by a blank line; "#" starts a
# comment line. Keys: id, file (from the top of the tree), from (the original text, exactly once
# in the file), to (its replacement, may be empty), fault (what a player would see go wrong),
# and, only for a mutant that cannot change behaviour, equivalent (why not).
ids=() files=() froms=() tos=() faults=() equivalents=()
list_errors=()

add_entry() {
    local id="$1" file="$2" from="$3" to="$4" fault="$5" line="$6" equivalent="$7"
    local where="${list#"$root/"}:$line"
    if [[ -z "$id" || -z "$file" || -z "$from" || -z "$fault" ]]; then
        list_errors+=("$where: a mutant needs id, file, from and fault")
        return
    fi
    local known
    for known in "${ids[@]}"; do
        if [[ "$known" == "$id" ]]; then
            list_errors+=("$where: the id $id is used twice")
            return
        fi
    done
    if [[ "$from" == "$to" ]]; then
        list_errors+=("$where: $id changes nothing")
        return
    fi
    ids+=("$id") files+=("$file") froms+=("$from") tos+=("$to") faults+=("$fault")
    equivalents+=("$equivalent")
}

read_list() {
    [[ -f "$list" ]] || { echo "mutants.sh: no list $list" >&2; exit 2; }
    local id="" file="" from="" to="" fault="" equivalent="" start=0 number=0 open=false line
    while IFS= read -r line || [[ -n "$line" ]]; do
        number=$((number + 1))
        line="${line%$'\r'}"
        [[ "$line" == \#* ]] && continue
        if [[ -z "${line//[[:space:]]/}" ]]; then
            $open && add_entry "$id" "$file" "$from" "$to" "$fault" "$start" "$equivalent"
            id="" file="" from="" to="" fault="" equivalent="" open=false
            continue
        fi
        $open || start=$number
        open=true
        case "$line" in
        'id: '*)
            # A second id in one block: the blank line before it is missing, and the first
            # mutant would be lost under the second's lines.
            [[ -n "$id" ]] && list_errors+=("${list#"$root/"}:$number: a blank line is missing before this id")
            id="${line#id: }"
            ;;
        'file: '*) file="${line#file: }" ;;
        'from: '*) from="${line#from: }" ;;
        'to:') to="" ;;
        'to: '*) to="${line#to: }" ;;
        'fault: '*) fault="${line#fault: }" ;;
        'equivalent: '*) equivalent="${line#equivalent: }" ;;
        *) list_errors+=("${list#"$root/"}:$number: not a line of a mutant: $line") ;;
        esac
    done < "$list"
    $open && add_entry "$id" "$file" "$from" "$to" "$fault" "$start" "$equivalent"
    return 0
}

# How often `text` occurs in the file's content.
occurrences() {
    local content="$1" text="$2"
    local rest="${content//"$text"/}"
    echo $(((${#content} - ${#rest}) / ${#text}))
}

# The file's whole content, its last newlines kept, in the variable named by $2.
read_file() {
    IFS= read -r -d '' "$2" < "$1" || true
}

# Why the mutant cannot be applied to the tree under `base`, or nothing when it can.
text_error() {
    local base="$1" i="$2"
    local path="$base/${files[$i]}"
    if [[ ! -f "$path" ]]; then
        echo "no file ${files[$i]}"
        return
    fi
    local content count
    read_file "$path" content
    count=$(occurrences "$content" "${froms[$i]}")
    [[ "$count" -eq 1 ]] || echo "original text found $count times in ${files[$i]}"
}

read_list
selected=()
for i in "${!ids[@]}"; do
    if [[ -z "$match" ]] || printf '%s\n' "${ids[$i]} ${files[$i]} ${faults[$i]}" | grep -Eq -- "$match"; then
        selected+=("$i")
    fi
done

if $check_only; then
    status=0
    for message in "${list_errors[@]}"; do
        echo "ERROR $message"
        status=2
    done
    for i in "${selected[@]}"; do
        problem="$(text_error "$root" "$i")"
        if [[ -n "$problem" ]]; then
            echo "ERROR ${ids[$i]}: $problem"
            status=2
        fi
    done
    echo "${#selected[@]} mutants checked, $([[ $status -eq 0 ]] && echo "no errors" || echo "errors above")"
    exit $status
fi

if [[ ${#list_errors[@]} -gt 0 ]]; then
    printf 'ERROR %s\n' "${list_errors[@]}" >&2
    exit 2
fi
if [[ ${#selected[@]} -eq 0 ]]; then
    echo "mutants.sh: no mutant matches '$match'" >&2
    exit 2
fi

# --- The scratch copy ----------------------------------------------------------------------------
build="$work/build"
logs="$work/logs"
marker="$work/.morvane-mutants"
if [[ -e "$work" && ! -e "$marker" ]]; then
    echo "mutants.sh: $work exists and is no scratch copy of ours; choose another with --work" >&2
    exit 2
fi

mutated_file=""
mutated_original=""
cleanup() {
    # Never leave a mutant in a kept copy.
    if [[ -n "$mutated_file" ]]; then
        cat "$mutated_original" > "$mutated_file"
        mutated_file=""
    fi
    if ! $keep && [[ -e "$marker" ]]; then
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Copies the tree's files into the scratch copy. Only files whose content differs are written,
# so that a kept build rebuilds no more than what changed; files the tree no longer has go.
sync_copy() {
    mkdir -p "$work" "$logs"
    touch "$marker"
    local wanted="$logs/files.wanted" present="$logs/files.present"
    (cd "$root" && git ls-files -z --cached --others --exclude-standard) \
        | while IFS= read -r -d '' file; do
            [[ -f "$root/$file" ]] || continue # deleted in the working folder
            printf '%s\n' "$file"
            if ! cmp -s "$root/$file" "$work/$file"; then
                mkdir -p "$(dirname "$work/$file")"
                cp --preserve=mode "$root/$file" "$work/$file"
            fi
        done | sort > "$wanted"
    (cd "$work" && find . -path ./build -prune -o -path ./logs -prune -o -type f -print) \
        | sed -e 's|^\./||' | grep -v -e '^\.morvane-mutants$' | sort > "$present"
    comm -13 "$wanted" "$present" | while IFS= read -r file; do rm -f "$work/$file"; done
    rm -f "$wanted" "$present"
}

configure() {
    [[ -f "$build/build.ninja" ]] && return 0
    local launcher=()
    if command -v ccache > /dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$work" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DMORVANE_BUILD_TESTS=ON -DMORVANE_BUILD_BENCH=OFF -DMORVANE_WERROR=ON "${launcher[@]}" \
        > "$logs/configure.log" 2>&1
}

build_tree() { cmake --build "$build" -j "$(nproc)" > "$1" 2>&1; }

# --- The tests -----------------------------------------------------------------------------------
stage1_args=(-LE 'e2e|install|package')
stage2_args=(-R '^tst_endtoend$')

# Runs one stage of the tests within `limit` seconds (0: none); its output goes to `log`.
# Prints "passed", "failed TESTS..." or "timeout".
run_stage() {
    local limit="$1" log="$2"
    shift 2
    local extra=()
    $first_failure && extra+=(--stop-on-failure)
    local limited=() status=0
    [[ "$limit" -gt 0 ]] && limited=(timeout --kill-after=20 "$limit")
    (cd "$build" && "${limited[@]}" ctest -j "$(nproc)" --output-on-failure "${extra[@]}" "$@") \
        > "$log" 2>&1 || status=$?
    if [[ $status -eq 124 || $status -eq 137 ]]; then
        echo timeout
    elif [[ $status -eq 0 ]]; then
        echo passed
    else
        # "  12 - tst_rules (Failed)" under "The following tests FAILED:"; a test that crashed or
        # timed out keeps its reason.
        local failed
        failed=$(awk '/The following tests FAILED:/ { on = 1; next }
                      on && $2 == "-" {
                          why = $4; for (i = 5; i <= NF; ++i) why = why " " $i
                          printf "%s%s%s", sep, $3, why == "(Failed)" ? "" : " " why; sep = ", "
                      }' "$log")
        echo "failed ${failed:-(ctest exit $status)}"
    fi
}

# How many tests a stage ran, from ctest's closing line.
tests_run() { sed -n 's/.*tests passed, .* tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -1; }

stage1_limit=0
stage2_limit=""
stage_limit() { echo $((3 * $1 + 120)); }

# The end-to-end test on the unchanged tree, once, the first time a mutant needs it.
baseline_e2e() {
    [[ -n "$stage2_limit" ]] && return 0
    echo "== The end-to-end test on the unchanged tree"
    local started=$SECONDS result
    result=$(run_stage 0 "$logs/baseline.stage2.log" "${stage2_args[@]}")
    if [[ "$result" != passed || "$(tests_run "$logs/baseline.stage2.log")" != 1 ]]; then
        echo "mutants.sh: the end-to-end test does not pass on the unchanged tree (see" \
            "$logs/baseline.stage2.log); fix it first, or run with --no-e2e" >&2
        exit 2
    fi
    stage2_limit=$(stage_limit $((SECONDS - started)))
    echo "   passed in $((SECONDS - started)) s; each mutant's end-to-end stage gets $stage2_limit s"
}

# --- The run -------------------------------------------------------------------------------------
echo "== Scratch copy in $work"
sync_copy
configure || { echo "mutants.sh: configuring failed, see $logs/configure.log" >&2; exit 2; }
echo "== Building the unchanged tree"
build_tree "$logs/baseline.build.log" \
    || { echo "mutants.sh: the unchanged tree does not build, see $logs/baseline.build.log" >&2; exit 2; }
echo "== The tests on the unchanged tree"
started=$SECONDS
result=$(run_stage 0 "$logs/baseline.stage1.log" "${stage1_args[@]}")
if [[ "$result" != passed || -z "$(tests_run "$logs/baseline.stage1.log")" ]]; then
    echo "mutants.sh: the tests fail on the unchanged tree ($result), see $logs/baseline.stage1.log" >&2
    exit 2
fi
stage1_limit=$(stage_limit $((SECONDS - started)))
echo "   $(tests_run "$logs/baseline.stage1.log") tests passed in $((SECONDS - started)) s;" \
    "each mutant's tests get $stage1_limit s"

results="$logs/results.tsv"
printf 'id\tfile\tresult\tstage\ttests\tfault\n' > "$results"
record() {
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "${ids[$i]}" "${files[$i]}" "$1" "$2" "$3" "${faults[$i]}" \
        | tee -a "$results" >> "${results_copy:-/dev/null}"
}
[[ -n "$results_copy" ]] && cp "$results" "$results_copy"
killed=0 counted=0
survivors=() errors=() equivalent_survivors=() wrongly_equivalent=()
total=${#selected[@]}
n=0
for i in "${selected[@]}"; do
    n=$((n + 1))
    id="${ids[$i]}" file="${files[$i]}"
    progress="$(printf '[%2d/%d]' "$n" "$total")"

    problem="$(text_error "$work" "$i")"
    if [[ -n "$problem" ]]; then
        echo "$progress ERROR    $id ($file): $problem"
        errors+=("$id ($file): $problem")
        record error - "$problem"
        continue
    fi

    path="$work/$file"
    mutated_original="$logs/original.tmp"
    cp "$path" "$mutated_original"
    mutated_file="$path"
    read_file "$path" content
    printf '%s' "${content/"${froms[$i]}"/"${tos[$i]}"}" > "$path"

    verdict="" stage="" caught=""
    started=$SECONDS
    if ! build_tree "$logs/$id.build.log"; then
        verdict=error caught="does not build, see $logs/$id.build.log"
    else
        result=$(run_stage "$stage1_limit" "$logs/$id.stage1.log" "${stage1_args[@]}")
        case "$result" in
        timeout) verdict=killed stage=1 caught="timed out after $stage1_limit s (a mutant that never ends counts as killed)" ;;
        failed*) verdict=killed stage=1 caught="${result#failed }" ;;
        passed)
            if $run_e2e; then
                baseline_e2e
                result=$(run_stage "$stage2_limit" "$logs/$id.stage2.log" "${stage2_args[@]}")
                case "$result" in
                timeout) verdict=killed stage=2 caught="timed out after $stage2_limit s (a mutant that never ends counts as killed)" ;;
                failed*) verdict=killed stage=2 caught="${result#failed }" ;;
                passed) verdict=survived caught="every test passed" ;;
                esac
            else
                verdict=survived caught="every test but the end-to-end one passed"
            fi
            ;;
        esac
    fi
    cat "$mutated_original" > "$path"
    mutated_file=""
    took="$((SECONDS - started)) s"

    case "$verdict" in
    killed)
        killed=$((killed + 1)) counted=$((counted + 1))
        echo "$progress killed   $id ($file), stage $stage: $caught [$took]"
        record killed "$stage" "$caught"
        if [[ -n "${equivalents[$i]}" ]]; then
            wrongly_equivalent+=("$id ($file): killed, stage $stage: $caught")
        fi
        ;;
    survived)
        counted=$((counted + 1))
        if [[ -n "${equivalents[$i]}" ]]; then
            echo "$progress survived $id ($file), equivalent: ${equivalents[$i]} [$took]"
            equivalent_survivors+=("$id ($file): ${equivalents[$i]}")
            record equivalent - "$caught"
        else
            echo "$progress SURVIVED $id ($file): $caught [$took]"
            survivors+=("$id ($file): ${faults[$i]}")
            record survived - "$caught"
        fi
        ;;
    error)
        echo "$progress ERROR    $id ($file): $caught"
        errors+=("$id ($file): $caught")
        record error - "$caught"
        ;;
    esac
done

echo
echo "== Survivors"
if [[ ${#survivors[@]} -eq 0 ]]; then echo "   none"; else printf '   %s\n' "${survivors[@]}"; fi
if [[ ${#equivalent_survivors[@]} -gt 0 ]]; then
    echo "== Equivalent mutants, survived as they must"
    printf '   %s\n' "${equivalent_survivors[@]}"
fi
if [[ ${#wrongly_equivalent[@]} -gt 0 ]]; then
    echo "== Marked equivalent but killed: the mark is wrong"
    printf '   %s\n' "${wrongly_equivalent[@]}"
fi
if [[ ${#errors[@]} -gt 0 ]]; then
    echo "== ERRORS IN THE LIST (not counted)"
    printf '   %s\n' "${errors[@]}"
fi
$keep && echo "Results: $results (the scratch copy is kept)"
[[ -n "$results_copy" ]] && echo "Results: $results_copy"
equivalent_count=${#equivalent_survivors[@]}
if [[ $equivalent_count -gt 0 ]]; then
    echo "killed $killed of $counted ($equivalent_count equivalent; killed $killed of" \
        "$((counted - equivalent_count)) that can change behaviour)"
else
    echo "killed $killed of $counted"
fi
if [[ ${#errors[@]} -gt 0 ]]; then
    exit 2
fi
[[ $killed -eq $((counted - equivalent_count)) ]]
