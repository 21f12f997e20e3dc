#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) in build-fuzz and runs each one for FUZZ_SECONDS (15 by
# default), starting from the seeds in fuzz/seeds/<name>/ when there are any. Exits non-zero on
# the first crash, leaving the reproducer in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-15}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLUMIVANE_FUZZ=ON -DLUMIVANE_BENCH=OFF -DLUMIVANE_WERROR=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for source in fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("fuzz_$name")
done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

mkdir -p build-fuzz/crashes
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    corpus=build-fuzz/corpus/$name
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
    echo "== $target (${seconds}s)"
    build-fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
        -artifact_prefix=build-fuzz/crashes/"$name"- "$corpus" "${seeds[@]}" 2>build-fuzz/"$target".log ||
        { tail -40 build-fuzz/"$target".log; echo "$target: crash, see build-fuzz/crashes/"; exit 1; }
done
echo "fuzzing: no crash in ${#targets[@]} targets"
