#!/usr/bin/env bash
# What the saver costs a machine without a GPU: processor use (its own and the X server's), the
# frame rate it reached, time to the first frame and resident memory, drawing into the root window
# of a private Xvfb (1024x768, software GL), one program after another. Beside it a bare GL program
# on the same renderer that only clears and swaps, and any xscreensaver hacks named on the command
# line that are installed. Frames are counted by preloading bench/swap_count.so into every program.
#
# Usage: scripts/cpu-use.sh [hack ...]
# Environment: BUILD_DIR (default build), WARMUP_SECONDS (5: the saver's rate settles within two
# 2 s windows), MEASURE_SECONDS (15), MEMORY_SECONDS (60: resident memory is read this long after
# the start), and for our programs: MAX_FPS (--max-fps=N), CPU_BUDGET
# (--cpu-budget=F), POWER_SUPPLY ("battery" for a fake discharging battery, or a folder laid out as
# /sys/class/power_supply), SAVER_ARGS (more options, space-separated).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${BUILD_DIR:-build}" && pwd)
warmup=${WARMUP_SECONDS:-5}
measure=${MEASURE_SECONDS:-15}
memory_after=${MEMORY_SECONDS:-60}
hz=$(getconf CLK_TCK)
counter_library=$build/bench/swap_count.so
for program in "$build/Lumivane" "$build/bench/bench_shell_run" "$counter_library"; do
  [ -e "$program" ] || { echo "cpu-use: $program is missing (build first)" >&2; exit 1; }
done

source scripts/xvfb.bash
work=$(mktemp -d -t lumivane-cpu-XXXXXX)
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb 300 || { echo "cpu-use: no X server could be started" >&2; exit 1; }
export LUMIVANE_PATH=$build LUMIVANE_DATA=$work/data
unset XSCREENSAVER_WINDOW

ours=()
[ -n "${MAX_FPS:-}" ] && ours+=("--max-fps=$MAX_FPS")
[ -n "${CPU_BUDGET:-}" ] && ours+=("--cpu-budget=$CPU_BUDGET")
# shellcheck disable=SC2206
[ -n "${SAVER_ARGS:-}" ] && ours+=($SAVER_ARGS)
power=${POWER_SUPPLY:-}
if [ "$power" = battery ]; then
  power=$work/power_supply
  mkdir -p "$power/AC" "$power/BAT0"
  printf 'Mains\n' >"$power/AC/type" && printf '0\n' >"$power/AC/online"
  printf 'Battery\n' >"$power/BAT0/type" && printf 'Discharging\n' >"$power/BAT0/status"
fi
[ -n "$power" ] && export LUMIVANE_POWER_SUPPLY=$power

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# ratio A B: A / B as a decimal (awk, which every Debian has; bc is not in a minimal one).
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", a / b }'; }
resident_mb() { awk '/^VmRSS:/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
swaps() { od -An -t u8 "$work/swaps" 2>/dev/null | tr -d ' ' || true; }

# measure LABEL COMMAND...: processor use and frame rate over MEASURE_SECONDS after the warm-up,
# the first-frame line the program prints (if any), resident memory MEMORY_SECONDS after the start.
measure() {
  local label=$1
  shift
  local start
  rm -f "$work/swaps"
  start=$(date +%s%N)
  LUMIVANE_START_NS=$start LUMIVANE_SWAP_COUNT=$work/swaps LD_PRELOAD=$counter_library "$@" >"$work/out" 2>&1 &
  program_pid=$!
  sleep "$warmup"
  if ! kill -0 "$program_pid" 2>/dev/null; then
    printf '%-24s ended early: %s\n' "$label" "$(tr '\n' ' ' <"$work/out")"
    program_pid=""
    return
  fi
  local p0 x0 s0 p1 x1 s1
  p0=$(ticks "$program_pid")
  x0=$(ticks "$xvfb_pid")
  s0=$(swaps)
  sleep "$measure"
  p1=$(ticks "$program_pid")
  x1=$(ticks "$xvfb_pid")
  s1=$(swaps)
  local waited=$((($(date +%s%N) - start) / 1000000000))
  [ "$waited" -lt "$memory_after" ] && sleep $((memory_after - waited))
  local rss first fps=""
  rss=$(resident_mb "$program_pid")
  first=$(sed -n 's/^first frame \([0-9]*\) ms.*/\1 ms/p' "$work/out" | head -1)
  renderer=$(sed -n 's/^renderer //p' "$work/out" | head -1)
  [ -n "$s0" ] && [ -n "$s1" ] && fps=$(ratio $((s1 - s0)) "$measure")
  kill -TERM "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  printf '%-24s %6.2f cores  + X %5.2f  %6s fps  %7s MB  %s\n' "$label" \
    "$(ratio $((p1 - p0)) $((hz * measure)))" "$(ratio $((x1 - x0)) $((hz * measure)))" \
    "$(if [ -n "$fps" ]; then printf '%.1f' "$fps"; else echo '?'; fi)" "$rss" "${first:+first frame $first}"
}

echo "Xvfb 1024x768: processor use and frame rate over $measure s after a $warmup s warm-up, resident memory after $memory_after s"
echo "our options: ${ours[*]:-(defaults)}${power:+, power supplies from $power}"
measure "lumivane -root" "$build/Lumivane" -root "${ours[@]}"
measure "saver shell (scene)" "$build/bench/bench_shell_run" -root "${ours[@]}"
measure "bare GL (clear, swap)" "$build/bench/bench_shell_run" --bare -root "${ours[@]}"
echo "renderer: ${renderer:-unknown}"
for hack in "$@"; do
  path=/usr/libexec/xscreensaver/$hack
  if [ -x "$path" ]; then
    measure "$hack" "$path" -root
  else
    printf '%-24s not installed\n' "$hack"
  fi
done
