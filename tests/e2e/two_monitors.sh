#!/usr/bin/env bash
# The full-screen run on a 1600x600 X screen split into two 800x600 monitors (RandR monitors, as
# Xinerama heads too): the scene is composed for the left one, the right one is covered black
# over a grey desktop. Escape or mouse motion on the right one ends the run and takes the cover
# with it, as SIGTERM and a fatal error do; a monitor unplugged during the run loses its cover
# and one plugged in gets one.
set -euo pipefail
for tool in xrandr xsetroot xwininfo Xvfb; do
    command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
source "$(dirname "$0")/../../scripts/xvfb.bash"
trap stop_xvfb EXIT
# A server of its own: the split would change the screen of the tests that share the usual one.
start_xvfb 90 1600x600x24
source "$(dirname "$0")/scene_common.bash"
trap 'cleanup; stop_xvfb' EXIT

RIGHT=800x600+800+0
CLOCK_800=240x80+550+515  # the digital clock of an 800x600 picture
CALENDAR_800=150x180+645+0
DARK_CORNER_800=120x100+0+0  # black in the picture, grey where the desktop shows

plug_right() { xrandr --setmonitor right 800/212x600/159+800+0 none >/dev/null; }
unplug_right() { xrandr --delmonitor right >/dev/null; }
xrandr --setmonitor left 800/212x600/159+0+0 none >/dev/null
plug_right
xsetroot -solid '#808080'
"$BUILD/config" --set resolutionIndex=0 >/dev/null

# The cover window on the right monitor; empty while there is none.
right_cover() {
    xwininfo -root -tree | grep '"Lumivane cover"' | grep '800x600+800+0' | awk '{print $1}' || true
}
has_right_cover() { [ -n "$(right_cover)" ]; }
no_right_cover() { [ -z "$(right_cover)" ]; }
covers_left() { xwininfo -root -tree | grep -c '"Lumivane cover"' || true; }

composed() {
    expect_dark "$1" "$DARK_CORNER_800" 0 "the desktop shows on the left monitor"
    expect_lit "$1" "$CLOCK_800" 3 "the clock of the left monitor's picture"
    expect_lit "$1" "$CALENDAR_800" 5 "the calendar of the left monitor's picture"
    expect_dark "$1" "$RIGHT" 0 "the right monitor is not covered"
}
composed_escape() { composed two_monitors_escape; }
composed_mouse() { composed two_monitors_mouse; }
composed_sigterm() { composed two_monitors_sigterm; }
composed_hotplug() { composed two_monitors_hotplug; }
covered_again() { expect_dark two_monitors_plugged "$RIGHT" 0 "the monitor plugged in is not covered"; }

# Ends the run from the right monitor: Escape sent to its cover, as the key reaches it when the
# focus is there, or pointer motion toward it once the grace after start-up is over (the scene's
# window holds the pointer grab, so the pointer itself stops at the monitors' seam).
end_from_right() {
    local cover
    cover=$(right_cover)
    case $1 in
    escape)
        xdotool key --window "$cover" Escape 2>/dev/null
        ;;
    sigterm)
        kill -TERM "$saver_pid"
        ;;
    mouse)
        while [ $(($(now_ms) - launched_ms)) -lt 3500 ]; do sleep 0.1; done
        xdotool mousemove 1200 300 sleep 0.2 mousemove 1250 330
        ;;
    esac
}

# case  saver options
cases="escape --no-mouse-ends
mouse --mouse-ends
sigterm --no-mouse-ends
hotplug --no-mouse-ends"
while read -r name options; do
    saver_args=$options
    start_saver
    wait_until 10 has_right_cover || fail "$name: no cover on the right monitor"
    shot_until "two_monitors_$name" "composed_$name"
    size=$(xwininfo -root -tree | grep '("Lumivane"' | grep -o '[0-9]*x[0-9]*+[0-9]*+[0-9]*' | head -1)
    [ "$size" = "800x600+0+0" ] || fail "$name: the scene's window is $size, not the left monitor"
    if [ "$name" = hotplug ]; then
        unplug_right
        wait_until 3 no_right_cover || fail "the unplugged monitor's cover stays"
        since=$(now_ms)
        plug_right
        wait_until 3 has_right_cover || fail "the monitor plugged in gets no cover"
        plugged_ms=$(($(now_ms) - since))
        shot_until two_monitors_plugged covered_again 3
        kill -0 "$saver_pid" || fail "the saver ended on the change: $(cat "$work/output")"
        end_from_right escape
    else
        end_from_right "$name"
    fi
    exit_status "$saver_pid" 10
    [ "$end_status" = 0 ] || fail "$name: the run ended with status $end_status: $(cat "$work/output")"
    saver_pid=""
    [ "$(covers_left)" = 0 ] || fail "$name: a cover window outlived the run"
done <<<"$cases"
# A run in a window it was given, or in an ordinary window, leaves the other monitor alone.
for args in "-root" "--window=400x300"; do
    saver_args=$args
    launch_saver
    sleep 3
    kill -0 "$saver_pid" || fail "$args: the run ended at start: $(cat "$work/output")"
    [ "$(covers_left)" = 0 ] || fail "$args: the other monitor is covered"
    kill -TERM "$saver_pid"
    exit_status "$saver_pid" 10
    [ "$end_status" = 0 ] || fail "$args: the run ended with status $end_status: $(cat "$work/output")"
    saver_pid=""
done

# A fatal end after the covers are up (an archive missing from the installation) takes them too.
mkdir "$work/partial"
ln -s "$BUILD/main.pak" "$work/partial/main.pak"
LUMIVANE_PATH=$work/partial/ "$BUILD/Lumivane" >"$work/output" 2>&1 &
saver_pid=$!
exit_status "$saver_pid" 20
[ "$end_status" = 1 ] || fail "without clock.pak the run ended with $end_status, not 1"
saver_pid=""
[ "$(covers_left)" = 0 ] || fail "a cover window outlived the failed run"

echo "two monitors: ok (right monitor covered, ended from it by Escape and by motion, by SIGTERM and by a missing archive without a cover left; a monitor plugged in covered after $plugged_ms ms; screenshots in $shots)"
