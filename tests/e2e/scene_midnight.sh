#!/usr/bin/env bash
# A run started just before midnight shows the new day's page and 00:00 once the day has turned.
source "$(dirname "$0")/scene_common.bash"

configure clock24Hours=true
before() {
    expect_lit scene_before_midnight "$CALENDAR" 2 "calendar"
    expect_lit scene_before_midnight "$CLOCK" 3 "clock"
}
# The first picture must come before midnight. How long the start takes depends on the machine's
# load, so a start that came too late is made again with a lead that allows for it.
midnight=$(date -d "2026-03-15 00:00:00" +%s)
lead=$((5 * time_scale))
for attempt in 1 2 3; do
    start_saver "$(date -d "@$((midnight - lead))" "+%F %T")"
    shot_until scene_before_midnight before
    taken=$(($(now_ms) - launched_ms))
    [ "$taken" -ge $((lead * 1000)) ] || break
    echo "note: the first picture came $taken ms after the start, with a lead of $lead s"
    [ "$attempt" -lt 3 ] || fail "three starts came past midnight already (the last one after $taken ms)"
    kill -KILL "$saver_pid"
    wait "$saver_pid" || true
    saver_pid=""
    lead=$((taken * 2 / 1000 + 3))
done
after() {
    expect_lit scene_after_midnight "$CALENDAR" 2 "calendar"
    expect_lit scene_after_midnight "$CLOCK" 3 "clock"
    expect_differs scene_before_midnight scene_after_midnight "$CLOCK" 2 "the clock did not turn to 00:00"
    # The today mark moves from the 14th (last cell of the second row) to the 15th (first of the third).
    expect_differs scene_before_midnight scene_after_midnight 215x70+795+105 1 "the page did not change"
}
shot_until scene_after_midnight after $((lead / time_scale + 10))
stop_saver
