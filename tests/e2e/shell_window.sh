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
shown=0
region_lit() {
  expect_running "the run ended while waiting for $2 of $(basename "$1")"
  import -window "$id" "$1"
  shown=$(lit "$1" "$2")
  [ "$shown" -ge 1 ]
}
shot_until_lit() {
  wait_until 15 region_lit "$1" "$2" || fail "nothing lit in $2 of $(basename "$1") ($shown%)"
}

resized() {
  [ "$(saver_window_size)" = 900x400 ]
}

start_saver --window
size=$(window_size)
[ "$size" = 1024x768 ] || fail "--window opened $size, not 1024x768"
# Escape once the scene is up: the deadline below is for ending the run, not for loading it.
id=$(saver_window_id)
shot_until_lit "$work/first.png" 1024x768+0+0
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

# SDL2 (under sdl12-compat) centres a new window: moved to the corner first, the wider window
# stays on the screen, where a screenshot can see all of it.
xdotool windowmove "$id" 0 0
xdotool windowsize "$id" 900 400
wait_until 5 resized || fail "the window did not take 900x400: $(saver_window_size)"
# The picture fills the new size: the clock sits in the new corner, beyond the old width, and
# the candles stay in the middle. Waits for all of it, then names what the last picture showed.
wide_shown() {
  region_lit "$work/wide.png" 110x110+785+285 &&
    [ "$(lit "$work/wide.png" 50x100+785+290)" -ge 2 ] && [ "$(lit "$work/wide.png" 200x100+350+230)" -ge 1 ]
}
wait_until 15 wide_shown || true
expect_running "the run ended on a resize"
share=$(lit "$work/wide.png" 110x110+785+285)
[ "$share" -ge 1 ] || fail "nothing lit in 110x110+785+285 of wide.png ($share%)"
picture=$(convert "$work/wide.png" -format %wx%h info:)
[ "$picture" = 900x400 ] || fail "the picture is $picture, not 900x400"
# The whole dial, its left half included, as a fresh start at this size places it.
share=$(lit "$work/wide.png" 50x100+785+290)
[ "$share" -ge 2 ] || fail "the clock is not fully in the new corner (left half $share% lit)"
share=$(lit "$work/wide.png" 200x100+350+230)
[ "$share" -ge 1 ] || fail "no candles in the middle after the resize ($share% lit)"
shots=$build/e2e-shots
mkdir -p "$shots"
cp "$work/small.png" "$shots/shell_window_640x480.png"
cp "$work/wide.png" "$shots/shell_window_900x400.png"

"$build/tests/xclose" "$id" || fail "xclose could not reach the window"
wait_end 10
[ "$end_status" = 0 ] || fail "closing the window: expected status 0, got $end_status"
echo "window: ok (screenshots in $shots)"
