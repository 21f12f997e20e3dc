#!/usr/bin/env bash
# Private anonymous memory (heap, the renderer's buffers and textures) and resident memory of the
# saver's scene beside a bare GL program that only clears and swaps (bench_shell_run and
# bench_shell_run --bare), each drawing into the root window of a private Xvfb of every size named.
#
# Usage: bench/memory-use.sh [WxH ...]   (1024x768 and 3840x2160 by default)
# Environment: BUILD_DIR (default build), MEMORY_SECONDS (60: read this long after the start).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${BUILD_DIR:-build}" && pwd)
after=${MEMORY_SECONDS:-60}
shell_run=$build/bench/bench_shell_run
[ -x "$shell_run" ] || { echo "memory-use: $shell_run is missing (build first)" >&2; exit 1; }
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1024x768 3840x2160)

source scripts/xvfb.bash
work=$(mktemp -d /tmp/lumivane-memory-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
export LUMIVANE_PATH=$build LUMIVANE_DATA=$work/data
unset XSCREENSAVER_WINDOW

field_mb() { awk -v f="$2:" '$1 == f {printf "%.1f", $2 / 1024}' "/proc/$1/smaps_rollup"; }

printf '%-10s %-6s %12s %12s\n' size run "Anonymous MB" "resident MB"
for size in "${sizes[@]}"; do
  start_xvfb 90 "${size}x24"
  # Both at once: memory does not depend on what the other costs, and the wait is paid once.
  "$shell_run" -root >"$work/scene" 2>&1 &
  pids=($!)
  "$shell_run" --bare -root >"$work/bare" 2>&1 &
  pids+=($!)
  sleep "$after"
  declare -A anon=()
  for i in 0 1; do
    label=$([ "$i" -eq 0 ] && echo scene || echo bare)
    pid=${pids[$i]}
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "memory-use: the $label run ended early: $(tr '\n' ' ' <"$work/$label")" >&2
      exit 1
    fi
    anon[$label]=$(field_mb "$pid" Anonymous)
    printf '%-10s %-6s %12s %12s\n' "$size" "$label" "${anon[$label]}" "$(field_mb "$pid" Rss)"
  done
  printf '%-10s %-6s %12s\n' "$size" "above" "$(awk -v a="${anon[scene]}" -v b="${anon[bare]}" 'BEGIN { printf "%.1f", a - b }')"
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  pids=()
  stop_xvfb
done
