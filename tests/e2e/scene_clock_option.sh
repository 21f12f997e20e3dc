#!/usr/bin/env bash
# --clock=analog on the command line shows the analogue clock where the settings file asks for
# the digital one, and the file stays as it was.
source "$(dirname "$0")/scene_common.bash"

DIAL=200x200+800+550
configure analogClock=false
before=$(md5sum <"$work/data/nobrell_Lumivane_cfg")

start_saver "2026-03-14 10:10:30"
sleep 5
shot clock_option_file
stop_saver

saver_args="--clock=analog"
start_saver "2026-03-14 10:10:30"
sleep 5
shot clock_option_analog
stop_saver

expect_lit clock_option_analog "$DIAL" 3 "dial and hands"
changed=$(differs clock_option_file clock_option_analog "$DIAL")
[ "$changed" -ge 5 ] || fail "the clock corner looks the same with --clock=analog ($changed% differs)"
[ "$(md5sum <"$work/data/nobrell_Lumivane_cfg")" = "$before" ] || fail "the option changed the settings file"
echo "clock option: ok ($changed% of the clock corner differs)"
