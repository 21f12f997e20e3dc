#!/usr/bin/env bash
# The Russian calendar of March 2026: Monday first, so the 1st (a Sunday) ends the first row and
# the Sunday column of the default page (its first column) holds no 1.
source "$(dirname "$0")/scene_common.bash"

configure russianCalendar=true showClock=false
start_saver "2026-03-14 13:45:10"
check() {
    expect_lit scene_russian "$CANDLES" 4 "candles and flames"
    expect_lit scene_russian "$CALENDAR" 2 "calendar"
    expect_dark scene_russian "$CLOCK" 0 "clock switched off"
    # First row of days: the default page has its 1 in the first column, this one in the last.
    expect_dark scene_russian 20x20+798+80 0 "first cell of the first row"
    expect_lit scene_russian 20x20+983+80 3 "last cell of the first row"
}
shot_until scene_russian check
stop_saver
