#!/usr/bin/env bash
# --clock=analog on the command line shows the analogue clock where the settings file asks for
# the digital one, and the file stays as it was.
source "$(dirname "$0")/scene_common.bash"

DIAL=200x200+800+550
configure analogClock=false
before=$(md5sum <"$work/data/nobrell_Lumivane_cfg")

start_saver "2026-03-14 10:10:30"
# The picture to compare with: the scene is up once the digital readout shows.
digital() {
    expect_lit clock_option_file "$CLOCK" 3 "digital clock"
}
shot_until clock_option_file digital
stop_saver

saver_args="--clock=analog"
start_saver "2026-03-14 10:10:30"
analog() {
    expect_lit clock_option_analog "$DIAL" 3 "dial and hands"
    expect_differs clock_option_file clock_option_analog "$DIAL" 5 "the clock corner looks the same with --clock=analog"
}
shot_until clock_option_analog analog
stop_saver

changed=$(differs clock_option_file clock_option_analog "$DIAL")
[ "$(md5sum <"$work/data/nobrell_Lumivane_cfg")" = "$before" ] || fail "the option changed the settings file"
echo "clock option: ok ($changed% of the clock corner differs; screenshots in $shots)"
