#!/usr/bin/env bash
# The analogue clock: dial and hands at the lower right; the second hand moves on.
source "$(dirname "$0")/scene_common.bash"

DIAL=200x200+800+550
configure analogClock=true
start_saver "2026-03-14 10:10:30"
sleep 5
shot scene_analog
sleep 2
shot scene_analog_later
expect_lit scene_analog "$DIAL" 3 "dial and hands"
[ "$(differs scene_analog scene_analog_later 100x100+850+600)" -ge 1 ] || fail "the second hand stands still"
stop_saver
