#!/usr/bin/env bash
# The 24-hour readout at 13:45: "13:45" on the narrower plate, no am/pm mark, no calendar.
source "$(dirname "$0")/scene_common.bash"

configure clock24Hours=true showCalendar=false
start_saver "2026-03-14 13:45:10"
check() {
    expect_lit scene_24h "$CANDLES" 4 "candles and flames"
    expect_lit scene_24h "$CLOCK" 3 "24-hour clock"
    # The top of the minute units' "5" stands where the 12-hour readout has only the low "pm".
    expect_lit scene_24h 50x25+950+672 5 "minute units at the right end of the plate"
    expect_dark scene_24h 60x85+708+665 0 "left of the narrower plate"
    expect_dark scene_24h "$CALENDAR_TOP" 0 "calendar switched off"
}
shot_until scene_24h check
stop_saver
