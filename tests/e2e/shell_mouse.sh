#!/usr/bin/env bash
# Mouse motion ends the run only when the settings ask for it, and never in the first 3 seconds.
source "$(dirname "$0")/shell_common.bash"
need_archives

wiggle() {
  xdotool mousemove 100 100
  sleep 0.1
  xdotool mousemove 300 250
  sleep 0.1
  xdotool mousemove 120 400
}

settings mouseMoveEnds=true
started=$(date +%s%N)
start_saver
window_size >/dev/null
wiggle
sleep 0.5
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[ "$elapsed_ms" -lt 3000 ] || echo "note: the window took ${elapsed_ms} ms; early motion checked late"
expect_running "motion in the first 3 seconds ended the run"
while [ $((($(date +%s%N) - started) / 1000000)) -lt 3600 ]; do sleep 0.1; done
wiggle
wait_end 10
[ "$end_status" = 0 ] || fail "late motion with mouseMoveEnds: expected status 0, got $end_status"

settings mouseMoveEnds=false
started=$(date +%s%N)
start_saver
window_size >/dev/null
while [ $((($(date +%s%N) - started) / 1000000)) -lt 3600 ]; do sleep 0.1; done
wiggle
sleep 1.5
expect_running "motion ended the run although mouseMoveEnds is false"
xdotool click 1
sleep 0.5
expect_running "a mouse click ended the run"
xdotool key Escape
wait_end 10
[ "$end_status" = 0 ] || fail "Escape: status $end_status"
echo "mouse motion rules: ok"
