#!/usr/bin/env bash
# --window[=WxH]: the scene in an ordinary window of that size (1024x768 without one); a resize
# gives a picture of the new size with the clock in its new bottom-right corner; the close
# request a window manager sends ends the run with status 0.
source "$(dirname "$0")/shell_common.bash"
need_archives
[ -x "$build/tests/xclose" ] || fail "missing $build/tests/xclose"

saver_window_id() {
  xwininfo -root -tree 2>/dev/null | grep '("Lumivane"' | awk '{ print $1 }' | head -1
}

# lit FILE GEOMETRY: percentage of the region's pixels brighter than a quarter of full.
lit() {
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}

# shot_until_lit FILE GEOMETRY: the window's picture once the region shows something (the first
# frames wait for the scene to load).
shot_until_lit() {
  for _ in $(seq 30); do
    import -window "$id" "$1"
    [ "$(lit "$1" "$2")" -ge 1 ] && return 0
    sleep 0.5
  done
  fail "nothing lit in $2 of $(basename "$1")"
}

start_saver --window
size=$(window_size)
[ "$size" = 1024x768 ] || fail "--window opened $size, not 1024x768"
xdotool key Escape
wait_end 10
[ "$end_status" = 0 ] || fail "Escape in a window: status $end_status"

start_saver --window=640x480 --clock=analog
size=$(window_size)
[ "$size" = 640x480 ] || fail "--window=640x480 opened $size"
id=$(saver_window_id)
# Candles in the middle, the analogue clock in the bottom-right corner.
shot_until_lit "$work/small.png" 300x150+170+260
shot_until_lit "$work/small.png" 130x130+505+345

xdotool windowsize "$id" 900 400
for _ in $(seq 20); do
  [ "$(saver_window_size)" = 900x400 ] && break
  sleep 0.25
done
[ "$(saver_window_size)" = 900x400 ] || fail "the window did not take 900x400: $(saver_window_size)"
sleep 1
expect_running "the run ended on a resize"
# The picture fills the new size: the clock sits in the new corner, beyond the old width, and
# the candles stay in the middle.
shot_until_lit "$work/wide.png" 110x110+785+285
[ "$(convert "$work/wide.png" -format %wx%h info:)" = 900x400 ] || fail "the picture is not 900x400"
# The whole dial, its left half included, as a fresh start at this size places it.
[ "$(lit "$work/wide.png" 50x100+785+290)" -ge 2 ] || fail "the clock is not fully in the new corner"
[ "$(lit "$work/wide.png" 200x100+350+230)" -ge 1 ] || fail "no candles in the middle after the resize"
cp "$work/small.png" /tmp/lumivane-window-640x480.png 2>/dev/null || true
cp "$work/wide.png" /tmp/lumivane-window-900x400.png 2>/dev/null || true

"$build/tests/xclose" "$id" || fail "xclose could not reach the window"
wait_end 10
[ "$end_status" = 0 ] || fail "closing the window: expected status 0, got $end_status"
echo "window: ok"
