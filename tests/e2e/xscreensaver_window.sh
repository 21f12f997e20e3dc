#!/usr/bin/env bash
# Started by xscreensaver, the run draws the whole scene into the window it is handed
# (XSCREENSAVER_WINDOW, or -window-id N) at that window's size, opens no window of its own, and
# SIGTERM, SIGINT or the window's destruction ends it with status 0, promptly (5 s, as the other
# endings: on a loaded machine a frame and the teardown may take most of a second each).
source "$(dirname "$0")/preview_common.bash"
for pak in clock.pak calendar.pak utils.pak; do
  [ -e "$build/$pak" ] || { echo "missing $build/$pak"; exit 1; }
done
# A settings mode of its own (800x600) must not matter inside a host window.
"$build/config" --set resolutionIndex=2 >/dev/null

# lit NAME GEOMETRY: percentage of the region's pixels brighter than a quarter of full.
lit() {
  convert "$work/$1.ppm" -crop "$2" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}

check_run() {
  local name=$1 ending=$2
  [ "$status" = 0 ] || fail "$name: status $status after $ending"
  [ "$ms" -le $((5000 * time_scale)) ] || fail "$name: $ending took $ms ms to end the run"
  [ "$others" = 0 ] || fail "$name: the run opened $others window(s) of its own"
  # The scene fills the window: candles in the middle, the calendar in the top-right corner and
  # the clock in the bottom-right one, where a picture of another size would not put them.
  [ "$(lit "$name" 150x150+125+130)" -ge 5 ] || fail "$name: no candles in the middle"
  # At this size the calendar's figures are a few pixels tall and drawn from mipmaps: about 2% of
  # the page's corner is bright, against none where nothing is drawn.
  [ "$(lit "$name" 70x85+325+2)" -ge 1 ] || fail "$name: no calendar in the top-right corner"
  [ "$(lit "$name" 120x60+275+240)" -ge 1 ] || fail "$name: no clock in the bottom-right corner"
}

unset XSCREENSAVER_WINDOW
host --env --end term --settle 3000 400x300 environment "$build/Lumivane"
check_run environment SIGTERM
host --end int --settle 3000 400x300 window-id "$build/Lumivane" -window-id {}
check_run window-id SIGINT
# xscreensaver may take the window away first: that ends the run as well.
host --settle 3000 400x300 destroyed "$build/Lumivane" -window-id {}
check_run destroyed "destroying the window"
echo "xscreensaver window: ok"
