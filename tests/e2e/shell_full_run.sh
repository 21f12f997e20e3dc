#!/usr/bin/env bash
# The full-screen run: the desktop mode without a settings file, the mode a settings file picks,
# Escape ending the run with status 0, X11 when a Wayland choice fails, and the software
# renderer's threads the run asks for.
source "$(dirname "$0")/shell_common.bash"
need_archives

desktop=$(xdpyinfo | awk '/dimensions:/ { print $2 }' | head -1)

start_saver
size=$(window_size)
[ "$size" = "$desktop" ] || fail "without settings the window is $size, not the desktop's $desktop"
[ -z "$(ls -A "$LUMIVANE_DATA" 2>/dev/null)" ] || fail "the saver wrote into its data folder"
# The first frames wait for the scene to load (slow under the sanitizers).
colours=1
drawn() {
  import -window root "$work/desktop.png"
  colours=$(convert "$work/desktop.png" -format %k info:)
  [ "$colours" -gt 1 ]
}
wait_until 10 drawn || fail "the screen stayed one flat colour ($colours colours)"
mkdir -p "$build/e2e-shots"
cp "$work/desktop.png" "$build/e2e-shots/shell_full_run.png"
# llvmpipe names its rasteriser threads; a GPU's driver makes none of that name.
renderer_threads() { cat /proc/"$saver_pid"/task/*/comm 2>/dev/null | grep -c '^llvmpipe' || true; }
threads_at_budget=$(renderer_threads)
xdotool key space
sleep 0.5
expect_running "a key other than Escape ended the run"
xdotool key Escape
wait_end 10
[ "$end_status" = 0 ] || fail "Escape: expected status 0, got $end_status"

settings resolutionIndex=3
start_saver
size=$(window_size)
[ "$size" = 1024x768 ] || fail "resolution 3 opened $size"
xdotool key Escape
wait_end 10
[ "$end_status" = 0 ] || fail "Escape at 1024x768: status $end_status"

# A Wayland choice with no compositor to answer it: the X display still gets the run.
settings resolutionIndex=1
SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=lumivane-test-none start_saver
size=$(window_size)
[ "$size" = 640x480 ] || fail "resolution 1 with SDL_VIDEODRIVER=wayland opened $size: $(cat "$work/saver.log")"
xdotool key Escape
wait_end 10
[ "$end_status" = 0 ] || fail "Escape at 640x480: status $end_status"

# At a budget the renderer draws on the saver's own thread, unless the user said otherwise;
# without one it keeps its threads. Each row: environment, options, threads expected.
has_threads() { [ "$(renderer_threads)" -gt 0 ]; }
start_saver --cpu-budget=0
window_size >/dev/null
wait_until 5 has_threads || true
threads_unbudgeted=$(renderer_threads)
xdotool key Escape
wait_end 10
if [ "$threads_unbudgeted" -gt 0 ]; then
  [ "$threads_at_budget" = 0 ] || fail "at the default budget llvmpipe drew with $threads_at_budget threads"
  LP_NUM_THREADS=1 start_saver
  window_size >/dev/null
  wait_until 5 has_threads || true
  threads_chosen=$(renderer_threads)
  xdotool key Escape
  wait_end 10
  [ "$threads_chosen" = 1 ] || fail "the user's LP_NUM_THREADS=1 gave $threads_chosen threads"
  threads="renderer threads 0 at the budget, $threads_unbudgeted without, 1 when asked"
else
  threads="no renderer threads to choose (not llvmpipe, or one core)"
fi
echo "full run: desktop $desktop, settings rows 3 and 1 (X11 after Wayland failed), Escape, $threads: ok"
