#!/usr/bin/env bash
# The default scene with the frame rate: candles and flames, bubbles, the 12-hour clock, the
# calendar; Escape ends the run cleanly.
source "$(dirname "$0")/scene_common.bash"

configure showFrameRate=true
start_saver "2026-03-14 13:45:10"
check() {
    expect_lit scene_full "$CANDLES" 4 "candles and flames"
    expect_lit scene_full "$CALENDAR" 2 "calendar"
    expect_lit scene_full "$CLOCK" 3 "digital clock"
    expect_lit scene_full "$FRAME_RATE" 4 "frame rate"
}
shot_until scene_full check
stop_saver
