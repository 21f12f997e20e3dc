#!/usr/bin/env bash
# The analogue clock: dial and hands at the lower right; the second hand moves on.
source "$(dirname "$0")/scene_common.bash"

DIAL=200x200+800+550
configure analogClock=true
start_saver "2026-03-14 10:10:30"
shown() {
    expect_lit scene_analog "$CANDLES" 4 "candles and flames"
    expect_lit scene_analog "$DIAL" 3 "dial and hands"
}
shot_until scene_analog shown
moved() {
    expect_differs scene_analog scene_analog_later 100x100+850+600 1 "the second hand stands still"
}
shot_until scene_analog_later moved 5
stop_saver
