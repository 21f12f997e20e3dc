#!/usr/bin/env bash
# Mutation check: applies each mutation of a list (default tests/mutations/content.tsv; lines of
# file, text, replacement separated by tabs) one at a time to a scratch copy of the tracked tree,
# rebuilds the archives (the asset builder reads the layout too) and the unit and golden tests
# there and runs them. A mutation is caught when the build or a test fails. Prints caught/total
# and the survivors.
#   MUTATE_DIR  scratch folder to keep between runs, so only what changed is rebuilt (default: a
#               new private folder from mktemp -d, removed on exit)
#   JOBS        build jobs (default 2)
#   MUTATE_ONLY only the list lines (1-based, counting mutations only) matching this regex
set -euo pipefail
cd "$(dirname "$0")/.."
list=$(realpath "${1:-tests/mutations/content.tsv}")
jobs=${JOBS:-2}
tests=(test_golden test_content test_app)  # the golden frames fail fastest

# A fixed name under /tmp could be made beforehand by another user; mktemp's cannot.
if [[ -n "${MUTATE_DIR:-}" ]]; then
  scratch=$(mkdir -p "$MUTATE_DIR" && realpath "$MUTATE_DIR")
else
  scratch=$(mktemp -d -t lumivane-mutate-XXXXXX)
  trap 'rm -rf "$scratch"' EXIT
fi
src=$scratch/src
build=$scratch/build
mkdir -p "$src"
: >"$scratch/files"

# The working tree's files (tracked and new); unchanged files are left alone, so a kept scratch
# build stays incremental.
git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' f; do
  [[ -f "$f" ]] || continue
  printf '%s\0' "$f" >>"$scratch/files"
  cmp -s "$f" "$src/$f" || { mkdir -p "$src/$(dirname "$f")" && cp -p "$f" "$src/$f"; }
done
# A file deleted from the tree must not live on in the copy (a glob in the CMake lists would still
# build it).
(cd "$src" && find . -type f -printf '%P\0') | sort -z >"$scratch/copied"
sort -z "$scratch/files" | comm -z -13 - "$scratch/copied" | while IFS= read -r -d '' f; do
  rm -f "$src/$f"
done
rm -f "$scratch/files" "$scratch/copied"

build_tests() {
  nice cmake --build "$build" -j"$jobs" --target "${tests[@]}" assets >"$scratch/build.log" 2>&1
}
run_tests() {
  local t filter
  for t in "${tests[@]}"; do
    filter="*"
    [[ "$t" == test_app ]] && filter="VideoGl.*"  # the rest of test_app needs the programs built
    LUMIVANE_BUILD_DIR=$build timeout 600 nice "$build/tests/$t" --gtest_filter="$filter" \
      --gtest_brief=1 --gtest_fail_fast >"$scratch/test.log" 2>&1 || return 1
  done
}

echo "mutate: building the unmutated tree in $build"
# Without debug information: links are the bulk of each rebuild.
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 -DLUMIVANE_BENCH=OFF >/dev/null
nice cmake --build "$build" -j"$jobs" --target "${tests[@]}" assets >"$scratch/build.log" 2>&1 ||
  { echo "mutate: the unmutated tree does not build (see $scratch/build.log)"; exit 1; }
run_tests || { echo "mutate: the unmutated tree fails its tests (see $scratch/test.log)"; exit 1; }

total=0
caught=0
survivors=()
number=0
while IFS=$'\t' read -r file text replacement; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  number=$((number + 1))
  if [[ -n "${MUTATE_ONLY:-}" ]] && ! [[ "$number" =~ ^(${MUTATE_ONLY})$ ]]; then continue; fi
  total=$((total + 1))
  label="#$number $file: '$text' -> '$replacement'"
  cp "$src/$file" "$scratch/original"
  if ! python3 - "$src/$file" "$text" "$replacement" <<'PY'
import sys
path, text, replacement = sys.argv[1], *(a.replace("\\n", "\n").replace("\\t", "\t") for a in sys.argv[2:])
source = open(path).read()
if source.count(text) != 1:
    sys.exit(f"text occurs {source.count(text)} times")
open(path, "w").write(source.replace(text, replacement))
PY
  then
    echo "mutate: bad list line $label"
    exit 1
  fi
  start=$SECONDS
  if ! build_tests; then
    verdict="caught (build)"
  elif ! run_tests; then
    verdict="caught ($(grep -m1 -o '\[  FAILED  \] [^ ,]*' "$scratch/test.log" | cut -c14- || echo crash))"
  else
    verdict="SURVIVED"
    survivors+=("$label")
  fi
  [[ "$verdict" == SURVIVED ]] || caught=$((caught + 1))
  cp "$scratch/original" "$src/$file"
  echo "$verdict ($((SECONDS - start)) s) $label"
done <"$list"
build_tests || true

echo "mutate: caught $caught / $total"
for s in "${survivors[@]}"; do echo "survivor: $s"; done
