#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) in build-fuzz and runs each one for SECONDS.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (SECONDS defaults to $FUZZ_SECONDS, else 15;
#                                              TARGET is a fuzz/<name>.cpp name, all by default)
#
# Each target first replays fuzz/regressions/<name>/, then fuzzes from its kept corpus
# fuzz/corpus/<name>/ and its seeds fuzz/seeds/<name>/. Afterwards the corpus is minimised with
# -merge=1 back into fuzz/corpus/<name>/ (FUZZ_KEEP_CORPUS=0 leaves the tree untouched, as CI does).
# One line per target: seconds, executions, corpus files, crashes. Crash inputs land in
# build-fuzz/crashes/; the script goes on with the next target and exits non-zero at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${FUZZ_SECONDS:-15}}
[ $# -gt 0 ] && shift
keep=${FUZZ_KEEP_CORPUS:-1}
# Leaks inside Mesa (the model_entry target draws through it) are not ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for source in fuzz/*.cpp; do names+=("$(basename "$source" .cpp)"); done
fi
targets=()
for name in "${names[@]}"; do
    [ -f "fuzz/$name.cpp" ] || { echo "fuzz.sh: no target fuzz/$name.cpp" >&2; exit 2; }
    targets+=("fuzz_$name")
done

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLUMIVANE_FUZZ=ON -DLUMIVANE_BENCH=OFF -DLUMIVANE_WERROR=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}" >/dev/null

mkdir -p build-fuzz/crashes
failed=0
rows=()
for name in "${names[@]}"; do
    binary=build-fuzz/fuzz/fuzz_$name
    log=build-fuzz/fuzz_$name.log
    kept=fuzz/corpus/$name
    work=build-fuzz/corpus/$name
    mkdir -p "$kept" "$work"
    crashes=0

    # Inputs that once crashed must keep passing before any new search starts.
    if [ -d "fuzz/regressions/$name" ] && [ -n "$(ls -A "fuzz/regressions/$name")" ]; then
        if ! "$binary" -runs=1 "fuzz/regressions/$name"/* >"$log" 2>&1; then
            tail -20 "$log"
            echo "fuzz_$name: a regression input fails again"
            crashes=1
        fi
    fi

    inputs=("$work" "$kept")
    [ -d "fuzz/seeds/$name" ] && inputs+=("fuzz/seeds/$name")
    echo "== fuzz_$name (${seconds}s)"
    start=$(date +%s)
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/crashes/"$name"- "${inputs[@]}" >>"$log" 2>&1 || crashes=$((crashes + 1))
    elapsed=$(($(date +%s) - start))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    [ $crashes -gt 0 ] && tail -40 "$log"

    if [ "$keep" = 1 ]; then
        merged=build-fuzz/merged/$name
        rm -rf "$merged" && mkdir -p "$merged"
        "$binary" -merge=1 -timeout=10 -rss_limit_mb=2048 "$merged" "$kept" "$work" >>"$log" 2>&1 &&
            { rm -rf "$kept" && mv "$merged" "$kept"; }
    fi
    corpus=$(find "$kept" "$work" -type f -printf '%f\n' | sort -u | wc -l)
    [ "$keep" = 1 ] && corpus=$(find "$kept" -type f | wc -l)
    rows+=("$(printf '%-18s %8s %12s %8s %8s' "$name" "$elapsed" "${executions:-?}" "$corpus" "$crashes")")
    [ $crashes -gt 0 ] && failed=1
done

printf '%-18s %8s %12s %8s %8s\n' target seconds executions corpus crashes
printf '%s\n' "${rows[@]}"
[ $failed = 0 ] || { echo "fuzzing: crash found, inputs in build-fuzz/crashes/"; exit 1; }
echo "fuzzing: no crash in ${#names[@]} targets"
