#!/usr/bin/env bash
# What the saver costs a machine without a GPU: processor use (its own and the X server's), time to
# the first frame and resident memory, drawing into the root window of a private Xvfb (1024x768,
# software GL), one program after another. Beside it a bare GL program on the same renderer that
# only clears and swaps, and any xscreensaver hacks named on the command line that are installed.
#
# Usage: scripts/cpu-use.sh [hack ...]
# Environment: BUILD_DIR (default build), MEASURE_SECONDS (15), MEMORY_SECONDS (60: resident memory
# is read this long after the start), MAX_FPS (passed to the saver as --max-fps=N when set).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${BUILD_DIR:-build}" && pwd)
measure=${MEASURE_SECONDS:-15}
memory_after=${MEMORY_SECONDS:-60}
hz=$(getconf CLK_TCK)
for program in "$build/Lumivane" "$build/bench/bench_shell_run"; do
  [ -x "$program" ] || { echo "cpu-use: $program is missing (build first)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/lumivane-cpu-XXXXXX)
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody holds.
number=$((300 + RANDOM % 100))
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$number"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export LUMIVANE_PATH=$build LUMIVANE_DATA=$work/data
unset XSCREENSAVER_WINDOW

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
resident_mb() { awk '/^VmRSS:/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }

# measure LABEL COMMAND...: processor use over MEASURE_SECONDS after a 3 s warm-up, the first-frame
# line the program prints (if any), resident memory MEMORY_SECONDS after the start.
measure() {
  local label=$1
  shift
  local start
  start=$(date +%s%N)
  LUMIVANE_START_NS=$start "$@" >"$work/out" 2>&1 &
  program_pid=$!
  sleep 3
  if ! kill -0 "$program_pid" 2>/dev/null; then
    printf '%-24s ended early: %s\n' "$label" "$(tr '\n' ' ' <"$work/out")"
    program_pid=""
    return
  fi
  local p0 x0 p1 x1
  p0=$(ticks "$program_pid")
  x0=$(ticks "$xvfb_pid")
  sleep "$measure"
  p1=$(ticks "$program_pid")
  x1=$(ticks "$xvfb_pid")
  local waited=$((($(date +%s%N) - start) / 1000000000))
  [ "$waited" -lt "$memory_after" ] && sleep $((memory_after - waited))
  local rss first
  rss=$(resident_mb "$program_pid")
  first=$(sed -n 's/^first frame \([0-9]*\) ms.*/\1 ms/p' "$work/out" | head -1)
  renderer=$(sed -n 's/^renderer //p' "$work/out" | head -1)
  kill -TERM "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  printf '%-24s %6.2f cores  + X %5.2f   %7s MB  %s\n' "$label" \
    "$(echo "($p1 - $p0) / $hz / $measure" | bc -l)" "$(echo "($x1 - $x0) / $hz / $measure" | bc -l)" \
    "$rss" "${first:+first frame $first}"
}

fps=()
[ -n "${MAX_FPS:-}" ] && fps=("--max-fps=$MAX_FPS")
echo "Xvfb 1024x768: processor use over $measure s after a 3 s warm-up, resident memory after $memory_after s"
measure "lumivane -root" "$build/Lumivane" -root "${fps[@]}"
measure "saver shell (scene)" "$build/bench/bench_shell_run" -root "${fps[@]}"
measure "bare GL (clear, swap)" "$build/bench/bench_shell_run" --bare -root "${fps[@]}"
echo "renderer: ${renderer:-unknown}"
for hack in "$@"; do
  path=/usr/libexec/xscreensaver/$hack
  if [ -x "$path" ]; then
    measure "$hack" "$path" -root
  else
    printf '%-24s not installed\n' "$hack"
  fi
done
