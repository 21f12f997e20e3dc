#!/usr/bin/env bash
# A run started just before midnight shows the new day's page and 00:00 once the day has turned.
source "$(dirname "$0")/scene_common.bash"

configure clock24Hours=true
start_saver "2026-03-14 23:59:57"
sleep 1.5
shot scene_before_midnight
sleep 4.5
shot scene_after_midnight
expect_lit scene_after_midnight "$CALENDAR" 2 "calendar"
expect_lit scene_after_midnight "$CLOCK" 3 "clock"
[ "$(differs scene_before_midnight scene_after_midnight "$CLOCK")" -ge 2 ] || fail "the clock did not turn to 00:00"
# The today mark moves from the 14th (last cell of the second row) to the 15th (first of the third).
[ "$(differs scene_before_midnight scene_after_midnight 215x70+795+105)" -ge 1 ] || fail "the page did not change"
stop_saver
