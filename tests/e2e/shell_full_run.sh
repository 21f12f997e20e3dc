#!/usr/bin/env bash
# The full-screen run: the desktop mode without a settings file, the mode a settings file picks,
# and Escape ending the run with status 0.
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

settings resolutionIndex=1
start_saver
size=$(window_size)
[ "$size" = 640x480 ] || fail "resolution 1 opened $size"
xdotool key Escape
wait_end 10
[ "$end_status" = 0 ] || fail "Escape at 640x480: status $end_status"
echo "full run: desktop $desktop, settings rows 3 and 1, Escape: ok"
